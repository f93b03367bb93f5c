#include "Output.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>

#include "ToolError.h"

namespace zel::trxtool {
namespace {

std::string failure(const std::string& path, const std::string& what, int error) {
  return path + ": " + what + ": " + std::strerror(error);
}

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The host name as it goes into names of temporaries: a process id means
// something only on the host that gave it (a directory may be shared).
std::string hostName() {
  struct utsname names {};
  std::string host = ::uname(&names) == 0 ? names.nodename : "";
  for (char& c : host) {
    if (c == '/' || static_cast<unsigned char>(c) <= ' ') c = '_';
  }
  return host.empty() ? "host" : host;
}

// Writes all of `data` to `fd`; false with errno set when it could not.
bool writeAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Removes temporaries beside `target` that a writer on this host left when
// it was killed: their process no longer exists.
void removeStaleTemporaries(const std::string& target) {
  const std::string prefix = baseNameOf(temporaryPrefix(target));
  const std::string host = hostName();
  const std::string directory = directoryOf(target);
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    // <prefix><pid>-<host>-<six characters>
    const std::string rest = name.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string::npos || dash == 0 || rest.size() < dash + 1 + 7) continue;
    if (rest.find_first_not_of("0123456789") != dash) continue;
    if (rest.compare(dash + 1, rest.size() - dash - 8, host) != 0 || rest[rest.size() - 7] != '-') {
      continue;
    }
    const long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
    if (pid <= 0 || pid == static_cast<long>(::getpid())) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    ::unlink((directory + "/" + name).c_str());
  }
  ::closedir(listing);
}

// A temporary file beside the file it will replace. It is removed unless
// committed, whatever fails in between.
class Temporary {
 public:
  explicit Temporary(const std::string& target) : m_target(target) {}
  ~Temporary() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_name.empty()) ::unlink(m_name.c_str());
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  // Opens an unnamed temporary where the file system has them, else a named
  // one. False with errno set when neither can be made.
  bool open(bool unnamed) {
#ifdef O_TMPFILE
    if (unnamed) {
      m_fd = ::open(directoryOf(m_target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
      if (m_fd >= 0) return true;
    }
#else
    (void)unnamed;
#endif
    std::string name = nameStem() + "XXXXXX";
    m_fd = ::mkstemp(name.data());
    if (m_fd < 0) return false;
    m_name = name;
    return true;
  }

  int fd() const { return m_fd; }

  // Gives an unnamed temporary its name. False with errno set on failure.
  bool name() {
    if (!m_name.empty()) return true;
    static std::mt19937 random(std::random_device{}());
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::string procPath = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = nameStem();
      for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
      // Linking the descriptor itself needs a privilege; its /proc entry
      // does not.
      if (::linkat(m_fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ||
          ::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        m_name = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  bool close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
  }

  bool commit() {
    if (::rename(m_name.c_str(), m_target.c_str()) != 0) return false;
    m_name.clear();
    return true;
  }

 private:
  std::string nameStem() const {
    return temporaryPrefix(m_target) + std::to_string(::getpid()) + "-" + hostName() + "-";
  }

  std::string m_target;
  std::string m_name;
  int m_fd = -1;
};

constexpr const char* kCannotLink = "cannot give the temporary file a name";

// One attempt at replacing `target`; false with errno set and `what` naming
// the step that failed.
bool writeThrough(Temporary& temporary, const std::string& contents, mode_t mode,
                  const struct stat* existing, std::string& what) {
  what = "cannot write the file";
  if (!writeAll(temporary.fd(), contents)) return false;
  what = "cannot give the new file the permissions of the old one";
  if (::fchmod(temporary.fd(), mode) != 0) return false;
  if (existing != nullptr) {
    // Keeps the owner where this process may (as the owner or root).
    if (::fchown(temporary.fd(), existing->st_uid, existing->st_gid) != 0) errno = 0;
  }
  what = "cannot write the file";
  // Some file systems report a full disk or an I/O error only here.
  if (::fsync(temporary.fd()) != 0 && errno != EINVAL && errno != EROFS) return false;
  what = kCannotLink;
  if (!temporary.name()) return false;
  what = "cannot write the file";
  if (!temporary.close()) return false;
  what = "cannot replace the file";
  return temporary.commit();
}

}  // namespace

std::string temporaryPrefix(const std::string& path) { return path + ".zel-trx-"; }

std::string followLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 255) + 1,
                       '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0) throw ToolError(failure(path, "cannot follow the symbolic link", errno));
    target.resize(static_cast<std::size_t>(length));
    if (target.empty() || target.front() != '/') {
      const std::size_t slash = current.find_last_of('/');
      if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
    }
    current = target;
  }
  throw ToolError(failure(path, "cannot follow the symbolic link", ELOOP));
}

void replaceFile(const std::string& path, const std::string& contents) {
  struct stat special {};
  if (::stat(path.c_str(), &special) == 0 && !S_ISREG(special.st_mode) &&
      !S_ISDIR(special.st_mode)) {
    // A device or a pipe ("-o /dev/stdout") cannot be replaced: written to.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && writeAll(fd, contents);
    const int error = errno;
    if (fd >= 0 && ::close(fd) != 0 && written) {
      throw ToolError(failure(path, "cannot write the file", errno));
    }
    if (!written) throw ToolError(failure(path, "cannot write the file", error));
    return;
  }
  const std::string target = followLinks(path);
  struct stat status {};
  const bool exists = ::stat(target.c_str(), &status) == 0;
  if (exists && S_ISDIR(status.st_mode)) {
    throw ToolError(path + ": cannot write the file: it is a directory");
  }
  mode_t mode = 0;
  if (exists) {
    mode = status.st_mode & 07777;
  } else {
    mode = ::umask(0);
    ::umask(mode);
    mode = 0666 & ~mode;
  }
  removeStaleTemporaries(target);

  std::string what;
  for (const bool unnamed : {true, false}) {
    Temporary temporary(target);
    if (!temporary.open(unnamed)) {
      throw ToolError(failure(path, "cannot create a temporary file beside it", errno));
    }
    if (writeThrough(temporary, contents, mode, exists ? &status : nullptr, what)) return;
    const int error = errno;
    // An unnamed temporary that cannot be linked (no /proc, no privilege):
    // once more with a named one.
    if (unnamed && what == kCannotLink) continue;
    throw ToolError(failure(path, what, error));
  }
  throw ToolError(failure(path, what, errno));
}

void writeStandardOutput(const std::string& contents) {
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || !writeAll(STDOUT_FILENO, contents)) {
    throw ToolError(failure("standard output", "cannot write", errno ? errno : EIO));
  }
}

void flushReport(std::ostream& report) {
  errno = 0;
  report.flush();
  if (!report) throw ToolError(failure("standard output", "cannot write", errno ? errno : EIO));
}

void finishStandardOutput() {
  errno = 0;
  std::cout.flush();
  const bool written =
      static_cast<bool>(std::cout) && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (!written) throw ToolError(failure("standard output", "cannot write", errno ? errno : EIO));
  // Some file systems report a failed write only when the file is closed.
  if (::close(STDOUT_FILENO) != 0 && errno != EBADF) {
    throw ToolError(failure("standard output", "cannot write", errno));
  }
}

}  // namespace zel::trxtool
