#pragma once

#include <zel/Error.h>

namespace zel {
namespace data {

/// Exceptions about data: data::error (a base, not thrown directly),
/// data::invalid (a value is invalid) and data::notFound (a file or directory
/// cannot be found or read).
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

/// A value is invalid.
class ZEL_EXCEPTION_API invalid : public error {
 public:
  /// An exception thrown by `methodName` of `className` with `message`.
  invalid(const std::string& className, const std::string& methodName,
          const std::string& message, errorType type);
  invalid(const invalid& other);  ///< Copies `other`.
  invalid& operator=(const invalid& other);  ///< Assigns a copy of `other`.
  ~invalid() override;
};

/// A file or directory cannot be found or read.
class ZEL_EXCEPTION_API notFound : public error {
 public:
  /// An exception thrown by `methodName` of `className` with `message`.
  notFound(const std::string& className, const std::string& methodName,
           const std::string& message, errorType type);
  notFound(const notFound& other);  ///< Copies `other`.
  notFound& operator=(const notFound& other);  ///< Assigns a copy of `other`.
  ~notFound() override;
};

}  // namespace data
}  // namespace zel
