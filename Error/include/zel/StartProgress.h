// A scope guard for one function of the budget in force: construction makes
// sure progress reporting runs, destruction accounts the function's weight in
// the current operation as done.
//
//   { StartProgress guard(kAssemble, 1);  ... work ... }
//
// StartProgress::disable(true) switches all guards built afterwards off.
#pragma once

#include <zel/Export.h>

namespace zel {

class ProgressTracker;

class ZEL_ERROR_API StartProgress {
 public:
  StartProgress(int function, int reentries);
  StartProgress(const StartProgress&) = delete;
  StartProgress& operator=(const StartProgress&) = delete;
  // Never throws: failures are reported as "Caught exception".
  ~StartProgress();

  // disable(true) switches guards off, disable(false) on; read at construction.
  static void disable(bool off);

 private:
  ProgressTracker* m_tracker;
  static bool s_enabled;
};

}  // namespace zel
