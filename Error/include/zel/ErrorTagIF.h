// A tag provider that the application supplies: currentTag() is called once
// for each message an application error reporter stores, and its result is
// stamped on the stored message. The reporter it is registered with owns it.
#pragma once

#include <zel/ErrorTag.h>
#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API ErrorTagIF {
 public:
  ErrorTagIF() = default;
  ErrorTagIF(const ErrorTagIF&) = default;
  ErrorTagIF& operator=(const ErrorTagIF&) = default;
  virtual ~ErrorTagIF();

  virtual ErrorTag::ErrorTagType currentTag() const = 0;
};

}  // namespace zel
