// Progress tracking: trackers and the start-progress guards built on them,
// observed through the recording reporter (exact call sequences) and the
// application reporter (overall progress), and centred progress labels.
#include <gtest/gtest.h>
#include <zel/ZELError.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <tuple>

#include "RecordingErrorReporter.h"
#include "RecordingProgressReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using test::Calls;

std::string report(float fraction) {
  return "reportProgress(" + test::RecordingProgressReporter::format(fraction) + ")";
}

// Each error report received, as "Class::method - message (type)".
Calls reported(const test::RecordingErrorReporter& errors) {
  Calls texts;
  for (const ErrorMsg& r : errors.records()) {
    texts.push_back(r.className() + "::" + r.methodName() + " - " + r.message() + " (" +
                    std::to_string(r.type()) + ")");
  }
  return texts;
}
const char* const kCaught = "ProgressTracker::~ProgressTracker - Caught exception (0)";

enum { kRun = 1, kAssemble = 10, kHeavy = 11, kUnknown = 99 };

// Each test sees its trackers' calls on a fresh recording reporter and its
// error reports on a recording front. The fixture builds the budget in force:
// in operation Run, which is current, Assemble weighs 0.4 and Heavy 1.5;
// Unknown has neither a weight nor a label. The null reporters and no budget
// take over again afterwards.
class Tracker : public ::testing::Test, public ProgressBudgetBuilder {
 protected:
  Tracker() {
    ProgressBudgetDirector director;
    director.setBuilder(this);
    m_budget.reset(director.constructBudget());
    m_budget->setCurrentOperation(ProgressOperation(kRun));
  }
  ~Tracker() override { ProgressFunction::setBudget(nullptr); }
  void buildOperations() override { createOperation(kRun, "Run"); }
  void buildFunctions() override {
    createFunction(kAssemble, "Assemble");
    createFunction(kHeavy, "Heavy");
  }
  void buildItinerary() override {
    addFunctionToOperation(kRun, kAssemble, 0.4f);
    addFunctionToOperation(kRun, kHeavy, 1.5f);
  }

  std::unique_ptr<ProgressBudget> m_budget;
  test::RecordingProgressReporter m_reporter;
  test::ScopedProgressReporter m_installed{m_reporter};
  test::RecordingErrorReporter m_errors;
  test::ScopedErrorReporter m_front{m_errors};
};
class Guard : public Tracker {};

// The worked example: Solve counts A (a quarter of the work, 200 increments)
// to its end and B (the rest, 50 increments) half-way, calling `check` after
// each; then it stops reporting before its destructor stops it again.
void solve(const std::function<void()>& check) {
  ProgressTracker solve("Solve", true);
  solve.add("A", 0.25f, 200);
  solve.add("B", 0.75f, 50);
  solve.start("A", 200);
  solve += 200;
  check();
  solve.nextStep(0);
  solve += 25;
  check();
  solve.release();
}

TEST_F(Tracker, WorkedExampleReportsEachEntryWithinItsWeight) {
  solve([] {});
  // A reports every second increment (200 ÷ 100), B every increment.
  Calls expected = {"startProgress",    "setOperationName(Solve)", report(0),
                    "pushWeight(0.25)", "setOperationName(A)",     report(0)};
  for (int count = 2; count <= 200; count += 2) expected.push_back(report(count / 200.0f));
  expected.insert(expected.end(), {report(1), "popWeight", "pushWeight(0.75)",
                                   "setOperationName(B)", report(0)});
  for (int count = 1; count <= 25; ++count) expected.push_back(report(count / 50.0f));
  expected.insert(expected.end(), {"stopProgress", report(1), "popWeight", "stopProgress"});
  EXPECT_EQ(m_reporter.calls(), expected);
}

TEST_F(Tracker, CopiesCountOnTheirOwnButNeverCloseWhatTheOriginalOpened) {
  {
    ProgressTracker original("Solve", false);
    original.add("A", 0.5f, 10);
    original.start(std::size_t{0}, 10);
    ProgressTracker copy(original);
    copy.start(std::size_t{0}, 10);  // the copy's own sub-operation
    m_reporter.take();
  }  // the copy closes its entry only; the original closes its own and stops
  EXPECT_EQ(m_reporter.calls(), (Calls{report(1), "popWeight", report(1), "popWeight",
                                       "stopProgress"}));
}

TEST_F(Tracker, WorkedExampleMovesTheApplicationReporterByTheEntryWeights) {
  ApplicationProgressReporterImpl application;
  ProgressTracker::setReporter(&application);
  std::vector<float> overall;
  solve([&] { overall.push_back(application.getProgress()); });
  EXPECT_EQ(overall, (std::vector<float>{0.25f, 0.625f}));
  // The destructor's second stop fails in the reporter: reported, not thrown.
  EXPECT_EQ(reported(m_errors), Calls{kCaught});
}

TEST_F(Tracker, ReportsAtTheNotifyFrequencyAndDirectProgressWhenForcedOrDue) {
  ProgressTracker tracker;
  tracker.setNotifyFrequency(4);
  tracker.add("Entry", 1.0f, 100);
  tracker.start(std::size_t{0}, 100);
  for (int count : {0, -3}) tracker += count;  // += n counts n increments; these none
  for (int i = 0; i < 20; ++i) tracker += 5;
  EXPECT_EQ(m_reporter.take(), (Calls{"pushWeight(1)", report(0), report(0.25f), report(0.5f),
                                      report(0.75f), report(1)}));
  tracker.start(std::size_t{0}, 0);  // no increments given: the first report is due at once
  tracker += 101;  // one past the total, when the next report is due, is not counted
  EXPECT_EQ(m_reporter.take(), (Calls{report(1), "popWeight", "pushWeight(1)", report(0),
                                      report(0.01f), report(0.26f), report(0.51f), report(0.76f)}));
  tracker.start(std::size_t{0}, 200);
  tracker += 100;  // of 200: the next report is due at 150
  for (float fraction : {0.5f, 0.8f}) tracker.setProgress(fraction, false);
  tracker.setProgress(1.2f, true);
  EXPECT_EQ(m_reporter.take(), (Calls{report(1), "popWeight", "pushWeight(1)", report(0),
                                      report(0.25f), report(0.5f), report(0.8f), report(1.2f)}));
  EXPECT_ZEL_THROW(tracker.setProgress(-0.1f, true), internal::error, "ProgressTracker",
                   "setProgress", "Progress report should be between 0 and 1. It is -0.1.",
                   typeError);
  EXPECT_FLOAT_EQ(tracker.getProgress(), -0.1f);
}

TEST_F(Tracker, StartsTheFirstOfTwinNamesWrapsPastTheEndAndRefusesWeightsBeyondZeroToOne) {
  ProgressTracker outer("Solve", false);
  ProgressTracker inner("Inner", true);  // reporting runs already: not its own
  inner.add("A", 0.5f, 4);
  inner.add("A", 0.5f, 4);
  inner.add("Zero", 0.0f, 4);
  inner.add("Heavy", 1.5f, 4);
  inner.add("Negative", -0.5f, 4);
  inner.setWeight("A", 0.125f);
  EXPECT_EQ(std::make_tuple(inner.getName(5), inner.getWeight(5), inner.getTotalIncrements(5)),
            std::make_tuple("", 0.0f, 0));
  inner.start("Zero", 0);
  inner.start(5, 0);  // past the end: the first entry
  inner.start("Heavy", 1);
  inner.start("Negative", 1);
  inner.release();
  EXPECT_EQ(m_reporter.take(), (Calls{"startProgress", "setOperationName(Solve)", report(0),
                                      "startProgress", "setOperationName(Zero)",
                                      "pushWeight(0.125)", "setOperationName(A)", report(0)}));
}

TEST_F(Tracker, MissingNameThrowsFromEveryLookup) {
  ProgressTracker tracker;
  tracker.add("X ", 0.5f, 10);  // names match exactly
  const std::function<void()> lookups[] = {
      [&] { tracker.start("X", 1); }, [&] { tracker.setTotalIncrements("X", 1); },
      [&] { tracker.getWeight("X"); }, [&] { tracker.setWeight("X", 0.5f); },
      [&] { tracker.getTotalIncrements("X"); }};
  for (const auto& lookup : lookups) {
    SCOPED_TRACE(&lookup - lookups);
    EXPECT_ZEL_THROW(lookup(), internal::error, "ProgressTracker", "startNext",
                     "Unable to find tracker name 'X'.", typeError);
  }
}

TEST_F(Guard, OutermostGuardStartsReportingAndAccountsTheWeightAtTheEnd) {
  {
    StartProgress guard(kAssemble, 1);
    EXPECT_EQ(m_reporter.take(), (Calls{"startProgress", "setOperationName(Assemble)", report(0)}));
    StartProgress::disable(true);  // read at construction only
  }
  EXPECT_EQ(m_reporter.take(), (Calls{"pushWeight(0.4)", "setOperationName(Assemble)", report(0),
                                      report(1), "popWeight", "stopProgress"}));
  { StartProgress inert(kAssemble, 1); }  // calls nothing
  StartProgress::disable(false);
  // Heavy weighs more than the whole and Unknown nothing: neither is pushed.
  for (int function : {kHeavy, kUnknown}) { StartProgress guard(function, 1); }
  EXPECT_EQ(m_reporter.take(), (Calls{"startProgress", "setOperationName(Heavy)", report(0),
                                      "stopProgress", "startProgress", "setOperationName()",
                                      report(0), "setOperationName()", "stopProgress"}));
  // Destructors never throw, even when every call on the reporter fails: the
  // guard fails to start its entry, its tracker to close it, the outer one to
  // stop reporting.
  EXPECT_NO_THROW({
    ProgressTracker tracker("Solve", true);
    StartProgress guard(kAssemble, 1);
    m_reporter.throwFrom("", test::RecordingProgressReporter::Failure::integer);
  });
  EXPECT_EQ(reported(m_errors), Calls(3, kCaught));
}

TEST_F(Guard, GuardsMoveTheApplicationReporterByTheirShareOfTheWeight) {
  ApplicationProgressReporterImpl application;
  ProgressTracker::setReporter(&application);
  { StartProgress guard(kAssemble, 1); }
  EXPECT_FLOAT_EQ(application.getProgress(), 0.4f);
  // A function without a label cannot be announced: a guard that starts
  // reporting is refused at once, and leaves the reporting running.
  EXPECT_ZEL_THROW(StartProgress(kUnknown, 1), data::invalid, "ProgressHandler",
                   "setOperationName", "Parameter '' does not exist.", typeError);
  { StartProgress first(kAssemble, 2); }  // of two entries: half the weight each
  EXPECT_FLOAT_EQ(application.getProgress(), 0.6f);
  { StartProgress second(kAssemble, 2); }
  EXPECT_FLOAT_EQ(application.getProgress(), 0.8f);
  { StartProgress unknown(kUnknown, 1); }  // within running reporting: reported at the end
  EXPECT_EQ(reported(m_errors), Calls{kCaught});
}

TEST(CentredProgressLabel, CentresTextInTheOneFieldWidthOfModeZero) {
  using Label = CentredProgressLabel;
  // Text length in bytes, blanks put in front (the field is 50 wide).
  const std::size_t cases[][2] = {{0, 25}, {7, 21}, {11, 19}, {48, 1}, {49, 0}, {50, 0}, {120, 0}};
  for (const auto& [length, blanks] : cases) {
    SCOPED_TRACE(length);
    const std::string text(length, 'x');
    EXPECT_EQ(std::string(Label(Label::centreInField, text)), std::string(blanks, ' ') + text);
  }
  Label label(Label::centreInField, "Assemble");
  label.reset("Solving");  // discards the previous label
  EXPECT_EQ(std::string(label), std::string(21, ' ') + "Solving");
  EXPECT_THROW(Label(Label::CenteringMode{1}, "text"), std::out_of_range);  // no width
  EXPECT_THROW(Label(Label::CenteringMode{-1}, "text"), std::out_of_range);
}

}  // namespace
}  // namespace zel
