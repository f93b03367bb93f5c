#pragma once

#include <set>
#include <string>

#include <zel/Export.h>
#include <zel/ProgressHandler.h>
#include <zel/ProgressReporterImpl.h>

namespace zel {

/// The progress reporter an application installs with
/// ProgressTracker::setReporter(). It keeps the state in a ProgressHandler,
/// reports a fraction outside 0 ... 1 as a typeWarning message (and applies it),
/// and after each progress report or prediction calls the registered
/// processors in address order. A processor returning 1 interrupts the
/// operation with Interrupt, or, in the soft abort mode, is recorded for
/// isAborted().
///
/// The reporter does not uninstall itself: install a null pointer before
/// destroying it. Processors are never owned.
class ZEL_ERROR_API ApplicationProgressReporterImpl
    : public ProgressReporterImpl {
 public:
  /// Stopped, without processors, in the normal abort mode.
  ApplicationProgressReporterImpl();
  /// Copies `other`.
  ApplicationProgressReporterImpl(const ApplicationProgressReporterImpl& other);
  /// Moves from `other`.
  ApplicationProgressReporterImpl(ApplicationProgressReporterImpl&& other);
  /// Assigns a copy of `other`.
  ApplicationProgressReporterImpl& operator=(
      const ApplicationProgressReporterImpl& other);
  /// Moves `other` into this object.
  ApplicationProgressReporterImpl& operator=(
      ApplicationProgressReporterImpl&& other);
  /// Leaves the processors to their owners; does not uninstall itself.
  ~ApplicationProgressReporterImpl() override;

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
  std::string const& getOperationName() const override;
  std::string const& getAnimationProgress() override;
  void registerMidOpProcessor(MidOpProcessor* processor) override;
  void unregisterMidOpProcessor(MidOpProcessor* processor) override;

  bool isAborted() const override;
  void setSoftAbortMode(bool soft) override;

  void imposeBounds(bool bounded, float upperBound) override;

 private:
  void yieldControl();

  ProgressHandler m_handler;
  std::set<MidOpProcessor*> m_processors;
  std::string m_animationProgress;
  bool m_aborted;
  bool m_softAbort;
};

}  // namespace zel
