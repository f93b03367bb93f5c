#pragma once

#include <zel/ErrorMsg.h>
#include <zel/ErrorType.h>
#include <zel/Export.h>

namespace zel {

class Error;

/// What reporting code calls: hand over a caught exception or a message record.
///
/// The destructor is protected and not virtual: an implementation is never
/// deleted through this interface (delete it through ErrorReporterImpl or its
/// own class). Used from one thread at a time.
class ZEL_ERROR_API ErrorReporting {
 public:
  /// An interface without data.
  constexpr ErrorReporting() = default;
  ErrorReporting(const ErrorReporting&) = default;  ///< Copies the object.
  ErrorReporting& operator=(const ErrorReporting&) = default;  ///< Assigns a copy.

  /// Reports the exception with the given severity in place of its own.
  virtual void reportError(const Error& error, errorType type) = 0;
  /// Reports the exception with its own severity.
  virtual void reportError(const Error& error) = 0;
  /// Reports the message record.
  virtual void reportError(const ErrorMsg& message) = 0;

 protected:
  ~ErrorReporting() = default;
};

}  // namespace zel
