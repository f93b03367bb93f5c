// Translate with a custom dictionary: the application's texts in a ".trx"
// file of its own, next to the library's ZELError.trx in one data directory.
#include <zel/ZELError.h>

#include <cstdlib>
#include <iostream>

int main() {
  // The data directory: the user's choice when "ZEL_TOP_DATA_DIR" is set, else
  // the one the build copied Examples.trx and ZELError.trx into.
  ::setenv("ZEL_TOP_DATA_DIR", EXAMPLES_DATA_DIR, 0);
  ::setenv("QEN_LANGUAGE", "de_DE", 0);

  // Translation first: the language from the environment, then the packages
  // that every dictionary of this process holds.
  const std::string language = zel::TranslationManager::initialize();
  zel::TranslationManager::requirePackageDictionary("ZELError");
  zel::TranslationManager::requirePackageDictionary("Examples");

  // A user message is translated when it is built; its tokens are filled
  // afterwards, in the translation and in the source text alike.
  zel::UserMsg message("Solver did not converge after %1 iterations.", nullptr);
  message.arg(12);
  std::cout << language << ": " << message.str() << '\n';

  // Shown translated, logged untranslated: the part after the delimiter goes
  // to the log.
  zel::ErrorMsg record("Solver", "run",
                       message.str() + zel::UserMsg::getDelimiterToken() + message.source(),
                       zel::typeWarning);
  record.logError();

  // Another language at run time: every required package is read again.
  zel::TranslationManager::setLanguage("fr_FR");
  std::cout << "fr_FR: " << zel::UserMsg("Results written to %1.", nullptr).arg("wing.res").str()
            << '\n';

  // A text without a translation comes back unchanged.
  bool found = true;
  std::cout << zel::TranslationManager::translate("Not in any dictionary.", &found)
            << (found ? "" : " (no translation)") << '\n';
  return 0;
}
