#pragma once

#include <zel/Export.h>

namespace zel {

/// Whether an abort was requested, and whether aborts are soft: in the soft
/// mode an interrupt request is recorded for isAborted() instead of thrown.
class ZEL_ERROR_API ProgressAbortMode {
 public:
  /// An interface without data.
  constexpr ProgressAbortMode() = default;
  ProgressAbortMode(const ProgressAbortMode&) = default;  ///< Copies the object.
  ProgressAbortMode& operator=(const ProgressAbortMode&) = default;  ///< Assigns a copy.

  /// True when an interrupt was requested in the soft abort mode.
  virtual bool isAborted() const = 0;
  /// Also clears a recorded abort.
  virtual void setSoftAbortMode(bool soft) = 0;

 protected:
  ~ProgressAbortMode() = default;
};

}  // namespace zel
