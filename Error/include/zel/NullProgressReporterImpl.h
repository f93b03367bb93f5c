#pragma once

#include <string>

#include <zel/Export.h>
#include <zel/ProgressReporterImpl.h>

namespace zel {

/// A progress reporter that ignores everything: startProgress() is always true,
/// the progress 0.0, no abort, and getProgressPrediction() returns true leaving
/// its arguments as they were. Trackers fall back to a process-wide one while
/// no reporter is installed; it is usable from static constructors.
class ZEL_ERROR_API NullProgressReporterImpl : public ProgressReporterImpl {
 public:
  /// A reporter that ignores everything.
  constexpr NullProgressReporterImpl() = default;
  NullProgressReporterImpl(const NullProgressReporterImpl&) = default;  ///< Copies the object.
  NullProgressReporterImpl(NullProgressReporterImpl&&) = default;  ///< Moves from the object.
  /// Assigns a copy.
  NullProgressReporterImpl& operator=(const NullProgressReporterImpl&) = default;
  /// Moves into this object.
  NullProgressReporterImpl& operator=(NullProgressReporterImpl&&) = default;
  /// Nothing to release.
  ~NullProgressReporterImpl() override;

  void reportProgress(float progress) override;
  void setOperationName(std::string const& name) override;
  void pushWeight(float weight) override;
  void popWeight() override;
  bool startProgress() override;
  void stopProgress() override;

  void setAnimationProgress(std::string const& text) override;

  void predictProgress(ProgressFunction const& function,
                       float estimate) override;
  void predictProgress(std::string const& name, float weight,
                       float estimate) override;
  void cancelPrediction() override;

  float getProgress() const override;
  bool getProgressPrediction(float& weight, float& estimate) const override;
  /// Both return the same empty string, shared by every null reporter.
  std::string const& getOperationName() const override;
  std::string const& getAnimationProgress() override;
  void registerMidOpProcessor(MidOpProcessor* processor) override;
  void unregisterMidOpProcessor(MidOpProcessor* processor) override;

  bool isAborted() const override;
  void setSoftAbortMode(bool soft) override;

  void imposeBounds(bool bounded, float upperBound) override;

  /// The process-wide null reporter; constant-initialised.
  static NullProgressReporterImpl& processWide();
};

}  // namespace zel
