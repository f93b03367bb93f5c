#include <zel/DataError.h>
#include <zel/ErrorMsg.h>
#include <zel/OutputMessage.h>
#include <zel/SystemMsg.h>
#include <zel/UserMsg.h>

#include <cstdint>
#include <string_view>
#include <utility>

namespace zel {

// The severity is checked first, so that a record of an unaccepted type throws
// before its heading is translated.
OutputMessage::OutputMessage(const ErrorMsg& record, bool verbose)
    : m_severity(makeSeverity(record.type())),
      m_text(makeText(record, verbose)),
      m_errorTag(record.errorTag()) {}

OutputMessage::OutputMessage(errorType severity, std::string text,
                             ErrorTag::ErrorTagType tag)
    : m_severity(makeSeverity(severity)), m_text(std::move(text)), m_errorTag(tag) {}

OutputMessage::OutputMessage(ErrorMsg&& record, bool verbose)
    : m_severity(makeSeverity(record.type())), m_errorTag(record.errorTag()) {
  if (showsTextAsItStands(record, verbose)) {
    m_text = std::move(record.m_message);
  } else {
    m_text = makeText(record, verbose);
  }
}

OutputMessage::OutputMessage(const OutputMessage& other) = default;
OutputMessage::OutputMessage(OutputMessage&& other) noexcept = default;
OutputMessage& OutputMessage::operator=(const OutputMessage& other) = default;
OutputMessage& OutputMessage::operator=(OutputMessage&& other) noexcept =
    default;
OutputMessage::~OutputMessage() = default;

bool OutputMessage::operator<(const OutputMessage& other) const {
  if (m_severity != other.m_severity) {
    return static_cast<std::int32_t>(m_severity) <
           static_cast<std::int32_t>(other.m_severity);
  }
  return m_text < other.m_text;
}

errorType OutputMessage::makeSeverity(errorType type) {
  switch (type) {
    case typeSevere:
    case typeError:
    case typeWarning:
    case typeInterrupt:
    case typeInternalError:
    case typeNotice:
      return type;
    default:
      break;
  }
  throw data::invalid("OutputMessage", "makeSeverity",
                      SystemMsg("ErrorType %1 is not recognized.")
                          .arg(static_cast<int>(type))
                          .str(),
                      typeError);
}

bool OutputMessage::showsTextAsItStands(const ErrorMsg& record, bool verbose) {
  // The delimiter token, as UserMsg::getDelimiterToken() gives it.
  constexpr std::string_view kDelimiter = "<untranslated>";
  return !verbose && record.type() != typeInternalError &&
         std::string_view(record.m_message).find(kDelimiter) == std::string_view::npos;
}

std::string OutputMessage::makeText(const ErrorMsg& record, bool verbose) {
  std::string text = record.message();
  // The heading goes in before the cut, so a message that is all delimiter and
  // log text still shows it.
  if (record.type() == typeInternalError) {
    text = UserMsg("Internal error detected:", nullptr).str() + "\n" + text;
  }
  // The user sees only what stands before the first delimiter.
  const std::size_t delimiter = text.find(UserMsg::getDelimiterToken());
  if (delimiter != std::string::npos) text.erase(delimiter);
  if (verbose) {
    text = record.className() + "::" + record.methodName() + "::" + text;
  }
  return text;
}

}  // namespace zel
