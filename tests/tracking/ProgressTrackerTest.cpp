#include <gtest/gtest.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/InternalError.h>
#include <zel/ProgressTracker.h>

#include <functional>
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

std::string report(float fraction) {
  return "reportProgress(" + RecordingProgressReporter::format(fraction) + ")";
}

// Each test sees its trackers' calls on a fresh recording reporter; the null
// reporter takes over again afterwards.
class Tracker : public ::testing::Test {
 protected:
  RecordingProgressReporter m_reporter;
  ScopedProgressReporter m_installed{m_reporter};
};

TEST_F(Tracker, WorkedExampleReportsEachEntryWithinItsWeight) {
  Calls expected = {"startProgress",    "setOperationName(Solve)", report(0),
                    "pushWeight(0.25)", "setOperationName(A)",     report(0)};
  {
    ProgressTracker solve("Solve", true);
    solve.add("A", 0.25f, 200);
    solve.add("B", 0.75f, 50);
    solve.start("A", 200);
    solve += 201;
    for (int count = 2; count <= 200; count += 2) {
      expected.push_back(report(float(count) / 200.0f));
    }
    solve.nextStep(0);
    expected.insert(expected.end(), {report(1), "popWeight", "pushWeight(0.75)",
                                     "setOperationName(B)", report(0)});
    solve += 50;
    for (int count = 1; count <= 50; ++count) {
      expected.push_back(report(float(count) / 50.0f));
    }
  }
  expected.insert(expected.end(), {report(1), "popWeight", "stopProgress"});
  EXPECT_EQ(m_reporter.calls(), expected);
  EXPECT_EQ(m_reporter.calls()[6], "reportProgress(0.01)");
}

// The counts at which an entry of 100 increments is reported.
std::vector<int> reportedCounts(RecordingProgressReporter& reporter,
                                int startIncrements) {
  ProgressTracker tracker;
  tracker.setNotifyFrequency(4);
  tracker.add("Entry", 1.0f, 100);
  tracker.start(std::size_t{0}, startIncrements);
  std::vector<int> counts;
  for (int count = 1; count <= 100; ++count) {
    const std::size_t before = reporter.calls().size();
    ++tracker;
    if (reporter.calls().size() != before) counts.push_back(count);
  }
  return counts;
}

TEST_F(Tracker, NotifyFrequencyThrottlesReportsFromTheStartArgument) {
  EXPECT_EQ(reportedCounts(m_reporter, 100),
            (std::vector<int>{25, 50, 75, 100}));
  EXPECT_EQ(m_reporter.take(),
            (Calls{"pushWeight(1)", report(0), report(0.25f), report(0.5f),
                   report(0.75f), report(1), report(1), "popWeight"}));
  EXPECT_EQ(reportedCounts(m_reporter, 0), (std::vector<int>{1, 26, 51, 76}));
  ProgressTracker tracker;
  tracker.setNotifyFrequency(10);
  tracker.setNotifyFrequency(-4);
  EXPECT_EQ(tracker.getNotifyFrequency(), 10);  // as set, not 1 ÷ 0.1f
}

TEST_F(Tracker, DirectProgressIsReportedWhenForcedOrDue) {
  ProgressTracker tracker;
  tracker.setNotifyFrequency(4);
  tracker.add("Entry", 0.5f, 200);
  tracker.start(std::size_t{0}, 200);
  tracker += 100;  // the next report is due at 150
  m_reporter.take();
  tracker.setProgress(0.5f, false);
  tracker.setProgress(0.8f, false);
  tracker.setProgress(1.2f, true);
  EXPECT_EQ(m_reporter.take(), (Calls{report(0.8f), report(1.2f)}));
  EXPECT_ZEL_THROW(tracker.setProgress(-0.1f, true), internal::error,
                   "ProgressTracker", "setProgress",
                   "Progress report should be between 0 and 1. It is -0.1.",
                   typeError);
  EXPECT_FLOAT_EQ(tracker.getProgress(), -0.1f);
}

TEST_F(Tracker, StartsOnlyEntriesWeighingZeroToOne) {
  ProgressTracker tracker("Solve", true);
  tracker.add("Zero", 0.0f, 4);
  tracker.add("Heavy", 1.5f, 4);
  tracker.add("Negative", -0.5f, 4);
  m_reporter.take();
  tracker.start("Zero", 0);
  tracker += 2;
  tracker.start("Heavy", 10);
  tracker.start("Negative", 10);
  tracker += 1;  // Zero is still the started entry
  EXPECT_FLOAT_EQ(tracker.getProgress(), 0.75f);
  EXPECT_EQ(tracker.getTotalIncrements("Heavy"), 4);
  tracker.stop();
  EXPECT_EQ(m_reporter.calls(), (Calls{"setOperationName(Zero)"}));
}

TEST_F(Tracker, InnerTrackerLeavesTheRunningReportingAlone) {
  ProgressTracker outer("Outer", false);
  { ProgressTracker("Inner", false).release(); }
  EXPECT_EQ(m_reporter.take(),
            (Calls{"startProgress", "setOperationName(Outer)", report(0),
                   "startProgress"}));
}

TEST_F(Tracker, NamesReachTheFirstEntryAndIndicesPastTheEndTheFirstToo) {
  ProgressTracker tracker;
  tracker.add("A", 0.5f, 10);
  tracker.add("A", 0.25f, 20);
  tracker.setWeight("A", 0.125f);
  EXPECT_FLOAT_EQ(tracker.getWeight(1), 0.25f);
  tracker.start(7, 0);
  tracker.nextStep(0);
  tracker.nextStep(0);
  EXPECT_EQ(m_reporter.take(),
            (Calls{"pushWeight(0.125)", report(0), report(1), "popWeight",
                   "pushWeight(0.25)", report(0), report(1), "popWeight",
                   "pushWeight(0.125)", report(0)}));
}

TEST_F(Tracker, MissingNameThrowsFromEveryLookup) {
  ProgressTracker tracker;
  tracker.add("Present", 0.5f, 10);
  const std::vector<std::pair<std::string, std::function<void()>>> lookups = {
      {"present", [&] { tracker.start("present", 1); }},
      {"Missing", [&] { tracker.setTotalIncrements("Missing", 1); }},
      {"Present ", [&] { tracker.getWeight("Present "); }},
      {"", [&] { tracker.setWeight("", 0.5f); }},
      {"x", [&] { tracker.getTotalIncrements("x"); }}};
  for (const auto& [name, lookup] : lookups) {
    SCOPED_TRACE(name);
    EXPECT_ZEL_THROW(lookup(), internal::error, "ProgressTracker", "startNext",
                     "Unable to find tracker name '" + name + "'.", typeError);
  }
  EXPECT_TRUE(m_reporter.calls().empty());
}

TEST_F(Tracker, CopyNeitherClosesTheEntryNorStopsTheReporting) {
  ProgressTracker original("Solve", true);
  original.add("A", 0.5f, 10);
  original.start("A", 0);
  m_reporter.take();
  {
    ProgressTracker copy(original), assigned;
    assigned = original;
  }
  EXPECT_TRUE(m_reporter.calls().empty());
}

TEST_F(Tracker, DestructorReportsWhatTheReporterThrows) {
  using Failure = RecordingProgressReporter::Failure;
  for (Failure failure :
       {Failure::zelError, Failure::standardError, Failure::integer}) {
    SCOPED_TRACE(static_cast<int>(failure));
    RecordingErrorReporter errors;
    ScopedErrorReporter front(errors);
    m_reporter.stopThrowing();
    {
      ProgressTracker tracker("Solve", true);
      tracker.add("A", 0.5f, 10);
      tracker.start("A", 0);
      m_reporter.throwFrom("", failure);
    }
    ASSERT_EQ(errors.records().size(), 1u);
    const ErrorMsg& record = errors.records()[0];
    EXPECT_EQ(record.className() + "::" + record.methodName() + " - " +
                  record.message() + std::to_string(record.type()),
              "ProgressTracker::~ProgressTracker - Caught exception0");
    EXPECT_ANY_THROW(ProgressTracker("Other", true));  // frees its state
  }
}

TEST(TrackerWithApplicationReporter, OverallProgressFollowsTheEntryWeights) {
  ApplicationProgressReporterImpl application;
  ScopedProgressReporter installed(application);
  RecordingErrorReporter errors;
  ScopedErrorReporter front(errors);
  {
    ProgressTracker solve("Solve", true);
    solve.add("A", 0.25f, 200);
    solve.add("B", 0.75f, 50);
    solve.start("A", 200);
    solve += 200;
    EXPECT_FLOAT_EQ(application.getProgress(), 0.25f);
    solve.nextStep(0);
    solve += 25;
    EXPECT_FLOAT_EQ(application.getProgress(), 0.625f);
    solve.release();
  }
  // The second stop fails in the reporter and is reported, not thrown.
  ASSERT_EQ(errors.records().size(), 1u);
  EXPECT_EQ(errors.records()[0].message(), "Caught exception");
  EXPECT_TRUE(application.startProgress());
}

}  // namespace
}  // namespace zel
