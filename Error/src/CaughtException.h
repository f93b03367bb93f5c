// What a tracker's or a start-progress guard's destructor does with an
// exception it caught: destructors never throw, so the failure is handed to
// the error reporter front as the one "Caught exception" record.
#pragma once

#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/SystemMsg.h>

namespace zel {

// Reports the caught failure; a failure of the report itself is swallowed,
// as the caller is a destructor.
inline void reportCaughtException() noexcept {
  try {
    ErrorReporter::instance()->reportError(
        ErrorMsg("ProgressTracker", "~ProgressTracker",
                 SystemMsg("Caught exception").str(), typeUnspecified));
  } catch (...) {
  }
}

}  // namespace zel
