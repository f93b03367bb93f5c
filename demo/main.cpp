// zel-demo: a small engineering application built on libZELError. Read it top
// to bottom as the guide to adopting the library: start-up, running and
// shutdown, in that order.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>

#include <zel/ZELError.h>

#include "AnalysisBudget.h"
#include "DemoOptions.h"
#include "Simulation.h"
#include "TerminalProgressBar.h"

namespace {

using zel::UserMsg;

constexpr int kExitInterrupted = 130;
constexpr int kExitUsage = 2;

// Tags each stored message with the number of the step that reported it, so
// that a user interface could group them.
class StepTagProvider : public zel::ErrorTagIF {
 public:
  zel::ErrorTag::ErrorTagType currentTag() const override {
    return static_cast<zel::ErrorTag::ErrorTagType>(1);
  }
};

// The user's text before the delimiter, the log's after it.
void reportInterrupt() {
  const char* text = "Interrupted by the user.";
  zel::ErrorReporter::instance()->reportError(
      zel::ErrorMsg("zel-demo", "main",
                    UserMsg(text, nullptr).str() + UserMsg::getDelimiterToken() + text,
                    zel::typeInterrupt));
}

void onInterruptSignal(int) { demo::TerminalProgressBar::s_interruptRequested = 1; }

// Prints the stored reports, severity by severity, each under its translated
// heading. One queue serves every take, so no message is shown twice.
void printReports(zel::ErrorReportProvider& reports) {
  struct Section {
    zel::errorType severity;
    const char* heading;
  };
  const Section sections[] = {
      {zel::typeSevere, "Severe errors"},     {zel::typeInternalError, "Internal errors"},
      {zel::typeError, "Errors"},             {zel::typeWarning, "Warnings"},
      {zel::typeInterrupt, "Interrupts"},     {zel::typeNotice, "Notices"}};
  zel::OutputMessageQueue queue;
  for (const Section& section : sections) {
    if (!reports.hasMessages(section.severity)) continue;
    reports.takeMessageQueue(section.severity, queue);
    std::cout << '\n' << UserMsg(section.heading, nullptr).str() << ":\n";
    for (; !queue.empty(); queue.pop()) {
      // Internal errors carry a heading line: indent every line.
      std::string text = queue.getText();
      for (std::size_t at = text.find('\n'); at != std::string::npos;
           at = text.find('\n', at + 1)) {
        text.insert(at + 1, "    ");
      }
      std::cout << "  - " << text << '\n';
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  demo::DemoOptions options;
  try {
    options = demo::parseOptions(argc, argv);
  } catch (const std::invalid_argument& e) {
    std::cerr << "zel-demo: " << e.what() << "\n\n" << demo::kUsage;
    return kExitUsage;
  }
  if (options.help) {
    std::cout << demo::kUsage;
    return 0;
  }

  // ---- Start-up ----------------------------------------------------------

  // 1. Translation: the data directory holds one .trx file per package. The
  //    demo uses its shipped dictionaries unless the user named a directory.
  if (std::getenv("ZEL_TOP_DATA_DIR") == nullptr) {
    ::setenv("ZEL_TOP_DATA_DIR", ZEL_DEMO_DATA_DIR, 1);
  }
  if (options.language) ::setenv("QEN_LANGUAGE", options.language->c_str(), 1);
  try {
    const std::string language = zel::TranslationManager::initialize();
    zel::TranslationManager::requirePackageDictionary("ZELError");
    zel::TranslationManager::requirePackageDictionary("ZELDemo");
    std::cout << UserMsg("Engineering demo", nullptr).str() << " (" << language << ")\n";
  } catch (const zel::Error& e) {
    std::cerr << "zel-demo: " << e.getMessage() << '\n';
    return 1;
  }

  // 2. Error reporting: install the application's reporter behind the
  //    process-wide front. The reporter owns the tag provider.
  zel::ApplicationErrorReporterImpl errors;
  errors.registerErrorTagIF(new StepTagProvider);
  if (options.verbose) errors.setVerboseMode(true);
  zel::ErrorReporter::instance(&errors);

  // 3. Progress reporting: install the reporter for every tracker and guard,
  //    and register the processor that draws the bar and passes interrupts on.
  zel::ApplicationProgressReporterImpl progress;
  progress.setSoftAbortMode(options.softAbort);
  zel::ProgressTracker::setReporter(&progress);
  demo::TerminalProgressBar bar(progress, ::isatty(STDOUT_FILENO) != 0, options.interruptAt);
  progress.registerMidOpProcessor(&bar);
  std::signal(SIGINT, onInterruptSignal);

  // 4. The progress budget: the director runs the builder and puts the budget
  //    in force; the application owns it.
  demo::AnalysisBudgetBuilder builder;
  zel::ProgressBudgetDirector director;
  director.setBuilder(&builder);
  std::unique_ptr<zel::ProgressBudget> budget(director.constructBudget());

  // ---- Running -----------------------------------------------------------

  int exitCode = 0;
  try {
    const demo::SimulationSettings settings{options.steps, options.fast};
    if (!demo::runSimulation(settings, *budget, progress, progress)) {
      // Soft abort: the work saw isAborted() and stopped cleanly.
      reportInterrupt();
      exitCode = kExitInterrupted;
    }
  } catch (const zel::Interrupt&) {
    // Normal mode: the interrupt unwound the work; the trackers closed their
    // sub-operations on the way out.
    reportInterrupt();
    exitCode = kExitInterrupted;
  }
  bar.finish();

  printReports(errors);
  std::cout << '\n' << UserMsg("Done.", nullptr).str() << '\n';

  // ---- Shutdown ----------------------------------------------------------

  // Uninstall before destroying: neither reporter uninstalls itself. The
  // budget goes out of force before it is deleted.
  progress.unregisterMidOpProcessor(&bar);
  zel::ProgressTracker::setReporter(nullptr);
  zel::ProgressFunction::setBudget(nullptr);
  static zel::NullErrorReporterImpl discardReports;
  zel::ErrorReporter::instance(&discardReports);
  return exitCode;
}
