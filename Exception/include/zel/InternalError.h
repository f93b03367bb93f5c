// Exceptions for a wrong internal state: internal::error, and its refinements
// badParam (a wrong argument) and overflow (a stack popped more than pushed).
#pragma once

#include <zel/Error.h>

namespace zel {
namespace internal {

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

class ZEL_EXCEPTION_API badParam : public error {
 public:
  badParam(const std::string& className, const std::string& methodName,
           const std::string& message, errorType type);
  badParam(const badParam& other);
  badParam& operator=(const badParam& other);
  ~badParam() override;
};

class ZEL_EXCEPTION_API overflow : public error {
 public:
  overflow(const std::string& className, const std::string& methodName,
           const std::string& message, errorType type);
  overflow(const overflow& other);
  overflow& operator=(const overflow& other);
  ~overflow() override;
};

}  // namespace internal
}  // namespace zel
