// Announces the next step with its weight and an estimate; the reporter hands
// the prediction back through ProgressProvider until the next progress report.
// Both predictProgress and cancelPrediction may throw Interrupt.
#pragma once

#include <string>

#include <zel/Export.h>

namespace zel {

class ProgressFunction;

class ZEL_ERROR_API ProgressPredictor {
 public:
  constexpr ProgressPredictor() = default;
  ProgressPredictor(const ProgressPredictor&) = default;
  ProgressPredictor& operator=(const ProgressPredictor&) = default;

  // The step is the function's label and weight.
  virtual void predictProgress(ProgressFunction const& function,
                               float estimate) = 0;
  virtual void predictProgress(std::string const& name, float weight,
                               float estimate) = 0;
  virtual void cancelPrediction() = 0;

 protected:
  ~ProgressPredictor() = default;
};

}  // namespace zel
