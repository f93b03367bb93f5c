#pragma once

#include <zel/Error.h>

namespace zel {
namespace internal {

/// Exceptions for a wrong internal state: internal::error, and its refinements
/// badParam (a wrong argument) and overflow (a stack popped more than pushed).
class ZEL_EXCEPTION_API error : public Error {
 public:
  /// An exception thrown by `methodName` of `className` with `message`.
  error(const std::string& className, const std::string& methodName,
        const std::string& message, errorType type);
  error(const error& other);  ///< Copies `other`.
  error& operator=(const error& other);  ///< Assigns a copy of `other`.
  ~error() override;

 protected:
  /// For derived classes: `kind` names the concrete class.
  error(const std::string& kind, const std::string& className,
        const std::string& methodName, const std::string& message,
        errorType type);
};

/// An argument is wrong.
class ZEL_EXCEPTION_API badParam : public error {
 public:
  /// An exception thrown by `methodName` of `className` with `message`.
  badParam(const std::string& className, const std::string& methodName,
           const std::string& message, errorType type);
  badParam(const badParam& other);  ///< Copies `other`.
  badParam& operator=(const badParam& other);  ///< Assigns a copy of `other`.
  ~badParam() override;
};

/// A stack was popped more often than pushed.
class ZEL_EXCEPTION_API overflow : public error {
 public:
  /// An exception thrown by `methodName` of `className` with `message`.
  overflow(const std::string& className, const std::string& methodName,
           const std::string& message, errorType type);
  overflow(const overflow& other);  ///< Copies `other`.
  overflow& operator=(const overflow& other);  ///< Assigns a copy of `other`.
  ~overflow() override;
};

}  // namespace internal
}  // namespace zel
