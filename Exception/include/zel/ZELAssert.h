#pragma once

#include <string>

#include <zel/ExceptionExport.h>

namespace zel {

/// Reporting of broken preconditions. assertFail() never returns: by default it
/// writes "Assertion failed: <expression>, file <file>, line <line>" to standard
/// error and to the error log, then aborts the process.
class ZEL_EXCEPTION_API ZELAssertImpl {
 public:
  /// Reports that `expression` failed at `file`:`line`; never returns.
  [[noreturn]] static void assertFail(const std::string& expression,
                                      const std::string& file, int line);
};

}  // namespace zel
