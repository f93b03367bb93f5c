#include <zel/ErrorLogFile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace zel {
namespace {

// A function-local static so that logging works from static constructors of
// other modules, whatever the order of initialisation.
ErrorLogFile::Sink& installedSink() {
  static ErrorLogFile::Sink sink;
  return sink;
}

// Set once the reason for writing to standard error instead of the log file
// has been given: it is given once per process, not once per entry.
std::atomic<bool> s_reasonGiven{false};

void writeToStandardError(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), stderr) != text.size() || std::fflush(stderr) != 0) {
    // There is nowhere left to tell; let the next entry try again.
    std::clearerr(stderr);
  }
}

// Writes all of `bytes` to `fd`; false, with errno set, when a write fails.
bool writeAll(int fd, const std::string& bytes) {
  const char* next = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, next, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = EIO;
      return false;
    }
    next += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// Appends `line` to the file at `path` in one write; when it cannot, returns
// false and says why.
bool appendToFile(const char* path, const std::string& line, std::string& why) {
  // Opening without blocking: a FIFO that no process reads is refused at once
  // (ENXIO) instead of waiting for a reader, as are devices that would wait.
  const int fd =
      ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    struct stat info;
    if (error == ENXIO && ::stat(path, &info) == 0 && S_ISFIFO(info.st_mode)) {
      why = "no process has the FIFO open for reading";
    } else {
      why = std::strerror(error);
    }
    return false;
  }
  // Once open, the file is written as usual: a pipe with a slow reader is
  // waited for like any standard error that is a pipe.
  const int flags = ::fcntl(fd, F_GETFL);
  bool written = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 && writeAll(fd, line);
  int error = written ? 0 : errno;
  // Some file systems report a failed write only when the file is closed. An
  // interrupted close has closed the file all the same.
  if (::close(fd) != 0 && errno != EINTR && written) {
    written = false;
    error = errno;
  }
  if (!written) why = std::strerror(error);
  return written;
}

void writeDefault(const std::string& entry) {
  std::string line;
  line.reserve(entry.size() + 1);
  line.append(entry).push_back('\n');
  const char* path = std::getenv("ZEL_ERROR_LOG");
  std::string why;
  if (path != nullptr) {
    if (appendToFile(path, line, why)) return;
    // The entry is not lost: it goes to standard error, after the reason for
    // the first entry that missed the file.
    if (!s_reasonGiven.exchange(true)) {
      writeToStandardError("Cannot write the error log \"" + std::string(path) +
                           "\" named by ZEL_ERROR_LOG (" + why +
                           "); log entries go to standard error.\n");
    }
  }
  writeToStandardError(line);
}

}  // namespace

void ErrorLogFile::logEntry(const std::string& entry) {
  const Sink& sink = installedSink();
  if (sink) {
    sink(entry);
  } else {
    writeDefault(entry);
  }
}

void ErrorLogFile::logDefault(const std::string& entry) { writeDefault(entry); }

ErrorLogFile::Sink ErrorLogFile::setSink(Sink sink) {
  return std::exchange(installedSink(), std::move(sink));
}

}  // namespace zel
