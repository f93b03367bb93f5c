#include <zel/SystemMsg.h>

#include <algorithm>
#include <charconv>
#include <iostream>
#include <locale>
#include <string_view>
#include <utility>

namespace zel {
namespace {

// A fresh stream takes the global locale. The classic one writes numbers as
// the C library's "C" locale does, which std::to_chars does too; any other may
// group digits or use another decimal point, so it is left to the stream.
bool streamWritesClassicNumbers() {
  return std::locale() == std::locale::classic();
}

// Advances `count` to the next token and replaces every occurrence of
// "%<count>" in `text` with the value; false when it does not occur.
bool replaceNextToken(std::string& text, std::int32_t& count,
                      std::string_view valueText) {
  ++count;
  // Tokens are "%1" ... "%9": always two characters.
  char token[16] = {'%'};
  const char* tokenEnd =
      std::to_chars(token + 1, token + sizeof token, count).ptr;
  const std::string_view tokenText(token,
                                   static_cast<std::size_t>(tokenEnd - token));
  bool replaced = false;
  std::size_t pos = text.find(tokenText);
  while (pos != std::string::npos) {
    text.replace(pos, 2, valueText);
    replaced = true;
    // Resume after the inserted value, so a value holding its own token
    // cannot make this loop forever.
    pos = text.find(tokenText, pos + valueText.size());
  }
  return replaced;
}

// The warning about token `count`, up to its opening quotation mark. Written
// unformatted, so the token number is decimal whatever the stream's settings
// and a width set for the value is left for the value.
std::ostream& beginWarning(std::int32_t count) {
  char text[64] = "Warning: token %";
  char* end = text + std::char_traits<char>::length(text);
  end = std::to_chars(end, text + 32, count).ptr;
  const std::string_view rest = " was not used in the message: \"";
  end = std::copy(rest.begin(), rest.end(), end);
  return std::cerr.write(text, end - text);
}

// Fills the next token of `text`; a warning, with the value text as
// formatted, tells of a token that does not occur.
void fillNextToken(std::string& text, std::int32_t& count,
                   std::string_view valueText) {
  if (!replaceNextToken(text, count, valueText)) {
    beginWarning(count) << valueText << '"';
  }
}

// Fills the next token with the number as std::to_chars writes it, given the
// value and the format: 1 when it was filled, 0 when the token does not occur;
// -1, changing nothing, when the global locale would make a stream write it
// otherwise.
template <typename... ValueAndFormat>
int fillWithDigits(std::string& text, std::int32_t& count,
                   ValueAndFormat... valueAndFormat) {
  if (!streamWritesClassicNumbers()) return -1;
  char digits[32];
  const char* end =
      std::to_chars(digits, digits + sizeof digits, valueAndFormat...).ptr;
  return replaceNextToken(
             text, count,
             std::string_view(digits, static_cast<std::size_t>(end - digits)))
             ? 1
             : 0;
}

// The same, writing the warning with the digits: the fill of applications
// built before the warning took the value through std::cerr.
template <typename... ValueAndFormat>
bool fillWithDigitsOrWarn(std::string& text, std::int32_t& count,
                          ValueAndFormat... valueAndFormat) {
  if (!streamWritesClassicNumbers()) return false;
  char digits[32];
  const char* end =
      std::to_chars(digits, digits + sizeof digits, valueAndFormat...).ptr;
  fillNextToken(text, count,
                std::string_view(digits, static_cast<std::size_t>(end - digits)));
  return true;
}

}  // namespace

SystemMsg::SystemMsg(const std::string& text) : m_argCount(0), m_text(text) {}
SystemMsg::SystemMsg(const SystemMsg& other) = default;
SystemMsg::SystemMsg(SystemMsg&& other) noexcept = default;
SystemMsg& SystemMsg::operator=(const SystemMsg& other) = default;
SystemMsg& SystemMsg::operator=(SystemMsg&& other) noexcept = default;
SystemMsg::~SystemMsg() = default;

std::string SystemMsg::str() const { return m_text; }

SystemMsg::operator std::string() const { return m_text; }

SystemMsg& SystemMsg::fillNext(const std::string& valueText) {
  fillNextToken(m_text, m_argCount, valueText);
  return *this;
}

bool SystemMsg::fillNumber(long long value) {
  return fillWithDigitsOrWarn(m_text, m_argCount, value);
}

bool SystemMsg::fillNumber(unsigned long long value) {
  return fillWithDigitsOrWarn(m_text, m_argCount, value);
}

bool SystemMsg::fillNumber(double value) {
  return fillWithDigitsOrWarn(m_text, m_argCount, value,
                              std::chars_format::general, 6);
}

bool SystemMsg::replaceNext(const std::string& valueText) {
  return replaceNextToken(m_text, m_argCount, valueText);
}

int SystemMsg::fillDigits(long long value) {
  return fillWithDigits(m_text, m_argCount, value);
}

int SystemMsg::fillDigits(unsigned long long value) {
  return fillWithDigits(m_text, m_argCount, value);
}

int SystemMsg::fillDigits(double value) {
  // A stream's default: general format, 6 significant digits, as printf's
  // "%.6g" (at most 13 characters, "-1.79769e+308").
  return fillWithDigits(m_text, m_argCount, value, std::chars_format::general,
                        6);
}

std::ostream& SystemMsg::beginUnusedTokenWarning() const {
  return beginWarning(m_argCount);
}

}  // namespace zel
