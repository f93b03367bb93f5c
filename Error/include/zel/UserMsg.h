#pragma once

#include <string>

#include <zel/Export.h>
#include <zel/SystemMsg.h>

namespace zel {

/// A message text for the user, translated into the current language when it is
/// built; the source text is kept beside the translation. Reading it as a string
/// gives the translated text.
///
/// arg() fills the next token of both texts, so that a message can be shown
/// translated and logged untranslated:
///   UserMsg msg("File %1 not found", nullptr);
///   msg.arg(name);
///   std::string record = msg.str() + UserMsg::getDelimiterToken() + msg.source();
///
/// Building a UserMsg of a non-empty text needs a current dictionary (or
/// translations disabled): see TranslationManager.
class ZEL_ERROR_API UserMsg {
 public:
  /// `found`, when not null, tells whether a translation existed.
  UserMsg(const std::string& text, bool* found);
  UserMsg(const UserMsg& other);  ///< Copies `other`.
  UserMsg(UserMsg&& other) noexcept;  ///< Moves from `other`.
  UserMsg& operator=(const UserMsg& other);  ///< Assigns a copy of `other`.
  UserMsg& operator=(UserMsg&& other) noexcept;  ///< Moves `other` into this object.
  /// Releases the texts.
  ~UserMsg();

  /// The translated text with the values filled in so far.
  std::string str() const;
  /// The translated text, as str().
  operator std::string() const;  // NOLINT(google-explicit-constructor)
  /// The untranslated text in its current state.
  std::string source() const;

  /// Fills the next token of the translated and of the source text.
  template <typename T>
  UserMsg& arg(const T& value) {
    m_translated.arg(value);
    m_source.arg(value);
    return *this;
  }

  /// "<untranslated>", the delimiter between the user's and the log's text.
  static std::string getDelimiterToken();

 private:
  SystemMsg m_translated;
  SystemMsg m_source;
};

}  // namespace zel
