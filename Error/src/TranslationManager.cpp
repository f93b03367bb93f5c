// The process-wide translation state: the current dictionary, the required
// packages and the observers of a change of language. Nothing here is
// synchronised; the application uses the manager from one thread at a time.
#include <zel/Translation.h>
#include <zel/TranslationManager.h>
#include <zel/TranslationObserver.h>
#include <zel/ZELAssert.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace zel {
namespace {

std::unique_ptr<Translation> s_current;         // null until a language is set
bool s_disabled = false;                        // never cleared once set
std::vector<TranslationObserver*> s_observers;  // not owned; may repeat
std::set<std::string> s_packages;               // only grows

// A missing current dictionary is a broken precondition of the caller. The
// assertion names this file and a fixed line per operation, the text by which
// the failure is known in logs and support notes.
const char kSourceFile[] = "Error/src/TranslationManager";
constexpr int kTranslatableCheckLine = 167;
constexpr int kTranslateCheckLine = 193;
constexpr int kSetPolicyCheckLine = 230;

void requireCurrent(int line) {
  if (!s_current) {
    ZELAssertImpl::assertFail("s_current", kSourceFile, line);
  }
}

}  // namespace

namespace TranslationManager {

std::string initialize() {
  // A variable that exists counts, even empty.
  std::string language = "en_GB";
  if (const char* value = std::getenv("QEN_LANGUAGE")) {
    language = value;
  } else if (const char* locale = std::getenv("QEN_OKA_LOCALE")) {
    language = locale;
  }
  setLanguage(language);
  return language;
}

void setLanguage(const std::string& language) {
  if (s_disabled) {
    return;
  }
  // Build the whole dictionary first: when a package fails, the current one
  // stays and nobody is told. Packages are read in name order, so where two
  // translate the same text, the one whose name sorts first wins.
  auto next = std::make_unique<Translation>(language);
  for (const std::string& package : s_packages) {
    next->loadPackageDictionary(package);
  }
  s_current = std::move(next);
  // Observers are told once the new dictionary answers. Indexing (rather than
  // iterators) stays valid if an observer attaches or detaches from inside
  // languageChanged(). A null pointer may have been attached; it is skipped.
  for (std::size_t i = 0; i < s_observers.size(); ++i) {
    if (s_observers[i] != nullptr) {
      s_observers[i]->languageChanged();
    }
  }
}

void attach(TranslationObserver* observer) { s_observers.push_back(observer); }

void detach(TranslationObserver* observer) {
  s_observers.erase(
      std::remove(s_observers.begin(), s_observers.end(), observer),
      s_observers.end());
}

void disableTranslations() { s_disabled = true; }

void setTranslationPolicy(TranslationPolicy policy) {
  requireCurrent(kSetPolicyCheckLine);
  s_current->setTranslationPolicy(policy);
}

void requirePackageDictionary(const std::string& package) {
  if (!s_packages.insert(package).second) {
    return;
  }
  // Without a dictionary the package waits for the next setLanguage. If it
  // cannot be read it stays required, and each setLanguage fails likewise.
  if (s_current) {
    s_current->loadPackageDictionary(package);
  }
}

bool translatable(const std::string& text) {
  if (s_disabled) {
    return false;
  }
  requireCurrent(kTranslatableCheckLine);
  return s_current->isTranslatable(text);
}

std::string translate(const std::string& text, bool* found) {
  if (found != nullptr) {
    *found = false;
  }
  if (s_disabled) {
    return text;
  }
  // The empty text needs no dictionary, so it may be translated before
  // start-up.
  if (text.empty()) {
    return std::string();
  }
  requireCurrent(kTranslateCheckLine);
  return s_current->translate(text, found);
}

}  // namespace TranslationManager
}  // namespace zel
