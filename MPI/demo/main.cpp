// zel-demo-mpi: the demo's simulation run by every rank of an MPI job, with one
// progress bar for the whole job on rank 0 (the console display), a cancel that stops every rank
// together, and the reports of all ranks shown once by rank 0.
//
//   mpirun -np 4 zel-demo-mpi [--fast] [--steps N] [--interrupt-at P] [--lang CODE]
//
// Read it as the guide to the MPI companion: the exchange is made after the
// reporters are installed, every rank leaves its work at the same meeting
// point (agreeOnInterrupt), and the reports are gathered before the exchange
// is closed and MPI finalised.
#include <mpi.h>
#include <zel/ZELError.h>
#include <zel/mpi/MessageGathering.h>
#include <zel/mpi/ProgressExchange.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "AnalysisBudget.h"
#include "DemoOptions.h"
#include "JobProgressLine.h"
#include "Simulation.h"

namespace {

using zel::UserMsg;

constexpr int kExitInterrupted = 130;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: mpirun -np N zel-demo-mpi [options]\n"
    "  --lang CODE         language of the texts (e.g. de_DE)\n"
    "  --steps N           increments per work step of each rank (default 200)\n"
    "  --fast              no artificial delay\n"
    "  --interrupt-at P    rank 0 interrupts the job once it reaches P (0 to 1)\n"
    "  --help              show this text\n";

void onSignal(int) { demo::JobProgressLine::s_signalled = 1; }

void reportInterrupt() {
  const char* text = "Interrupted by the user.";
  zel::ErrorReporter::instance()->reportError(zel::ErrorMsg(
      "zel-demo", "main", UserMsg(text, nullptr).str() + UserMsg::getDelimiterToken() + text,
      zel::typeInterrupt));
}

// Prints the gathered messages under their translated headings, severity by
// severity, each once.
void printGathered(zel::OutputMessageQueue& queue) {
  const std::pair<zel::errorType, const char*> sections[] = {
      {zel::typeSevere, "Severe errors"}, {zel::typeInternalError, "Internal errors"},
      {zel::typeError, "Errors"},         {zel::typeWarning, "Warnings"},
      {zel::typeInterrupt, "Interrupts"}, {zel::typeNotice, "Notices"}};
  std::map<zel::errorType, std::vector<std::string>> bySeverity;
  for (; !queue.empty(); queue.pop()) bySeverity[queue.getSeverity()].push_back(queue.getText());
  for (const auto& [severity, heading] : sections) {
    const auto found = bySeverity.find(severity);
    if (found == bySeverity.end()) continue;
    std::cout << '\n' << UserMsg(heading, nullptr).str() << ":\n";
    for (std::string text : found->second) {
      for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        text.insert(at + 1, "    ");
      std::cout << "  - " << text << '\n';
    }
  }
}

int run(int argc, char** argv, int rank) {
  demo::DemoOptions options;
  try {
    options = demo::parseOptions(argc, argv);
  } catch (const std::invalid_argument& e) {
    if (rank == 0) std::cerr << "zel-demo-mpi: " << e.what() << "\n\n" << kUsage;
    return kExitUsage;
  }
  if (options.help) {
    if (rank == 0) std::cout << kUsage;
    return 0;
  }

  // ---- Start-up, as in zel-demo, on every rank ----------------------------
  if (std::getenv("ZEL_TOP_DATA_DIR") == nullptr) {
    ::setenv("ZEL_TOP_DATA_DIR", ZEL_DEMO_DATA_DIR, 1);
  }
  if (options.language) ::setenv("QEN_LANGUAGE", options.language->c_str(), 1);
  std::string language;
  try {
    language = zel::TranslationManager::initialize();
    zel::TranslationManager::requirePackageDictionary("ZELError");
    zel::TranslationManager::requirePackageDictionary("ZELDemo");
  } catch (const zel::Error& e) {
    std::cerr << "zel-demo-mpi: " << e.getMessage() << '\n';
    return 1;
  }

  zel::ApplicationErrorReporterImpl errors;
  zel::ErrorReporter::instance(&errors);
  zel::ApplicationProgressReporterImpl progress;
  progress.setSoftAbortMode(options.softAbort);
  zel::ProgressTracker::setReporter(&progress);

  // The exchange registers itself with this rank's reporter; the job's bar is
  // a processor of its own.
  zel::mpi::ProgressExchange exchange(MPI_COMM_WORLD, progress);
  demo::JobProgressLine line(exchange, options.interruptAt);
  progress.registerMidOpProcessor(&line);
  // mpirun passes Ctrl-C on to every rank as SIGTERM.
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  if (exchange.isRoot()) {
    std::cout << UserMsg("Engineering demo", nullptr).str() << " (" << language << ", "
              << exchange.size() << " ranks)" << std::endl;
  }

  demo::AnalysisBudgetBuilder builder;
  zel::ProgressBudgetDirector director;
  director.setBuilder(&builder);
  std::unique_ptr<zel::ProgressBudget> budget(director.constructBudget());

  // ---- Running -------------------------------------------------------------
  bool interruptedHere = false;
  try {
    const demo::SimulationSettings settings{options.steps, options.fast};
    interruptedHere = !demo::runSimulation(settings, *budget, progress, progress);
    if (!interruptedHere) exchange.markFinished();
  } catch (const zel::Interrupt&) {
    interruptedHere = true;
  }
  if (interruptedHere) exchange.requestInterrupt();  // the others stop too
  if (exchange.isRoot()) {
    // Rank 0 keeps the bar going until every rank is done or the job stops.
    while (!exchange.interruptRequested() && exchange.jobProgress() < 1.0f) {
      line.poll();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  line.finish();

  // Every rank meets here, finished or interrupted: nobody waits in vain.
  const bool stopped = exchange.agreeOnInterrupt(interruptedHere);
  if (stopped) reportInterrupt();

  // ---- Shutdown ------------------------------------------------------------
  zel::OutputMessageQueue queue;
  zel::mpi::gatherMessageQueue(errors, zel::allTypes, queue, MPI_COMM_WORLD);
  if (exchange.isRoot()) {
    printGathered(queue);
    std::cout << '\n' << UserMsg("Done.", nullptr).str() << '\n';
  }
  progress.unregisterMidOpProcessor(&line);
  exchange.close();
  zel::ProgressTracker::setReporter(nullptr);
  zel::ProgressFunction::setBudget(nullptr);
  static zel::NullErrorReporterImpl discardReports;
  zel::ErrorReporter::instance(&discardReports);
  return stopped ? kExitInterrupted : 0;
}

}  // namespace

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  const int exitCode = run(argc, argv, rank);
  MPI_Finalize();
  return exitCode;
}
