#pragma once

#include <map>
#include <string>

#include <zel/Export.h>
#include <zel/TranslationPolicy.h>

namespace zel {

/// The dictionary of one language: source texts mapped to their translations,
/// read from ".trx" dictionary files. Every language of a package lives in one
/// file; readFile() picks out the lines of this dictionary's language (and, for
/// a code with a region such as "de_CH", the fallback lines of "de").
/// An entry, once read, is never replaced: the first translation stays.
///
/// The policy starts as HideMissing, or ShowMissing when the environment
/// variable "QEN_SHOW_MISSING_TRANSLATIONS" exists at construction.
/// Not synchronised: do not read files into a dictionary another thread uses.
class ZEL_ERROR_API Translation {
 public:
  /// An empty dictionary of `language` (for example "de_DE"); the policy is
  /// ShowMissing when "QEN_SHOW_MISSING_TRANSLATIONS" exists, else HideMissing.
  Translation(const std::string& language);  // NOLINT(google-explicit-constructor)
  /// Copies the language, its ISO code, the entries and the policy.
  Translation(const Translation& other);
  /// Takes the entries over; the source keeps its language and policy.
  Translation(Translation&& other) noexcept;
  /// Copies the language, its ISO code, the entries and the policy.
  Translation& operator=(const Translation& other);
  /// Takes the entries over, as the move constructor does: the source keeps
  /// its language, ISO code and policy and is left without entries.
  Translation& operator=(Translation&& other) noexcept;
  /// Releases the entries.
  ~Translation();

  /// The translation of `text`, or, without one, the text as the policy says.
  /// `found`, when not null, tells whether an entry existed.
  std::string translate(const std::string& text, bool* found) const;
  /// True when the dictionary has an entry for `text`.
  bool isTranslatable(const std::string& text) const;

  /// Sets what a lookup returns for a text without translation.
  void setTranslationPolicy(TranslationPolicy policy);
  /// What a lookup returns for a text without translation.
  TranslationPolicy getTranslationPolicy() const;

  /// Reads "<dir>/<package>.trx", the directory taken from "ZEL_TOP_DATA_DIR",
  /// else "QEN_DATA_DIR" (read at every call). Throws data::notFound when
  /// neither exists or the file cannot be read.
  void loadPackageDictionary(const std::string& package);
  /// Reads one dictionary file; throws data::notFound when it cannot be opened.
  void readFile(const std::string& fileName);

 private:
  /// The part of a language code before its first "-" or "_", or "".
  static std::string processIso6391Code(const std::string& code);

  std::string m_language;
  std::string m_isoCode;
  std::map<std::string, std::string> m_translations;
  TranslationPolicy m_policy;
};

}  // namespace zel
