// The tag that an application's tag provider puts on stored messages, so that
// its user interface can single them out. The library knows only tagNone and
// passes every other value through unchanged.
#pragma once

#include <cstdint>

namespace zel {

struct ErrorTag {
  enum ErrorTagType : std::int32_t { tagNone = 0 };
};

}  // namespace zel
