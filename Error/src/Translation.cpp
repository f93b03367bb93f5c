// The dictionary of one language. Files are read by readFile
// (TranslationFile.cpp); this file holds construction, lookup and the location
// of package files.
#include <zel/DataError.h>
#include <zel/ErrorType.h>
#include <zel/Translation.h>

#include <cstdlib>
#include <utility>

namespace zel {

Translation::Translation(const std::string& language)
    : m_language(language),
      m_isoCode(processIso6391Code(language)),
      m_policy(HideMissing) {
  // Any value counts, an empty one too: the variable is a switch.
  if (std::getenv("QEN_SHOW_MISSING_TRANSLATIONS") != nullptr) {
    m_policy = ShowMissing;
  }
}

Translation::Translation(const Translation& other) = default;

// The source keeps its language, ISO code and policy, so those are copied;
// only the entries move.
Translation::Translation(Translation&& other) noexcept
    // NOLINTNEXTLINE(performance-move-constructor-init)
    : m_language(other.m_language),
      m_isoCode(other.m_isoCode),
      m_translations(std::move(other.m_translations)),
      m_policy(other.m_policy) {
  // The source stays a usable, empty dictionary of its language.
  other.m_translations.clear();
}

Translation& Translation::operator=(const Translation& other) = default;

// Like the move constructor: language codes are short (no allocation), the
// entries change hands.
Translation& Translation::operator=(Translation&& other) noexcept {
  if (this != &other) {
    m_language = other.m_language;
    m_isoCode = other.m_isoCode;
    m_translations = std::move(other.m_translations);
    m_policy = other.m_policy;
    other.m_translations.clear();
  }
  return *this;
}

Translation::~Translation() = default;

std::string Translation::translate(const std::string& text, bool* found) const {
  const auto entry = m_translations.find(text);
  if (found != nullptr) {
    *found = entry != m_translations.end();
  }
  if (entry != m_translations.end()) {
    return entry->second;
  }
  if (m_policy == ShowMissing) {
    return "[" + text + "]";
  }
  return text;
}

bool Translation::isTranslatable(const std::string& text) const {
  return m_translations.count(text) != 0;
}

void Translation::setTranslationPolicy(TranslationPolicy policy) {
  m_policy = policy;
}

TranslationPolicy Translation::getTranslationPolicy() const { return m_policy; }

void Translation::loadPackageDictionary(const std::string& package) {
  // Read at every call, so an application may point to another directory
  // before it changes the language.
  const char* directory = std::getenv("ZEL_TOP_DATA_DIR");
  if (directory == nullptr) {
    directory = std::getenv("QEN_DATA_DIR");
  }
  if (directory == nullptr) {
    throw data::notFound("Translation", "loadPackageDictionary",
                         "Environment variable ZEL_TOP_DATA_DIR is not set",
                         typeError);
  }
  // Every language of a package lives in one file; `package` may hold a path.
  readFile(std::string(directory) + "/" + package + ".trx");
}

std::string Translation::processIso6391Code(const std::string& code) {
  // No check of length, letters or case: whatever stands before the separator.
  const std::size_t separator = code.find_first_of("-_");
  return separator == std::string::npos ? std::string()
                                        : code.substr(0, separator);
}

}  // namespace zel
