#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>

#include <zel/Export.h>

namespace zel {

/// A message text with numbered tokens %1 ... %9 that are filled in order:
///
///   std::string text = SystemMsg("%1 '%2' does not exist.").arg("Variable").arg(name);
///
/// Each arg() fills the next token number, whether or not that token occurs;
/// every occurrence of the token is replaced by the value as a fresh
/// std::ostringstream writes it (floats in general format with 6 significant
/// digits). A token that does not occur is not an error: a warning
///   Warning: token %N was not used in the message: "<value>"
/// is written to standard error, without a line end; the value in it is
/// written by std::cerr's own insertion, as that stream is set.
///
/// The delimiter token "<untranslated>" splits a message string into the part
/// the user sees (before it) and the part the log receives (after it).
class ZEL_ERROR_API SystemMsg {
 public:
  /// A message of `text` with no value filled in yet.
  SystemMsg(const std::string& text);  // NOLINT(google-explicit-constructor)
  /// The same, taking over the string's buffer (a message built from a
  /// literal makes its string once, not twice).
  SystemMsg(std::string&& text);  // NOLINT(google-explicit-constructor)
  SystemMsg(const SystemMsg& other);  ///< Copies `other`.
  SystemMsg(SystemMsg&& other) noexcept;  ///< Moves from `other`.
  SystemMsg& operator=(const SystemMsg& other);  ///< Assigns a copy of `other`.
  SystemMsg& operator=(SystemMsg&& other) noexcept;  ///< Moves `other` into this object.
  /// Releases the text.
  ~SystemMsg();

  /// The text with the values filled in so far.
  std::string str() const;
  /// The text with the values filled in so far, as str().
  operator std::string() const;  // NOLINT(google-explicit-constructor)

  /// Fills the next token with the value as an output stream writes it.
  /// Integers and floating-point numbers skip the stream while the global
  /// locale is the classic one: the text is the same, the cost a fraction.
  /// A warning about a missing token writes the value through std::cerr's own
  /// insertion, so that it shows as the stream is set (std::hex, a precision).
  template <typename T>
  SystemMsg& arg(const T& value) {
    if constexpr (isPlainNumber<T>()) {
      const int filled = fillDigits(static_cast<Widened<T>>(value));
      if (filled > 0) return *this;
      if (filled == 0) return warnUnused(value);
    }
    std::ostringstream stream;
    stream << value;
    if (!replaceNext(stream.str())) warnUnused(value);
    return *this;
  }
  /// Fills the next token with `value`.
  SystemMsg& arg(const std::string& value) {
    if (!replaceNext(value)) warnUnused(value);
    return *this;
  }
  /// Fills the next token with `value`.
  SystemMsg& arg(const char* value) {
    if (!replaceNext(value)) warnUnused(value);
    return *this;
  }

  /// Fills the next token with an already formatted value text.
  SystemMsg& fillNext(const std::string& valueText);

 private:
  /// The number types a stream writes as digits (not characters or truth
  /// values), and the widest type of their kind that writes them alike.
  template <typename T>
  static constexpr bool isPlainNumber() {
    return std::is_same_v<T, short> || std::is_same_v<T, unsigned short> ||
           std::is_same_v<T, int> || std::is_same_v<T, unsigned> ||
           std::is_same_v<T, long> || std::is_same_v<T, unsigned long> ||
           std::is_same_v<T, long long> ||
           std::is_same_v<T, unsigned long long> || std::is_same_v<T, float> ||
           std::is_same_v<T, double>;
  }
  template <typename T>
  using Widened = std::conditional_t<
      std::is_floating_point_v<T>, double,
      std::conditional_t<std::is_signed_v<T>, long long, unsigned long long>>;

  /// Fill the next token with the number as a fresh std::ostringstream writes
  /// it and return true; or, when the global locale is not the classic one (a
  /// stream would take its digit grouping and decimal point), change nothing
  /// and return false. arg() no longer calls these: they stay for
  /// applications compiled with an earlier arg(), which calls them inline.
  bool fillNumber(long long value);
  bool fillNumber(unsigned long long value);
  bool fillNumber(double value);

  /// Advance to the next token and replace every occurrence of it with the
  /// value text; false when it does not occur. Writes no warning.
  bool replaceNext(const std::string& valueText);
  /// Fill the next token with the number's digits as replaceNext() does and
  /// return 1, or 0 when the token does not occur; or, when the global locale
  /// is not the classic one, change nothing and return -1.
  int fillDigits(long long value);
  int fillDigits(unsigned long long value);
  int fillDigits(double value);
  /// Writes the warning about the current token up to the opening quotation
  /// mark to std::cerr, and returns the stream.
  std::ostream& beginUnusedTokenWarning() const;
  /// Writes the warning about the current token with `value` as std::cerr
  /// writes it.
  template <typename T>
  SystemMsg& warnUnused(const T& value) {
    beginUnusedTokenWarning() << value << '"';
    return *this;
  }

  std::int32_t m_argCount;
  std::string m_text;
};

}  // namespace zel
