#pragma once

#include <deque>
#include <string>

#include <zel/Export.h>

namespace zel {

/// The progress state of one reporter: running or stopped, the operation name,
/// the overall progress, a stack of weighted sub-operations, an optional upper
/// bound and a prediction of the next step. All arithmetic is in float.
///
/// setProgress(p) maps p within the innermost sub-operation onto the whole:
/// progress = p × (product of open weights) + (progress where it opened).
/// While stopped, pushWeight, popWeight and setProgress do nothing. Misuse
/// throws (class "ProgressHandler", typeError); see each operation.
///
/// Any weight is accepted; one that is not a finite number (NaN, ±inf) counts
/// as 0, on the stack and in a prediction. The scale (the product of the open
/// weights) stays finite: a product beyond the float range stays at ±FLT_MAX,
/// one below the normal range (under 1.2e-38) counts as 0. Each pop restores
/// the scale of the remaining weights, recomputing it from them when dividing
/// the closed weight out cannot (a weight of 0, a product that underflowed or
/// saturated); back at the top level it is exactly 1.
class ZEL_ERROR_API ProgressHandler {
 public:
  /// Stopped, without a name, progress 0, nothing pushed, unbounded.
  ProgressHandler();
  ProgressHandler(const ProgressHandler& other);  ///< Copies `other`.
  ProgressHandler& operator=(const ProgressHandler& other);  ///< Assigns a copy of `other`.
  /// Releases the stacks.
  virtual ~ProgressHandler();

  /// False, changing nothing, when reporting is running already.
  bool startProgress();
  /// Throws internal::error (method "startProgress") when not running.
  void stopProgress();
  /// Throws data::invalid for an empty name.
  void setOperationName(std::string const& name);
  /// The name set last, or the predicted step's name.
  std::string const& getOperationName() const;
  /// Throws internal::badParam while running without an operation name.
  void pushWeight(float weight);
  /// Throws internal::overflow while running with nothing pushed. The progress
  /// stays where it was.
  void popWeight();
  /// Ends a prediction; throws internal::badParam while running without a name.
  void setProgress(float progress);
  /// The progress of the whole, from 0 to 1.
  float getProgress() const;
  /// Limits the next setProgress to 0 ... upperBound while bounded.
  void imposeBounds(bool bounded, float upperBound);
  /// Names the step, opens its sub-operation, and records the prediction when
  /// the estimate is positive. Needs a current operation name.
  void predictProgress(std::string const& name, float weight, float estimate);
  /// Completes the predicted step and closes its sub-operation.
  void cancelPrediction();
  /// Fills the predicted step's weight and estimate; false without a prediction.
  bool getProgressPrediction(float& weight, float& estimate) const;
  /// True while a sub-operation is open.
  bool isSubOperation() const;

 private:
  std::string m_operationName;
  float m_progress;
  float m_upperBound;
  std::deque<float> m_weights;
  std::deque<float> m_offsets;
  float m_scale;
  bool m_subOperation;
  bool m_started;
  bool m_bounded;
  bool m_predicting;
  float m_predictedWeight;
  float m_predictedEstimate;
};

}  // namespace zel
