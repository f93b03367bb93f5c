// What a dictionary lookup returns for a text that has no translation.
#pragma once

#include <cstdint>

namespace zel {

enum TranslationPolicy : std::int32_t {
  ShowMissing = 0,  // the text between "[" and "]"
  HideMissing = 1   // the text unchanged; any value other than 0 acts so
};

}  // namespace zel
