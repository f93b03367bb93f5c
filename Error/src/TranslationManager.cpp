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

// One attachment of an observer. Detaching while observers are being told
// only marks the attachment, so that the positions of the others stay put;
// marked attachments are dropped once the outermost notification has ended.
struct Attachment {
  TranslationObserver* observer;  // not owned; may be null
  bool detached;
};

std::unique_ptr<Translation> s_current;  // null until a language is set
bool s_disabled = false;                 // never cleared once set
std::vector<Attachment> s_observers;     // in the order of attachment; may repeat
int s_notifying = 0;                     // notifications under way (one may start another)
std::set<std::string> s_packages;        // only grows

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

void dropDetached() {
  s_observers.erase(std::remove_if(s_observers.begin(), s_observers.end(),
                                   [](const Attachment& a) { return a.detached; }),
                    s_observers.end());
}

// Tells each observer attached when the call starts, once per attachment and
// in the order of attachment. An observer may attach and detach observers,
// itself included, from inside languageChanged(): one detached before its turn
// is not told and not touched (it may be gone already); one attached now is
// told from the next change on. An exception from an observer ends the round
// and passes to the caller. A null pointer may have been attached; it is
// skipped.
void tellObservers() {
  struct Round {
    Round() { ++s_notifying; }
    ~Round() {
      if (--s_notifying == 0) dropDetached();
    }
  } round;
  // Attachments made during the round go to the end of the list and nothing
  // is removed before the round ends, so the first `count` positions are those
  // of the observers attached at its start.
  const std::size_t count = s_observers.size();
  for (std::size_t i = 0; i < count; ++i) {
    const Attachment& attachment = s_observers[i];  // valid until the next attach
    if (!attachment.detached && attachment.observer != nullptr) {
      attachment.observer->languageChanged();
    }
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
  // Observers are told once the new dictionary answers.
  tellObservers();
}

void attach(TranslationObserver* observer) { s_observers.push_back({observer, false}); }

void detach(TranslationObserver* observer) {
  for (Attachment& attachment : s_observers) {
    if (attachment.observer == observer) attachment.detached = true;
  }
  if (s_notifying == 0) dropDetached();
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
