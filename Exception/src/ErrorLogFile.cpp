#include <zel/ErrorLogFile.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace zel {
namespace {

// A function-local static so that logging works from static constructors of
// other modules, whatever the order of initialisation.
ErrorLogFile::Sink& installedSink() {
  static ErrorLogFile::Sink sink;
  return sink;
}

void writeDefault(const std::string& entry) {
  const char* path = std::getenv("ZEL_ERROR_LOG");
  if (path != nullptr) {
    if (std::FILE* file = std::fopen(path, "a")) {
      std::fwrite(entry.data(), 1, entry.size(), file);
      std::fputc('\n', file);
      std::fclose(file);
      return;
    }
  }
  std::fwrite(entry.data(), 1, entry.size(), stderr);
  std::fputc('\n', stderr);
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

ErrorLogFile::Sink ErrorLogFile::setSink(Sink sink) {
  return std::exchange(installedSink(), std::move(sink));
}

}  // namespace zel
