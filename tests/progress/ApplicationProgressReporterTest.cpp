#include <gtest/gtest.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/InternalError.h>
#include <zel/Interrupt.h>
#include <zel/MidOpProcessor.h>
#include <zel/NullProgressReporterImpl.h>
#include <zel/ProgressFunction.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "RecordingErrorReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using Journal = std::vector<std::string>;

// Writes its name into a shared journal, runs an optional action, and answers
// with its result.
struct JournalProcessor : MidOpProcessor {
  JournalProcessor(const char* name, Journal& journal)
      : name(name), journal(&journal) {}
  int process() override {
    journal->push_back(name);
    if (action) action();
    return result;
  }
  const char* name;
  Journal* journal;
  int result = 0;
  std::function<void()> action;
};

// A running, named reporter with two processors; "first" has the lower
// address, so it is visited first.
struct Scene {
  Scene() {
    reporter.startProgress();
    reporter.setOperationName("Solve");
    for (auto& p : processors) reporter.registerMidOpProcessor(&p);
  }
  Journal journal;
  std::array<JournalProcessor, 2> processors{
      JournalProcessor("first", journal), JournalProcessor("second", journal)};
  ApplicationProgressReporterImpl reporter;
};

TEST(ApplicationProgressReporter, OnlyReportsAndPredictionsCallProcessors) {
  Scene scene;
  ApplicationProgressReporterImpl& r = scene.reporter;
  r.registerMidOpProcessor(&scene.processors[0]);  // stays once
  r.registerMidOpProcessor(nullptr);               // ignored
  r.pushWeight(0.5f);
  r.popWeight();
  r.imposeBounds(false, 1.0f);
  r.setAnimationProgress("|/-");
  EXPECT_EQ(r.getAnimationProgress(), "|/-");
  EXPECT_FALSE(r.startProgress());
  EXPECT_THROW(r.popWeight(), internal::overflow);
  r.stopProgress();
  EXPECT_TRUE(scene.journal.empty());

  r.reportProgress(0.5f);  // stopped: nothing applied, but yields
  r.predictProgress("Step", 0.0f, 10.0f);  // no weight: nothing predicted
  r.predictProgress("Step", 0.5f, 0.0f);   // no estimate: likewise
  r.predictProgress(ProgressFunction(10), 10.0f);  // no budget: weight 0
  r.cancelPrediction();
  float weight = 0.0f, estimate = 0.0f;
  EXPECT_FALSE(r.getProgressPrediction(weight, estimate));
  EXPECT_EQ(r.getOperationName(), "Solve");
  EXPECT_EQ(r.getProgress(), 0.0f);
  EXPECT_EQ(scene.journal.size(), 10u);

  scene.journal.clear();
  r.unregisterMidOpProcessor(&scene.processors[0]);
  r.unregisterMidOpProcessor(nullptr);
  r.reportProgress(0.5f);
  EXPECT_EQ(scene.journal, (Journal{"second"}));
}

TEST(ApplicationProgressReporter, OutOfRangeReportIsWarnedAndStillApplied) {
  test::RecordingErrorReporter errors;
  test::ScopedErrorReporter installed(errors);
  Scene scene;
  scene.reporter.reportProgress(0.0f);
  scene.reporter.reportProgress(1.0f);
  scene.journal.clear();
  scene.reporter.reportProgress(1.5f);
  EXPECT_EQ(scene.reporter.getProgress(), 1.5f);
  EXPECT_EQ(scene.journal, (Journal{"first", "second"}));
  ASSERT_EQ(errors.records().size(), 1u);
  const ErrorMsg& w = errors.records()[0];
  EXPECT_EQ(
      (test::ErrorTexts{w.className(), w.methodName(), w.message(), w.type()}),
      (test::ErrorTexts{"ApplicationProgressReporterImpl", "reportProgress",
                        "Progress report should be between 0 and 1. It is 1.5.",
                        typeWarning}));
}

TEST(ApplicationProgressReporter, InterruptIsThrownOrInSoftModeRecorded) {
  Scene scene;
  scene.processors[0].result = 1;
  EXPECT_ZEL_THROW(scene.reporter.reportProgress(0.5f), Interrupt,
                   "ApplicationProgressReporterImpl", "yieldControl",
                   "Operation interrupted.", typeInterrupt);
  EXPECT_EQ(scene.journal, (Journal{"first"}));
  EXPECT_EQ(scene.reporter.getProgress(), 0.5f);  // not undone
  EXPECT_FALSE(scene.reporter.isAborted());

  scene.journal.clear();
  scene.reporter.setSoftAbortMode(true);
  scene.reporter.cancelPrediction();
  EXPECT_EQ(scene.journal, (Journal{"first", "second"}));
  EXPECT_TRUE(scene.reporter.isAborted());
  scene.reporter.setSoftAbortMode(true);
  EXPECT_FALSE(scene.reporter.isAborted());

  // A handler error comes before any processor runs.
  scene.journal.clear();
  ApplicationProgressReporterImpl unnamed;
  unnamed.registerMidOpProcessor(&scene.processors[0]);
  EXPECT_ZEL_THROW(unnamed.predictProgress("Step", 0.5f, 10.0f),
                   internal::badParam, "ProgressHandler", "setProgress",
                   "Variable '' does not exist.", typeError);
  EXPECT_TRUE(scene.journal.empty());
}

TEST(ApplicationProgressReporter, ProcessorsMayRegisterAndUnregisterInProcess) {
  Scene scene;
  JournalProcessor late("late", scene.journal);
  // "first" drops "second" and adds "late": neither runs during this visit.
  scene.processors[0].action = [&] {
    scene.reporter.unregisterMidOpProcessor(&scene.processors[1]);
    scene.reporter.registerMidOpProcessor(&late);
  };
  scene.reporter.reportProgress(0.5f);
  EXPECT_EQ(scene.journal, (Journal{"first"}));
  scene.processors[0].action = nullptr;
  scene.journal.clear();
  scene.reporter.reportProgress(0.5f);
  const bool lateFirst =
      std::less<MidOpProcessor*>()(&late, &scene.processors[0]);
  EXPECT_EQ(scene.journal, lateFirst ? (Journal{"late", "first"})
                                     : (Journal{"first", "late"}));
}

TEST(ApplicationProgressReporter, MoveTakesProcessorsAndTextCopiesProgress) {
  Scene scene;
  scene.reporter.setAnimationProgress("spinning");
  scene.reporter.pushWeight(0.5f);
  scene.reporter.setSoftAbortMode(true);
  ApplicationProgressReporterImpl moved(std::move(scene.reporter));
  for (ApplicationProgressReporterImpl* r : {&scene.reporter, &moved}) {
    r->reportProgress(0.5f);
    EXPECT_EQ(r->getProgress(), 0.25f);
  }
  EXPECT_EQ(scene.reporter.getAnimationProgress(), "");
  EXPECT_EQ(moved.getAnimationProgress(), "spinning");
  EXPECT_EQ(scene.journal, (Journal{"first", "second"}));  // `moved` only

  scene.processors[0].result = 1;  // the soft mode went over too
  moved.reportProgress(0.5f);
  EXPECT_TRUE(moved.isAborted());
}

TEST(NullProgressReporter, AcceptsEveryCallAndSharesOneEmptyText) {
  NullProgressReporterImpl own;
  NullProgressReporterImpl& shared = NullProgressReporterImpl::processWide();
  for (NullProgressReporterImpl* r : {&own, &shared}) {
    r->stopProgress();
    r->popWeight();
    r->reportProgress(7.0f);
    r->setOperationName("");
    r->predictProgress("", 0.5f, 1.0f);
    EXPECT_TRUE(r->startProgress());
    EXPECT_TRUE(r->startProgress());
    EXPECT_EQ(r->getProgress(), 0.0f);
    EXPECT_FALSE(r->isAborted());
    float weight = 0.3f, estimate = 9.0f;
    EXPECT_TRUE(r->getProgressPrediction(weight, estimate));
    EXPECT_EQ(weight, 0.3f);
    EXPECT_EQ(estimate, 9.0f);
    EXPECT_EQ(r->getOperationName(), "");
    EXPECT_EQ(&r->getAnimationProgress(), &own.getOperationName());
  }
}

}  // namespace
}  // namespace zel
