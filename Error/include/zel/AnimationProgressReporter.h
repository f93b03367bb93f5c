#pragma once

#include <string>

#include <zel/Export.h>

namespace zel {

/// Sets a free text, the animation progress, that the reporter hands back
/// unchanged through ProgressProvider::getAnimationProgress().
class ZEL_ERROR_API AnimationProgressReporter {
 public:
  /// An interface without data.
  constexpr AnimationProgressReporter() = default;
  AnimationProgressReporter(const AnimationProgressReporter&) = default;  ///< Copies the object.
  /// Assigns a copy.
  AnimationProgressReporter& operator=(const AnimationProgressReporter&) =
      default;

  /// Sets the animation progress text.
  virtual void setAnimationProgress(std::string const& text) = 0;

 protected:
  ~AnimationProgressReporter() = default;
};

}  // namespace zel
