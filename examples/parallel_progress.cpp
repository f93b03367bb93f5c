// Progress and error reports from a pool of worker threads.
//
//   parallel_progress [--threads N] [--interrupt-at P]
//
// The main thread installs the reporters, starts a ParallelProgress and the
// workers; the workers assemble "elements", count each one and report a
// warning for every element that looks degenerate. The reporter's processor
// draws the progress: it runs on whichever worker makes a report, one at a
// time. With --interrupt-at P the processor asks for an interrupt once the
// progress reaches P, as a Ctrl-C handler would; every worker sees
// cancelled() at its next element, and finish() throws the Interrupt here, on
// the main thread (exit code 130).
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/Interrupt.h>
#include <zel/MidOpProcessor.h>
#include <zel/NullErrorReporterImpl.h>
#include <zel/OutputMessageQueue.h>
#include <zel/ParallelProgress.h>
#include <zel/ProgressTracker.h>
#include <zel/SynchronizedErrorReporter.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

// Draws a line per tenth of progress. Called on a worker thread, never on two
// at once, so it needs no lock of its own.
class ProgressLine final : public zel::MidOpProcessor {
 public:
  ProgressLine(zel::ApplicationProgressReporterImpl& reporter, float interruptAt)
      : m_reporter(reporter), m_interruptAt(interruptAt) {}

  int process() override {
    const float progress = m_reporter.getProgress();
    const int tenth = static_cast<int>(progress * 10.0f);
    if (tenth > m_lastTenth) {
      m_lastTenth = tenth;
      std::cout << "[" << tenth * 10 << "%] " << m_reporter.getOperationName() << "\n";
    }
    return progress >= m_interruptAt ? 1 : 0;  // 1 asks for an interrupt
  }

 private:
  zel::ApplicationProgressReporterImpl& m_reporter;
  float m_interruptAt;
  int m_lastTenth = -1;
};

// Stands for the work on one element; every 9973rd one is degenerate.
double assemble(long long element) {
  double sum = 0.0;
  for (int k = 1; k <= 50; ++k) sum += std::sqrt(static_cast<double>(element * k + 1));
  if (element % 9973 == 0) {
    zel::ErrorReporter::instance()->reportError(
        zel::ErrorMsg("Assembler", "assemble",
                      "Element " + std::to_string(element) + " is degenerate.",
                      zel::typeWarning));
  }
  return sum;
}

}  // namespace

int main(int argc, char** argv) {
  int threads = 4;
  float interruptAt = 2.0f;  // never
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--threads") threads = std::atoi(argv[i + 1]);
    if (option == "--interrupt-at") interruptAt = std::strtof(argv[i + 1], nullptr);
  }

  // Start-up, before any worker runs: the error reporter behind a mutex, the
  // progress reporter with its processor.
  zel::ApplicationErrorReporterImpl errors;
  zel::SynchronizedErrorReporter synchronizedErrors(errors);
  zel::ErrorReporter::instance(&synchronizedErrors);
  zel::ApplicationProgressReporterImpl progressReporter;
  ProgressLine line(progressReporter, interruptAt);
  progressReporter.registerMidOpProcessor(&line);
  zel::ProgressTracker::setReporter(&progressReporter);

  const long long elements = 200000;
  int exitCode = 0;
  {
    zel::ParallelProgress progress("Assemble", elements);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&progress, t, threads, elements] {
        double sum = 0.0;
        for (long long e = t; e < elements; e += threads) {
          if (progress.cancelled()) break;
          sum += assemble(e);
          progress.increment();
        }
        (void)sum;
      });
    }
    for (std::thread& worker : workers) worker.join();
    try {
      progress.finish();
      std::cout << "Assembled " << progress.count() << " elements.\n";
    } catch (const zel::Interrupt&) {
      std::cout << "Interrupted after " << progress.count() << " of " << elements
                << " elements.\n";
      exitCode = 130;
    }
  }

  // The workers are done: the stored warnings, de-duplicated.
  zel::OutputMessageQueue warnings;
  synchronizedErrors.takeMessageQueue(zel::typeWarning, warnings);
  for (; !warnings.empty(); warnings.pop()) std::cout << "Warning: " << warnings.getText() << "\n";

  // Shutdown: uninstall before the reporters go.
  zel::ProgressTracker::setReporter(nullptr);
  progressReporter.unregisterMidOpProcessor(&line);
  static zel::NullErrorReporterImpl discardReports;
  zel::ErrorReporter::instance(&discardReports);
  return exitCode;
}
