// Nested trackers and a budget: the application names its operations and
// functions once, in a budget builder; working code then only says which
// function runs (a StartProgress guard) and counts inside it (a tracker).
#include <zel/ZELError.h>

#include <cstdio>
#include <memory>

namespace {

enum Operation { kAnalysis = 1 };
enum Function { kLoadMesh = 10, kSolve = 11, kWriteResults = 12 };

// Which functions the analysis runs and what share each is worth.
class AnalysisBudget : public zel::ProgressBudgetBuilder {
 public:
  void buildOperations() override { createOperation(kAnalysis, "Analysis"); }
  void buildFunctions() override {
    createFunction(kLoadMesh, "Load mesh");
    createFunction(kSolve, "Solve");
    createFunction(kWriteResults, "Write results");
  }
  void buildItinerary() override {
    addFunctionToOperation(kAnalysis, kLoadMesh, 0.1f);
    addFunctionToOperation(kAnalysis, kSolve, 0.8f);
    addFunctionToOperation(kAnalysis, kWriteResults, 0.1f);
  }
};

// Prints each new operation name with the progress of the whole.
class PrintSteps : public zel::MidOpProcessor {
 public:
  explicit PrintSteps(const zel::ProgressProvider& progress) : m_progress(progress) {}
  int process() override {
    if (m_progress.getOperationName() != m_last) {
      m_last = m_progress.getOperationName();
      std::printf("[%3.0f%%] %s\n", m_progress.getProgress() * 100.0f, m_last.c_str());
    }
    return 0;
  }

 private:
  const zel::ProgressProvider& m_progress;
  std::string m_last;
};

// Runs inside the started entry of the caller's tracker: a tracker of its own
// divides that entry's share again.
void solve() {
  zel::ProgressTracker steps("Solve", true);
  steps.add("Assemble", 0.25f, 100);
  steps.add("Iterate", 0.75f, 50);
  steps.start("Assemble", 100);
  for (int i = 0; i < 100; ++i) steps.increment();
  steps.nextStep(50);  // completes "Assemble", starts "Iterate"
  for (int i = 0; i < 50; ++i) steps.increment();
  steps.stop();
}

}  // namespace

int main() {
  // Start-up in order: translation, error reporter, progress reporter, budget.
  zel::TranslationManager::disableTranslations();
  zel::ApplicationErrorReporterImpl errors;
  zel::ErrorReporter::instance(&errors);
  zel::ApplicationProgressReporterImpl progress;
  zel::ProgressTracker::setReporter(&progress);
  PrintSteps printer(progress);
  progress.registerMidOpProcessor(&printer);

  AnalysisBudget builder;
  zel::ProgressBudgetDirector director;
  director.setBuilder(&builder);
  std::unique_ptr<zel::ProgressBudget> budget(director.constructBudget());

  budget->setCurrentOperation(kAnalysis);  // an operation converts from its identifier
  {
    // The outer tracker starts the reporting and stops it when it goes. Its
    // entries are functions of the budget, with the budget's labels and weights.
    zel::ProgressTracker analysis("Analysis", true);
    analysis.add(zel::ProgressFunction(kLoadMesh, 1));
    analysis.add(zel::ProgressFunction(kSolve, 1));
    analysis.start(std::size_t{0}, 20);  // "Load mesh", 10 % of the whole
    for (int i = 0; i < 20; ++i) analysis.increment();
    analysis.nextStep(0);  // "Solve", 80 %: solve() divides it further
    solve();
    analysis.stop();
    // A function that does not count: the guard accounts its share when its
    // scope ends.
    {
      zel::StartProgress guard(kWriteResults, 1);
    }
    std::printf("[%3.0f%%] done\n", progress.getProgress() * 100.0f);
  }

  // Shutdown: the budget goes out of force before it is deleted, the
  // reporters are uninstalled before they are destroyed.
  zel::ProgressFunction::setBudget(nullptr);
  progress.unregisterMidOpProcessor(&printer);
  zel::ProgressTracker::setReporter(nullptr);
  static zel::NullErrorReporterImpl discard;
  zel::ErrorReporter::instance(&discard);
  return 0;
}
