#pragma once

#include <string>

#include <zel/Export.h>

namespace zel {

/// What working code calls to report progress. The usual pattern:
///
///   if (r.startProgress()) { ...; r.stopProgress(); }  // only the starter stops
///   r.setOperationName("Solve");                        // before weights/reports
///   r.pushWeight(0.4f); r.reportProgress(0.5f); r.popWeight();
///
/// reportProgress(p) gives p from 0 to 1 within the innermost sub-operation;
/// the reporter maps it onto the whole. reportProgress may throw Interrupt when
/// the application asks to interrupt the operation.
///
/// The destructor is protected and not virtual: a reporter is never deleted
/// through this interface. Used from one thread at a time.
class ZEL_ERROR_API ProgressReporting {
 public:
  /// An interface without data.
  constexpr ProgressReporting() = default;
  ProgressReporting(const ProgressReporting&) = default;  ///< Copies the object.
  ProgressReporting& operator=(const ProgressReporting&) = default;  ///< Assigns a copy.

  /// Reports the fraction `progress` (0 to 1) of the innermost sub-operation;
  /// may throw Interrupt.
  virtual void reportProgress(float progress) = 0;
  /// Names the running operation (the name a progress display shows).
  virtual void setOperationName(std::string const& name) = 0;
  /// Opens a sub-operation worth `weight` of the enclosing one.
  virtual void pushWeight(float weight) = 0;
  /// Closes the innermost sub-operation.
  virtual void popWeight() = 0;
  /// True when this call started reporting, false when it was running already.
  virtual bool startProgress() = 0;
  /// Stops reporting; called by the code whose startProgress() returned true.
  virtual void stopProgress() = 0;

 protected:
  ~ProgressReporting() = default;
};

}  // namespace zel
