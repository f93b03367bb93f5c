#pragma once

#include <cstddef>
#include <string>

#include <zel/Export.h>

namespace zel {

/// Step-wise progress of a task divided into entries: start an entry (by name
/// or index) with its number of increments, count increments, go on with the
/// next entry. ProgressTracker is the implementation.
class ZEL_ERROR_API ITaskProgress {
 public:
  /// An interface without data.
  ITaskProgress() = default;
  ITaskProgress(const ITaskProgress&) = default;  ///< Copies the object.
  ITaskProgress& operator=(const ITaskProgress&) = default;  ///< Assigns a copy.
  /// Deletes an implementation through the interface.
  virtual ~ITaskProgress();

  /// Completes the started entry and starts the next one with `increments`.
  virtual void nextStep(int increments) = 0;
  /// Starts the entry named `name`, to be completed in `increments` steps.
  virtual void start(std::string const& name, int increments) = 0;
  /// Starts the entry at `index`, to be completed in `increments` steps.
  virtual void start(std::size_t index, int increments) = 0;
  /// Sets the number of increments of the entry named `name`.
  virtual void setTotalIncrements(std::string const& name, int total) = 0;
  /// Sets the number of increments of the entry at `index`.
  virtual void setTotalIncrements(std::size_t index, int total) = 0;
  /// Sets the number of increments of the started entry.
  virtual void setNumIncrements(int total) = 0;
  /// Counts one increment of the started entry.
  virtual void increment() = 0;
  /// Counts one increment, as increment() does.
  virtual void operator++() = 0;
  /// Counts one increment, as increment() does.
  virtual void operator++(int) = 0;
  /// Counts `count` increments.
  virtual void operator+=(int count) = 0;
};

}  // namespace zel
