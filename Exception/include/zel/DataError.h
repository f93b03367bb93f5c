// Exceptions about data: data::error (a base, not thrown directly),
// data::invalid (a value is invalid) and data::notFound (a file or directory
// cannot be found or read).
#pragma once

#include <zel/Error.h>

namespace zel {
namespace data {

class ZEL_EXCEPTION_API error : public Error {
 public:
  error(const std::string& className, const std::string& methodName,
        const std::string& message, errorType type);
  error(const error& other);
  error& operator=(const error& other);
  ~error() override;

 protected:
  error(const std::string& kind, const std::string& className,
        const std::string& methodName, const std::string& message,
        errorType type);
};

class ZEL_EXCEPTION_API invalid : public error {
 public:
  invalid(const std::string& className, const std::string& methodName,
          const std::string& message, errorType type);
  invalid(const invalid& other);
  invalid& operator=(const invalid& other);
  ~invalid() override;
};

class ZEL_EXCEPTION_API notFound : public error {
 public:
  notFound(const std::string& className, const std::string& methodName,
           const std::string& message, errorType type);
  notFound(const notFound& other);
  notFound& operator=(const notFound& other);
  ~notFound() override;
};

}  // namespace data
}  // namespace zel
