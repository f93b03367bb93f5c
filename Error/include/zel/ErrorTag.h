#pragma once

#include <cstdint>

namespace zel {

/// The tag that an application's tag provider puts on stored messages, so that
/// its user interface can single them out. The library knows only tagNone and
/// passes every other value through unchanged.
struct ErrorTag {
  /// A tag put on stored messages; tagNone (0) is the only value the library
  /// knows, applications define their own.
  enum ErrorTagType : std::int32_t { tagNone = 0 };
};

}  // namespace zel
