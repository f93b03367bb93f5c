#pragma once

#include <zel/Export.h>

namespace zel {

class ProgressTracker;

/// A scope guard for one function of the budget in force: construction makes
/// sure progress reporting runs, destruction accounts the function's weight in
/// the current operation as done.
///
///   { StartProgress guard(kAssemble, 1);  ... work ... }
///
/// StartProgress::disable(true) switches all guards built afterwards off.
class ZEL_ERROR_API StartProgress {
 public:
  /// Guards the budget's function `function`, entered `reentries` times;
  /// starts reporting if none runs.
  StartProgress(int function, int reentries);
  StartProgress(const StartProgress&) = delete;  ///< Copies the object.
  StartProgress& operator=(const StartProgress&) = delete;  ///< Assigns a copy.
  /// Never throws: failures are reported as "Caught exception".
  ~StartProgress();

  /// disable(true) switches guards off, disable(false) on; read at construction.
  static void disable(bool off);

 private:
  ProgressTracker* m_tracker;
  static bool s_enabled;
};

}  // namespace zel
