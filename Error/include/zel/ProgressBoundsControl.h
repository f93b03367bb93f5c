#pragma once

#include <zel/Export.h>

namespace zel {

/// Limits the overall progress to the range from 0 to an upper bound.
class ZEL_ERROR_API ProgressBoundsControl {
 public:
  /// Takes effect with the next progress report.
  virtual void imposeBounds(bool bounded, float upperBound) = 0;
};

}  // namespace zel
