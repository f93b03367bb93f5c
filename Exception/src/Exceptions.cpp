// The concrete exception classes: each passes its own kind name to Error.
#include <zel/DataError.h>
#include <zel/InternalError.h>
#include <zel/Interrupt.h>

namespace zel {

Interrupt::Interrupt(const std::string& className,
                     const std::string& methodName, const std::string& message,
                     errorType type)
    : Error("Interrupt", className, methodName, message, type, 0) {}
Interrupt::Interrupt(const Interrupt& other) = default;
Interrupt& Interrupt::operator=(const Interrupt& other) = default;
Interrupt::~Interrupt() = default;

namespace internal {

error::error(const std::string& className, const std::string& methodName,
             const std::string& message, errorType type)
    : Error("internal::error", className, methodName, message, type, 0) {}
error::error(const std::string& kind, const std::string& className,
             const std::string& methodName, const std::string& message,
             errorType type)
    : Error(kind, className, methodName, message, type, 0) {}
error::error(const error& other) = default;
error& error::operator=(const error& other) = default;
error::~error() = default;

badParam::badParam(const std::string& className, const std::string& methodName,
                   const std::string& message, errorType type)
    : error("internal::badParam", className, methodName, message, type) {}
badParam::badParam(const badParam& other) = default;
badParam& badParam::operator=(const badParam& other) = default;
badParam::~badParam() = default;

overflow::overflow(const std::string& className, const std::string& methodName,
                   const std::string& message, errorType type)
    : error("internal::overflow", className, methodName, message, type) {}
overflow::overflow(const overflow& other) = default;
overflow& overflow::operator=(const overflow& other) = default;
overflow::~overflow() = default;

}  // namespace internal

namespace data {

error::error(const std::string& className, const std::string& methodName,
             const std::string& message, errorType type)
    : Error("data::error", className, methodName, message, type, 0) {}
error::error(const std::string& kind, const std::string& className,
             const std::string& methodName, const std::string& message,
             errorType type)
    : Error(kind, className, methodName, message, type, 0) {}
error::error(const error& other) = default;
error& error::operator=(const error& other) = default;
error::~error() = default;

invalid::invalid(const std::string& className, const std::string& methodName,
                 const std::string& message, errorType type)
    : error("data::invalid", className, methodName, message, type) {}
invalid::invalid(const invalid& other) = default;
invalid& invalid::operator=(const invalid& other) = default;
invalid::~invalid() = default;

notFound::notFound(const std::string& className, const std::string& methodName,
                   const std::string& message, errorType type)
    : error("data::notFound", className, methodName, message, type) {}
notFound::notFound(const notFound& other) = default;
notFound& notFound::operator=(const notFound& other) = default;
notFound::~notFound() = default;

}  // namespace data
}  // namespace zel
