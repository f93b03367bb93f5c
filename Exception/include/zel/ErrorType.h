// Severity of a message, as single bits so that a set of severities can be
// passed as a mask: a message is selected when (type & mask) != 0.
//
// Only 1, 4, 8, 16, 32 and 64 are accepted as display severities; 0 means "not
// given" and 2 is no severity at all. allTypes (125) is their union.
#pragma once

#include <cstdint>

namespace zel {

enum errorType : std::int32_t {
  typeUnspecified = 0,
  typeSevere = 1,
  typeError = 4,  // every exception thrown by the library
  typeWarning = 8,
  typeInterrupt = 16,
  typeInternalError = 32,
  typeNotice = 64,  // accepted like the others; nothing gives it a role
  allTypes = typeSevere | typeError | typeWarning | typeInterrupt |
             typeInternalError | typeNotice
};

}  // namespace zel
