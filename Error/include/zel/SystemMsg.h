// A message text with numbered tokens %1 ... %9 that are filled in order:
//
//   std::string text = SystemMsg("%1 '%2' does not exist.").arg("Variable").arg(name);
//
// Each arg() fills the next token number, whether or not that token occurs;
// every occurrence of the token is replaced by the value as a fresh
// std::ostringstream writes it (floats in general format with 6 significant
// digits). A token that does not occur is not an error: a warning
//   Warning: token %N was not used in the message: "<value>"
// is written to standard error, without a line end.
//
// The delimiter token "<untranslated>" splits a message string into the part
// the user sees (before it) and the part the log receives (after it).
#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API SystemMsg {
 public:
  explicit SystemMsg(const std::string& text);
  SystemMsg(const SystemMsg& other);
  SystemMsg(SystemMsg&& other) noexcept;
  SystemMsg& operator=(const SystemMsg& other);
  SystemMsg& operator=(SystemMsg&& other) noexcept;
  ~SystemMsg();

  std::string str() const;
  operator std::string() const;  // NOLINT(google-explicit-constructor)

  // Fills the next token with the value as an output stream writes it.
  template <typename T>
  SystemMsg& arg(const T& value) {
    std::ostringstream stream;
    stream << value;
    return fillNext(stream.str());
  }
  SystemMsg& arg(const std::string& value) { return fillNext(value); }
  SystemMsg& arg(const char* value) { return fillNext(std::string(value)); }

  // Fills the next token with an already formatted value text.
  SystemMsg& fillNext(const std::string& valueText);

 private:
  std::int32_t m_argCount;
  std::string m_text;
};

}  // namespace zel
