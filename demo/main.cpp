// zel-demo: a small engineering application built on libZELError. Read it top
// to bottom as the guide to adopting the library: start-up, running and
// shutdown, in that order.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include <zel/ConsoleProgress.h>
#include <zel/ZELError.h>

#include "AnalysisBudget.h"
#include "DemoOptions.h"
#include "Simulation.h"

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

// The console progress display, which also makes the scripted interrupt of
// --interrupt-at: once the progress reaches P it requests a cancel, as Ctrl-C
// does.
class Display final : public zel::ConsoleProgress {
 public:
  Display(zel::ProgressProvider& progress, std::optional<float> interruptAt)
      : ConsoleProgress(progress), m_progress(progress), m_interruptAt(interruptAt) {}

  int process() override {
    if (m_interruptAt && m_progress.getProgress() >= *m_interruptAt) requestCancel();
    return ConsoleProgress::process();
  }

 private:
  zel::ProgressProvider& m_progress;
  std::optional<float> m_interruptAt;
};

Display* s_display = nullptr;

// Ctrl-C: requestCancel() is safe in a signal handler.
void onInterruptSignal(int) {
  if (s_display != nullptr) s_display->requestCancel();
}

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
    // Flushed, as all output before the display's: a log entry on standard
    // error must not overtake it when both go into one pipe.
    std::cout << UserMsg("Engineering demo", nullptr).str() << " (" << language << ")"
              << std::endl;
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

  // 3. Progress reporting: install the reporter for every tracker and guard.
  //    The console display registers itself with it; it draws the progress
  //    and passes a cancel (Ctrl-C) on as an interrupt. The error log goes
  //    through it, so that log entries and the bar never share a line.
  zel::ApplicationProgressReporterImpl progress;
  progress.setSoftAbortMode(options.softAbort);
  zel::ProgressTracker::setReporter(&progress);
  Display display(progress, options.interruptAt);
  display.captureErrorLog();
  s_display = &display;
  std::signal(SIGINT, onInterruptSignal);

  // 4. The progress budget: the director runs the builder and puts the budget
  //    in force; the application owns it.
  demo::AnalysisBudgetBuilder builder;
  zel::ProgressBudgetDirector director;
  director.setBuilder(&builder);
  std::unique_ptr<zel::ProgressBudget> budget(director.constructBudget());

  // ---- Running -----------------------------------------------------------

  // A cancel stays requested until the application has seen the interrupt:
  // until it catches the Interrupt (normal mode), or finds the work stopped
  // (soft abort mode). A cancel that reached only the final reports of
  // trackers and guards, whose destructors swallow the Interrupt, is still
  // requested when the work returns: the run was cancelled all the same.
  bool interrupted = false;
  try {
    const demo::SimulationSettings settings{options.steps, options.fast};
    interrupted = !demo::runSimulation(settings, *budget, progress, progress);
  } catch (const zel::Interrupt&) {
    // Normal mode: the interrupt unwound the work; the trackers closed their
    // sub-operations on the way out.
    interrupted = true;
  }
  interrupted = interrupted || display.cancelRequested();
  display.acknowledgeCancel();
  // The last drawing shows where the run stopped, "cancelled" if it did.
  display.finish();
  if (interrupted) reportInterrupt();

  printReports(errors);
  if (!interrupted) std::cout << '\n' << UserMsg("Done.", nullptr).str() << '\n';
  std::cout.flush();

  // ---- Shutdown ----------------------------------------------------------

  // Uninstall before destroying: neither reporter uninstalls itself, and the
  // display goes before the reporter it is registered with. The budget goes
  // out of force before it is deleted.
  std::signal(SIGINT, SIG_DFL);
  s_display = nullptr;
  zel::ProgressTracker::setReporter(nullptr);
  zel::ProgressFunction::setBudget(nullptr);
  static zel::NullErrorReporterImpl discardReports;
  zel::ErrorReporter::instance(&discardReports);
  return interrupted ? kExitInterrupted : 0;
}
