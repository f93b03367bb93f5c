#pragma once

#include <zel/AnimationProgressReporter.h>
#include <zel/Export.h>
#include <zel/ProgressAbortMode.h>
#include <zel/ProgressBoundsControl.h>
#include <zel/ProgressPredictor.h>
#include <zel/ProgressProvider.h>
#include <zel/ProgressReporting.h>

namespace zel {

/// The six progress interfaces joined, in this order, so that a reporter begins
/// with its ProgressReporting part: a ProgressReporterImpl* and a
/// ProgressReporting* to one reporter are the same address. Reporters are
/// deleted through this class or their own.
class ZEL_ERROR_API ProgressReporterImpl : public ProgressReporting,
                                           public AnimationProgressReporter,
                                           public ProgressPredictor,
                                           public ProgressProvider,
                                           public ProgressAbortMode,
                                           public ProgressBoundsControl {
 public:
  constexpr ProgressReporterImpl() = default;
  ProgressReporterImpl(const ProgressReporterImpl&) = default;  ///< Copies the object.
  ProgressReporterImpl& operator=(const ProgressReporterImpl&) = default;  ///< Assigns a copy.
  /// The seventh slot of the ProgressReporting table.
  virtual ~ProgressReporterImpl();
};

}  // namespace zel
