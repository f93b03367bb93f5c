// Whether an abort was requested, and whether aborts are soft: in the soft
// mode an interrupt request is recorded for isAborted() instead of thrown.
#pragma once

#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API ProgressAbortMode {
 public:
  constexpr ProgressAbortMode() = default;
  ProgressAbortMode(const ProgressAbortMode&) = default;
  ProgressAbortMode& operator=(const ProgressAbortMode&) = default;

  virtual bool isAborted() const = 0;
  // Also clears a recorded abort.
  virtual void setSoftAbortMode(bool soft) = 0;

 protected:
  ~ProgressAbortMode() = default;
};

}  // namespace zel
