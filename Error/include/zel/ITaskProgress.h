// Step-wise progress of a task divided into entries: start an entry (by name
// or index) with its number of increments, count increments, go on with the
// next entry. ProgressTracker is the implementation.
#pragma once

#include <cstddef>
#include <string>

#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API ITaskProgress {
 public:
  ITaskProgress() = default;
  ITaskProgress(const ITaskProgress&) = default;
  ITaskProgress& operator=(const ITaskProgress&) = default;
  virtual ~ITaskProgress();

  virtual void nextStep(int increments) = 0;
  virtual void start(std::string const& name, int increments) = 0;
  virtual void start(std::size_t index, int increments) = 0;
  virtual void setTotalIncrements(std::string const& name, int total) = 0;
  virtual void setTotalIncrements(std::size_t index, int total) = 0;
  virtual void setNumIncrements(int total) = 0;
  virtual void increment() = 0;
  virtual void operator++() = 0;
  virtual void operator++(int) = 0;
  virtual void operator+=(int count) = 0;
};

}  // namespace zel
