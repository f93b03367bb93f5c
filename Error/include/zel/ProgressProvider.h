// What an observer of the progress reads, and where the processors that run
// in the middle of an operation are registered (never owned).
#pragma once

#include <string>

#include <zel/Export.h>

namespace zel {

class MidOpProcessor;

class ZEL_ERROR_API ProgressProvider {
 public:
  virtual float getProgress() const = 0;
  // Fills the predicted step's weight and estimate; false when none is in force.
  virtual bool getProgressPrediction(float& weight, float& estimate) const = 0;
  virtual std::string const& getOperationName() const = 0;
  virtual std::string const& getAnimationProgress() = 0;
  virtual void registerMidOpProcessor(MidOpProcessor* processor) = 0;
  virtual void unregisterMidOpProcessor(MidOpProcessor* processor) = 0;
};

}  // namespace zel
