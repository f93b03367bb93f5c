#include <zel/Error.h>

#include <ostream>

namespace zel {

Error::Error() : m_type(typeUnspecified), m_code(0) {}

Error::Error(const std::string& kind, const std::string& className,
             const std::string& methodName, const std::string& message,
             errorType type, int code)
    : m_kind(kind),
      m_className(className),
      m_methodName(methodName),
      m_message(message),
      m_type(type),
      m_code(code) {}

Error::Error(const Error& other) = default;
Error& Error::operator=(const Error& other) = default;
Error::~Error() = default;

errorType Error::getType() const { return m_type; }

void Error::write(std::ostream& stream) const { stream << errorMessage(); }

std::string Error::getClass() const { return m_className; }

std::string Error::getMethod() const { return m_methodName; }

std::string Error::errorMessage() const {
  return m_kind + " in " + m_className + "::" + m_methodName + ": " + m_message;
}

std::string Error::getMessage() const { return m_message; }

}  // namespace zel
