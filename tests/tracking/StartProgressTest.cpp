#include <gtest/gtest.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/DataError.h>
#include <zel/ProgressBudget.h>
#include <zel/ProgressBudgetBuilder.h>
#include <zel/ProgressBudgetDirector.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressOperation.h>
#include <zel/StartProgress.h>

#include <memory>
#include <string>

#include "RecordingErrorReporter.h"
#include "RecordingProgressReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using test::Calls;
using test::RecordingErrorReporter;
using test::RecordingProgressReporter;
using test::ScopedErrorReporter;
using test::ScopedProgressReporter;

enum { kRun = 1, kAssemble = 10, kHeavy = 11, kIdle = 12, kUnknown = 99 };

// Operation Run gives Assemble 0.4 and Heavy 1.5; Idle has a label only.
class RunBudget : public ProgressBudgetBuilder {
  void buildOperations() override { createOperation(kRun, "Run"); }
  void buildFunctions() override {
    createFunction(kAssemble, "Assemble");
    createFunction(kHeavy, "Heavy");
    createFunction(kIdle, "Idle");
  }
  void buildItinerary() override {
    addFunctionToOperation(kRun, kAssemble, 0.4f);
    addFunctionToOperation(kRun, kHeavy, 1.5f);
  }
};

// Puts the Run budget in force with Run current; restores every switch the
// guards depend on afterwards.
class Guard : public ::testing::Test {
 protected:
  Guard() {
    RunBudget builder;
    ProgressBudgetDirector director;
    director.setBuilder(&builder);
    m_budget.reset(director.constructBudget());
    m_budget->setCurrentOperation(ProgressOperation(kRun));
  }
  ~Guard() override {
    ProgressFunction::setBudget(nullptr);
    ProgressTracker::setReporter(nullptr);
    StartProgress::disable(false);
  }
  std::unique_ptr<ProgressBudget> m_budget;
};

TEST_F(Guard, OutermostGuardStartsReportingAndAccountsTheWeightAtTheEnd) {
  struct Case {
    int function;
    Calls atConstruction, atDestruction;
  };
  const Case cases[] = {
      {kAssemble,
       {"startProgress", "setOperationName(Assemble)", "reportProgress(0)"},
       {"pushWeight(0.4)", "setOperationName(Assemble)", "reportProgress(0)",
        "reportProgress(1)", "popWeight", "stopProgress"}},
      {kHeavy,  // weighs more than the whole: not started
       {"startProgress", "setOperationName(Heavy)", "reportProgress(0)"},
       {"stopProgress"}},
      {kIdle,  // not listed by the operation: weighs nothing
       {"startProgress", "setOperationName(Idle)", "reportProgress(0)"},
       {"setOperationName(Idle)", "stopProgress"}}};
  RecordingProgressReporter reporter;
  ScopedProgressReporter installed(reporter);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    {
      StartProgress guard(c.function, 1);
      EXPECT_EQ(reporter.take(), c.atConstruction);
    }
    EXPECT_EQ(reporter.take(), c.atDestruction);
  }
  ApplicationProgressReporterImpl application;
  ProgressTracker::setReporter(&application);
  { StartProgress guard(kAssemble, 1); }
  EXPECT_FLOAT_EQ(application.getProgress(), 0.4f);
  EXPECT_TRUE(application.startProgress());  // the guard stopped it
}

TEST_F(Guard, GuardsOfAReenteredFunctionShareItsWeight) {
  ApplicationProgressReporterImpl application;
  ScopedProgressReporter installed(application);
  application.startProgress();
  application.setOperationName("Run");
  { StartProgress first(kAssemble, 2); }
  EXPECT_FLOAT_EQ(application.getProgress(), 0.2f);
  { StartProgress second(kAssemble, 2); }
  EXPECT_FLOAT_EQ(application.getProgress(), 0.4f);
  EXPECT_FALSE(application.startProgress());  // still the caller's run
}

TEST_F(Guard, SwitchIsReadOnlyAtConstruction) {
  RecordingProgressReporter reporter;
  ScopedProgressReporter installed(reporter);
  StartProgress::disable(true);
  { StartProgress inert(kAssemble, 1); }
  EXPECT_TRUE(reporter.calls().empty());
  {
    StartProgress::disable(false);
    StartProgress working(kAssemble, 1);
    StartProgress::disable(true);
  }
  EXPECT_EQ(reporter.calls().size(), 9u);
  EXPECT_EQ(reporter.calls().back(), "stopProgress");
}

TEST_F(Guard, FunctionWithoutLabelFailsAtConstructionOrIsReportedAtTheEnd) {
  ApplicationProgressReporterImpl application;
  ScopedProgressReporter installed(application);
  RecordingErrorReporter errors;
  ScopedErrorReporter front(errors);
  EXPECT_ZEL_THROW(StartProgress(kUnknown, 1), data::invalid, "ProgressHandler",
                   "setOperationName", "Parameter '' does not exist.",
                   typeError);
  EXPECT_FALSE(application.startProgress());  // left running by the failure
  application.setOperationName("Run");
  { StartProgress unknown(kUnknown, 1); }
  ASSERT_EQ(errors.records().size(), 1u);
  EXPECT_EQ(errors.records()[0].methodName(), "~ProgressTracker");
  EXPECT_EQ(errors.records()[0].message(), "Caught exception");
}

TEST_F(Guard, DestructorNeverThrowsWhenEveryReporterCallFails) {
  RecordingProgressReporter reporter;
  ScopedProgressReporter installed(reporter);
  RecordingErrorReporter errors;
  ScopedErrorReporter front(errors);
  {
    StartProgress guard(kAssemble, 1);
    reporter.throwFrom("", RecordingProgressReporter::Failure::standardError);
  }
  // Starting the entry failed in the guard, closing it in the tracker; both
  // report the same record.
  ASSERT_EQ(errors.records().size(), 2u);
  const ErrorMsg& record = errors.records()[0];
  EXPECT_EQ(record.className() + "::" + record.methodName() + " - " +
                record.message() + std::to_string(record.type()),
            "ProgressTracker::~ProgressTracker - Caught exception0");
  EXPECT_EQ(errors.records()[1].message(), record.message());
}

}  // namespace
}  // namespace zel
