// Implemented by application classes that must react to a change of language.
// languageChanged() is called after the new dictionary is current, so a
// translation made inside it already answers in the new language.
// Detach an observer before it is destroyed.
#pragma once

#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API TranslationObserver {
 public:
  virtual void languageChanged() = 0;
  virtual ~TranslationObserver();
};

}  // namespace zel
