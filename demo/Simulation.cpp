#include "Simulation.h"

#include <chrono>
#include <thread>

#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressOperation.h>
#include <zel/ProgressTracker.h>
#include <zel/StartProgress.h>
#include <zel/UserMsg.h>

#include "AnalysisBudget.h"

namespace demo {
namespace {

using zel::ErrorMsg;
using zel::ErrorReporter;
using zel::UserMsg;

// A message for the user and the log at once: the translated text, the
// delimiter, then the source text, both with their values filled in.
std::string userAndLogText(UserMsg message) {
  return message.str() + UserMsg::getDelimiterToken() + message.source();
}

void report(const char* className, const char* method, const UserMsg& message,
            zel::errorType type) {
  // Every report goes through the process-wide front, fetched anew each time.
  ErrorReporter::instance()->reportError(
      ErrorMsg(className, method, userAndLogText(message), type));
}

class Work {
 public:
  Work(const SimulationSettings& settings, zel::ProgressAbortMode& abortMode)
      : m_settings(settings), m_abortMode(abortMode) {}

  // One unit of simulated work; false when the user asked to stop (soft mode).
  bool unit() {
    if (!m_settings.fast) std::this_thread::sleep_for(std::chrono::microseconds(m_delayUs));
    return !m_abortMode.isAborted();
  }
  // Spreads about three seconds over the whole run.
  void setDelay(int units) { m_delayUs = 3'000'000 / (units > 0 ? units : 1); }

 private:
  const SimulationSettings& m_settings;
  zel::ProgressAbortMode& m_abortMode;
  int m_delayUs = 0;
};

// Counts `steps` increments on the started entry of the tracker.
bool count(zel::ProgressTracker& tracker, int steps, Work& work) {
  for (int i = 0; i < steps; ++i) {
    if (!work.unit()) return false;
    tracker.increment();
  }
  return true;
}

}  // namespace

bool runSimulation(const SimulationSettings& settings, zel::ProgressBudget& budget,
                   zel::ProgressPredictor& predictor, zel::ProgressAbortMode& abortMode) {
  const int n = settings.steps;
  Work work(settings, abortMode);
  work.setDelay(5 * n);

  // The analysis is the current operation: the budget weighs its functions.
  budget.setCurrentOperation(zel::ProgressOperation(kAnalysis));

  // The outermost tracker starts progress reporting and stops it when it goes.
  // Its entries are the budget's functions, with the budget's labels and weights.
  zel::ProgressTracker analysis(UserMsg("Engineering demo", nullptr).str(), true);
  for (int function : {kLoadMesh, kAssemble, kSolve, kWriteResults}) {
    analysis.add(zel::ProgressFunction(function, 1));
  }

  // 1. Load the mesh, finding some degenerate elements.
  analysis.start(std::size_t{0}, n);
  if (!count(analysis, n, work)) return false;
  report("MeshReader", "read",
         UserMsg("Mesh file %1 has %2 degenerate elements.", nullptr).arg("wing.msh").arg(3),
         zel::typeWarning);

  // 2. Assemble. An element counter that overshoots reports a fraction above 1:
  // the reporter warns and carries on.
  analysis.nextStep(n);
  if (!count(analysis, n / 2, work)) return false;
  report("Assembler", "assemble",
         UserMsg("Element %1 has a negative Jacobian.", nullptr).arg(1742),
         zel::typeInternalError);
  if (!count(analysis, n - n / 2, work)) return false;
  analysis.setProgress(1.05f, true);

  // 3. Solve: a factorisation with a predicted duration, then iterations
  // counted by an inner tracker, which does not own the reporting.
  analysis.nextStep(0);
  predictor.predictProgress(UserMsg("Factorise", nullptr).str(), 0.3f,
                            settings.fast ? 0.1f : 1.0f);
  for (int i = 0; i < n; ++i) {
    if (!work.unit()) return false;
  }
  predictor.cancelPrediction();  // completes the predicted step and closes it
  {
    zel::ProgressTracker iterations(UserMsg("Iterate", nullptr).str(), true);
    iterations.add(UserMsg("Iterate", nullptr).str(), 0.7f, 2 * n);  // the rest of Solve
    iterations.start(std::size_t{0}, 2 * n);
    if (!count(iterations, 2 * n, work)) return false;
  }
  for (int i = 0; i < 2; ++i) {
    report("Solver", "iterate",
           UserMsg("Residual %1 exceeds the tolerance.", nullptr).arg(0.00125f),
           zel::typeWarning);  // the same warning twice: shown once
  }
  report("Solver", "iterate",
         UserMsg("Solver did not converge after %1 iterations.", nullptr).arg(2 * n),
         zel::typeError);

  // 4. Write the results: three functions of the output operation, each
  // accounted by a start-progress guard when its scope ends.
  analysis.nextStep(0);
  budget.setCurrentOperation(zel::ProgressOperation(kOutput));
  for (int function : {kWriteMesh, kWriteFields, kWriteSummary}) {
    zel::StartProgress guard(function, 1);
    for (int i = 0; i < n / 2; ++i) {
      if (!work.unit()) return false;
    }
  }
  return true;
}

}  // namespace demo
