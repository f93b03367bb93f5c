#include <zel/ITaskProgress.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressTracker.h>
#include <zel/StartProgress.h>

#include "CaughtException.h"

namespace zel {

bool StartProgress::s_enabled = true;

StartProgress::StartProgress(int function, int reentries) : m_tracker(nullptr) {
  if (!s_enabled) return;
  // The tracker starts reporting if none runs and holds one entry for the
  // function; the entry is started only when the scope ends.
  m_tracker = new ProgressTracker(ProgressFunction(function, reentries), true);
}

StartProgress::~StartProgress() {
  if (m_tracker == nullptr) return;
  try {
    // Starts the function's entry; deleting the tracker then completes it,
    // so the enclosing progress moves on by the function's weight.
    static_cast<ITaskProgress*>(m_tracker)->nextStep(0);
  } catch (...) {
    reportCaughtException();
  }
  delete m_tracker;
}

void StartProgress::disable(bool off) { s_enabled = !off; }

}  // namespace zel
