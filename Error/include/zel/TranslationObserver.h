#pragma once

#include <zel/Export.h>

namespace zel {

/// Implemented by application classes that must react to a change of language.
/// languageChanged() is called after the new dictionary is current, so a
/// translation made inside it already answers in the new language.
/// Detach an observer before it is destroyed.
class ZEL_ERROR_API TranslationObserver {
 public:
  /// Called after the language changed; the new dictionary is current.
  virtual void languageChanged() = 0;
  virtual ~TranslationObserver();
};

}  // namespace zel
