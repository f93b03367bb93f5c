#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>

#include <cstring>
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

namespace {

// The log line of each thread, kept from report to report with its capacity.
struct LogLineBuffer {
  std::string line;
  bool inUse = false;
};

// Copies `part` to `out` and returns the end of the copy.
char* put(char* out, std::string_view part) {
  if (!part.empty()) std::memcpy(out, part.data(), part.size());
  return out + part.size();
}

}  // namespace

void ErrorMsg::logError() const {
  // The log receives the untranslated part: what follows the first delimiter.
  const std::string_view message(m_message);
  const std::size_t delimiter = message.find(std::string_view(kDelimiter, kDelimiterLength));
  const std::string_view logged =
      delimiter == std::string_view::npos ? message
                                          : message.substr(delimiter + kDelimiterLength);
  const std::string_view severe = (m_type & typeSevere) != 0 ? "Severe: " : "";
  // Every report is logged, so the line is built in a buffer that each
  // thread keeps from line to line, not allocated anew. A sink that reports
  // while it logs gets a line of its own.
  thread_local LogLineBuffer buffer;
  LogLineBuffer& shared = buffer;
  std::string ownLine;
  std::string& line = shared.inUse ? ownLine : shared.line;
  line.resize(severe.size() + m_className.size() + m_methodName.size() + 5 + logged.size());
  char* out = &line[0];
  out = put(out, severe);
  out = put(out, m_className);
  out = put(out, "::");
  out = put(out, m_methodName);
  out = put(out, " - ");
  put(out, logged);
  if (&line == &ownLine) {
    ErrorLogFile::logEntry(line);
    return;
  }
  struct Release {
    LogLineBuffer& buffer;
    ~Release() {
      buffer.inUse = false;
      // A very long line is not kept for the rest of the thread's life.
      if (buffer.line.capacity() > 4096) std::string().swap(buffer.line);
    }
  } release{shared};
  shared.inUse = true;
  ErrorLogFile::logEntry(line);
}

}  // namespace zel
