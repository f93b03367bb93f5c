#include <zel/TranslationObserver.h>

namespace zel {

// The one home of the interface's type information.
TranslationObserver::~TranslationObserver() = default;

}  // namespace zel
