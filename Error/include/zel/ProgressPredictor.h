#pragma once

#include <string>

#include <zel/Export.h>

namespace zel {

class ProgressFunction;

/// Announces the next step with its weight and an estimate; the reporter hands
/// the prediction back through ProgressProvider until the next progress report.
/// Both predictProgress and cancelPrediction may throw Interrupt.
class ZEL_ERROR_API ProgressPredictor {
 public:
  /// An interface without data.
  constexpr ProgressPredictor() = default;
  ProgressPredictor(const ProgressPredictor&) = default;  ///< Copies the object.
  ProgressPredictor& operator=(const ProgressPredictor&) = default;  ///< Assigns a copy.

  /// The step is the function's label and weight.
  virtual void predictProgress(ProgressFunction const& function,
                               float estimate) = 0;
  /// The step is named `name` and worth `weight`; `estimate` is its expected
  /// duration in seconds.
  virtual void predictProgress(std::string const& name, float weight,
                               float estimate) = 0;
  /// Completes the predicted step and ends the prediction.
  virtual void cancelPrediction() = 0;

 protected:
  ~ProgressPredictor() = default;
};

}  // namespace zel
