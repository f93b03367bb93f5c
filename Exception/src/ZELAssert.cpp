#include <zel/ZELAssert.h>

#include <cstdio>
#include <cstdlib>

#include <zel/ErrorLogFile.h>

namespace zel {

void ZELAssertImpl::assertFail(const std::string& expression,
                               const std::string& file, int line) {
  const std::string text = "Assertion failed: " + expression + ", file " +
                           file + ", line " + std::to_string(line);
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  try {
    ErrorLogFile::logEntry(text);
  } catch (...) {
    // The process ends anyway; a failing log must not hide the assertion.
  }
  std::abort();
}

}  // namespace zel
