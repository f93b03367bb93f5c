// Reporting of broken preconditions. assertFail() never returns: by default it
// writes "Assertion failed: <expression>, file <file>, line <line>" to standard
// error and to the error log, then aborts the process.
#pragma once

#include <string>

#include <zel/ExceptionExport.h>

namespace zel {

class ZEL_EXCEPTION_API ZELAssertImpl {
 public:
  [[noreturn]] static void assertFail(const std::string& expression,
                                      const std::string& file, int line);
};

}  // namespace zel
