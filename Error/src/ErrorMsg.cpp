#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>

#include <utility>

namespace zel {
namespace {
const char kDelimiter[] = "<untranslated>";
constexpr std::size_t kDelimiterLength = sizeof(kDelimiter) - 1;
}  // namespace

ErrorMsg::ErrorMsg() : m_type(typeUnspecified), m_errorTag(ErrorTag::tagNone) {}

ErrorMsg::ErrorMsg(std::string className, std::string methodName,
                   std::string message, errorType type)
    : m_className(std::move(className)),
      m_methodName(std::move(methodName)),
      m_message(std::move(message)),
      m_type(type),
      m_errorTag(ErrorTag::tagNone) {}

ErrorMsg::ErrorMsg(const Error& error, errorType type)
    : m_type(type), m_errorTag(ErrorTag::tagNone) {
  // Message, method, class: the order in which the exception is asked.
  m_message = error.getMessage();
  m_methodName = error.getMethod();
  m_className = error.getClass();
  if (type == typeUnspecified) m_type = error.getType();
}

ErrorMsg::ErrorMsg(const ErrorMsg& other) = default;
ErrorMsg::ErrorMsg(ErrorMsg&& other) noexcept = default;
ErrorMsg& ErrorMsg::operator=(const ErrorMsg& other) = default;
ErrorMsg& ErrorMsg::operator=(ErrorMsg&& other) noexcept = default;
ErrorMsg::~ErrorMsg() = default;

std::string ErrorMsg::className() const { return m_className; }
std::string ErrorMsg::methodName() const { return m_methodName; }
std::string ErrorMsg::message() const { return m_message; }
errorType ErrorMsg::type() const { return m_type; }
ErrorTag::ErrorTagType ErrorMsg::errorTag() const { return m_errorTag; }
void ErrorMsg::setErrorTag(ErrorTag::ErrorTagType tag) { m_errorTag = tag; }

void ErrorMsg::logError() const {
  // The log receives the untranslated part: what follows the first delimiter.
  std::string logged;
  const std::size_t delimiter = m_message.find(kDelimiter);
  if (delimiter == std::string::npos) {
    logged = m_message;
  } else {
    logged = m_message.substr(delimiter + kDelimiterLength);
  }
  std::string line;
  if ((m_type & typeSevere) != 0) line = "Severe: ";
  line += m_className;
  line += "::";
  line += m_methodName;
  line += " - ";
  line += logged;
  ErrorLogFile::logEntry(line);
}

}  // namespace zel
