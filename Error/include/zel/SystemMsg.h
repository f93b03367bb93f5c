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
/// is written to standard error, without a line end.
///
/// The delimiter token "<untranslated>" splits a message string into the part
/// the user sees (before it) and the part the log receives (after it).
class ZEL_ERROR_API SystemMsg {
 public:
  /// A message of `text` with no value filled in yet.
  SystemMsg(const std::string& text);  // NOLINT(google-explicit-constructor)
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
  template <typename T>
  SystemMsg& arg(const T& value) {
    if constexpr (isPlainNumber<T>()) {
      if (fillNumber(static_cast<Widened<T>>(value))) {
        return *this;
      }
    }
    std::ostringstream stream;
    stream << value;
    return fillNext(stream.str());
  }
  /// Fills the next token with `value`.
  SystemMsg& arg(const std::string& value) { return fillNext(value); }
  /// Fills the next token with `value`.
  SystemMsg& arg(const char* value) { return fillNext(std::string(value)); }

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
  /// and return false.
  bool fillNumber(long long value);
  bool fillNumber(unsigned long long value);
  bool fillNumber(double value);

  std::int32_t m_argCount;
  std::string m_text;
};

}  // namespace zel
