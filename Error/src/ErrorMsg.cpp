#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>

#include <string_view>
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
  const std::size_t delimiter = m_message.find(kDelimiter);
  const std::size_t logged =
      delimiter == std::string::npos ? 0 : delimiter + kDelimiterLength;
  const std::string_view severe = (m_type & typeSevere) != 0 ? "Severe: " : "";
  // Every report is logged, so the line is built in a buffer that each
  // thread keeps from line to line, not allocated anew. A sink that reports
  // while it logs gets a line of its own.
  thread_local std::string buffer;
  thread_local bool bufferInUse = false;
  std::string ownLine;
  std::string& line = bufferInUse ? ownLine : buffer;
  line.clear();
  line.reserve(severe.size() + m_className.size() + m_methodName.size() + 5 +
               (m_message.size() - logged));
  line += severe;
  line += m_className;
  line += "::";
  line += m_methodName;
  line += " - ";
  line.append(m_message, logged, std::string::npos);
  if (&line != &buffer) {
    ErrorLogFile::logEntry(line);
    return;
  }
  struct Release {
    ~Release() {
      bufferInUse = false;
      // A very long line is not kept for the rest of the thread's life.
      if (buffer.capacity() > 4096) std::string().swap(buffer);
    }
  } release;
  bufferInUse = true;
  ErrorLogFile::logEntry(line);
}

}  // namespace zel
