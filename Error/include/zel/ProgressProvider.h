#pragma once

#include <string>

#include <zel/Export.h>

namespace zel {

class MidOpProcessor;

/// What an observer of the progress reads, and where the processors that run
/// in the middle of an operation are registered (never owned).
class ZEL_ERROR_API ProgressProvider {
 public:
  /// The progress of the whole operation, from 0 to 1.
  virtual float getProgress() const = 0;
  /// Fills the predicted step's weight and estimate; false when none is in force.
  virtual bool getProgressPrediction(float& weight, float& estimate) const = 0;
  /// The name of the running operation or predicted step.
  virtual std::string const& getOperationName() const = 0;
  /// The text last set with AnimationProgressReporter::setAnimationProgress().
  virtual std::string const& getAnimationProgress() = 0;
  /// Adds a processor called at each report; never owned.
  virtual void registerMidOpProcessor(MidOpProcessor* processor) = 0;
  /// Removes the processor; it is not called again.
  virtual void unregisterMidOpProcessor(MidOpProcessor* processor) = 0;
};

}  // namespace zel
