#include <zel/SystemMsg.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
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

// Room kept beside a new text for the values filled in later (a number takes
// at most 20 characters), so that filling them seldom moves the text again.
constexpr std::size_t kRoomForValues = 24;

// The position of the two-character token "%<digit>" in `text` from `from`
// on, or npos.
std::size_t findToken(const std::string& text, char digit, std::size_t from) {
  if (text.size() < 2) return std::string::npos;
  const char* const begin = text.data();
  const char* const last = begin + text.size() - 1;  // a token's last start
  const char* at = begin + from;
  while (at < last) {
    at = static_cast<const char*>(
        std::memchr(at, '%', static_cast<std::size_t>(last - at)));
    if (at == nullptr) break;
    if (at[1] == digit) return static_cast<std::size_t>(at - begin);
    ++at;
  }
  return std::string::npos;
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
  if (tokenText.size() == 2) {
    // The usual tokens, %1 ... %9, searched for by their '%' alone.
    std::size_t pos = findToken(text, token[1], 0);
    while (pos != std::string::npos) {
      text.replace(pos, 2, valueText);
      replaced = true;
      // Resume after the inserted value, so a value holding its own token
      // cannot make this loop forever.
      pos = findToken(text, token[1], pos + valueText.size());
    }
    return replaced;
  }
  std::size_t pos = text.find(tokenText);
  while (pos != std::string::npos) {
    text.replace(pos, 2, valueText);
    replaced = true;
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

// Writes an integer as a fresh stream under the classic locale does.
template <typename Integer>
char* writeNumber(char* out, char* end, Integer value) {
  return std::to_chars(out, end, value).ptr;
}

// Writes `value` as "%.6g" does, when it is zero or a decimal of at most six
// significant digits from 1e-4 up to 1e6 (0.5, -2.25, 100, 0.0625): the
// common case, written in a fraction of the time of the general conversion.
// Returns null, writing nothing, for any other value.
//
// v * 10^d rounds to a whole number N below 1e6 only when v lies within a
// rounding error (about 1e-16 of v) of N / 10^d; rounded to six significant
// digits, v is then N / 10^d, as the exponent of v is at least -4 (so
// "%.6g" writes it without exponent and drops the trailing zeros).
char* writeShortDecimal(char* out, double value) {
  if (!(std::fabs(value) < 1e6)) return nullptr;  // also infinities and NaN
  if (value != 0.0 && std::fabs(value) < 1e-4) return nullptr;
  static constexpr double kScales[] = {1e0, 1e1, 1e2, 1e3, 1e4,
                                       1e5, 1e6, 1e7, 1e8, 1e9};
  static constexpr std::int64_t kPowers[] = {
      1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
  for (int places = 0; places < 10; ++places) {
    const double scaled = std::fabs(value) * kScales[places];
    if (scaled >= 1e6) return nullptr;  // more than six significant digits
    const auto whole = static_cast<std::int64_t>(scaled);
    if (static_cast<double>(whole) != scaled) continue;
    if (std::signbit(value)) *out++ = '-';
    out = std::to_chars(out, out + 8, whole / kPowers[places]).ptr;
    std::int64_t fraction = whole % kPowers[places];
    if (fraction == 0) return out;
    // The fraction's digits with their leading zeros, without trailing ones.
    int digits = places;
    while (fraction % 10 == 0) {
      fraction /= 10;
      --digits;
    }
    *out++ = '.';
    char* const last = out + digits;
    for (char* at = last; at != out;) {
      *--at = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    return last;
  }
  return nullptr;
}

// Writes a floating-point number as a fresh stream in its default state
// does: general format, 6 significant digits, as printf's "%.6g" (at most 13
// characters, "-1.79769e+308").
char* writeNumber(char* out, char* end, double value) {
  if (char* written = writeShortDecimal(out, value)) return written;
  return std::to_chars(out, end, value, std::chars_format::general, 6).ptr;
}

// The number as a fresh stream writes it under the classic locale, in
// `digits`; false, writing nothing, when the global locale would make a stream
// write it otherwise.
template <typename Number>
bool classicDigits(Number value, char (&digits)[32], std::string_view& written) {
  if (!streamWritesClassicNumbers()) return false;
  const char* end = writeNumber(digits, digits + sizeof digits, value);
  written = std::string_view(digits, static_cast<std::size_t>(end - digits));
  return true;
}

// Fills the next token with the number's classic digits: 1 when it was
// filled, 0 when the token does not occur; -1, changing nothing, when the
// global locale would make a stream write it otherwise.
template <typename Number>
int fillWithDigits(std::string& text, std::int32_t& count, Number value) {
  char digits[32];
  std::string_view written;
  if (!classicDigits(value, digits, written)) return -1;
  return replaceNextToken(text, count, written) ? 1 : 0;
}

// The same, writing the warning with the digits: the fill of applications
// built before the warning took the value through std::cerr.
template <typename Number>
bool fillWithDigitsOrWarn(std::string& text, std::int32_t& count, Number value) {
  char digits[32];
  std::string_view written;
  if (!classicDigits(value, digits, written)) return false;
  fillNextToken(text, count, written);
  return true;
}

}  // namespace

SystemMsg::SystemMsg(const std::string& text) : m_argCount(0) {
  m_text.reserve(text.size() + kRoomForValues);
  m_text.assign(text);
}

// The string's buffer is taken as it is: growing it once while the values
// are filled in costs less than a copy with room made now.
SystemMsg::SystemMsg(std::string&& text) : m_argCount(0), m_text(std::move(text)) {}
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
  return fillWithDigitsOrWarn(m_text, m_argCount, value);
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
  return fillWithDigits(m_text, m_argCount, value);
}

std::ostream& SystemMsg::beginUnusedTokenWarning() const {
  return beginWarning(m_argCount);
}

}  // namespace zel
