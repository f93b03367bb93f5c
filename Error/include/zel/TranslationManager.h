#pragma once

#include <string>

#include <zel/Export.h>
#include <zel/TranslationPolicy.h>

namespace zel {

class TranslationObserver;

/// The process-wide translation of user-visible texts: one current dictionary,
/// the packages every dictionary holds, and the observers told of a change of
/// language.
///
/// Start-up: initialize() takes the language from "QEN_LANGUAGE", else
/// "QEN_OKA_LOCALE", else "en_GB"; requirePackageDictionary() names the packages
/// read from the data directory. Translating a non-empty text, translatable()
/// and setTranslationPolicy() need a current dictionary: without one they fail
/// an assertion (unless translations are disabled, which spares the first two).
/// Not synchronised: use from one thread at a time.
namespace TranslationManager {

/// Chooses the language from the environment, sets it and returns it.
ZEL_ERROR_API std::string initialize();
/// Makes a new dictionary of `language` with every required package, makes it
/// current, then tells the observers attached at that moment, once per
/// attachment, in the order of attachment. An observer may attach and detach
/// observers from inside languageChanged(): one detached before its turn is not
/// told (nor touched), one attached then is told from the next change on. When
/// a package fails, the previous dictionary stays current, nobody is told and
/// the exception passes on; so does an exception from an observer, and the
/// observers after it are not told of that change.
ZEL_ERROR_API void setLanguage(const std::string& language);
/// Appends the observer, also a second time or a null pointer (which is never
/// told); never owned.
ZEL_ERROR_API void attach(TranslationObserver* observer);
/// Removes every occurrence of the observer.
ZEL_ERROR_API void detach(TranslationObserver* observer);
/// Final: texts are returned unchanged from now on, languages are not changed.
ZEL_ERROR_API void disableTranslations();
/// Sets the policy of the current dictionary.
ZEL_ERROR_API void setTranslationPolicy(TranslationPolicy policy);
/// Adds the package; reads it into the current dictionary if it is new.
ZEL_ERROR_API void requirePackageDictionary(const std::string& package);
/// True when the current dictionary has an entry for `text`.
ZEL_ERROR_API bool translatable(const std::string& text);
/// The translation of `text` in the current dictionary (an empty text is
/// returned as it is); `found`, when not null, tells whether an entry existed.
ZEL_ERROR_API std::string translate(const std::string& text, bool* found);

}  // namespace TranslationManager
}  // namespace zel
