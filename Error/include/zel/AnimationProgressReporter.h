// Sets a free text, the animation progress, that the reporter hands back
// unchanged through ProgressProvider::getAnimationProgress().
#pragma once

#include <string>

#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API AnimationProgressReporter {
 public:
  constexpr AnimationProgressReporter() = default;
  AnimationProgressReporter(const AnimationProgressReporter&) = default;
  AnimationProgressReporter& operator=(const AnimationProgressReporter&) =
      default;

  virtual void setAnimationProgress(std::string const& text) = 0;

 protected:
  ~AnimationProgressReporter() = default;
};

}  // namespace zel
