#include <gtest/gtest.h>

#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/DataError.h>
#include <zel/Interrupt.h>
#include <zel/MidOpProcessor.h>
#include <zel/ParallelProgress.h>
#include <zel/ProgressTracker.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "RecordingErrorReporter.h"
#include "RecordingProgressReporter.h"

namespace zel {
namespace {

using test::Calls;
using test::RecordingProgressReporter;
using test::ScopedProgressReporter;

// More threads than the machine has cores, so that workers are preempted
// while they count and while they report.
int manyThreads() {
  return static_cast<int>(std::max(8u, 2 * std::thread::hardware_concurrency() + 1));
}

// Runs `threads` workers over `total` iterations, interleaved (worker w takes
// the iterations w, w + threads, …) so that every worker is busy until the
// end. An iteration that finds the progress cancelled is skipped, as the
// documented loop does; each worker counts in steps of `step`, and each
// iteration stands for `work` rounds of a small computation. Once `requested`
// is set (a processor asked for the cancel), a worker counts nothing more and
// waits for cancelled(): so what is counted after the request is at most the
// iteration each worker was in, however the threads are scheduled. Returns the
// increments counted.
// What the workers of the current run have counted so far, kept beside the
// progress so that a processor can read it at any moment.
std::atomic<long long> g_countedSoFar{0};

long long runWorkers(ParallelProgress& progress, int threads, long long total,
                     long long step = 1, int work = 0,
                     const std::atomic<bool>* requested = nullptr) {
  std::atomic<long long> counted{0};
  std::atomic<unsigned> sink{0};
  g_countedSoFar = 0;
  std::vector<std::thread> workers;
  for (int w = 0; w < threads; ++w) {
    workers.emplace_back([&, w] {
      long long mine = 0;
      for (long long i = w * step; i < total; i += threads * step) {
        if (progress.cancelled()) continue;
        if (requested != nullptr && requested->load()) {
          const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
          while (!progress.cancelled() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
          }
          continue;
        }
        unsigned value = static_cast<unsigned>(i);
        for (int k = 0; k < work; ++k) value = value * 1664525u + 1013904223u;
        if (work > 0) sink.fetch_add(value & 1u, std::memory_order_relaxed);
        const long long n = std::min(step, total - i);
        g_countedSoFar.fetch_add(n);
        progress.increment(n);
        mine += n;
      }
      counted += mine;
    });
  }
  for (std::thread& worker : workers) worker.join();
  return counted;
}

// A processor that records the overall progress at each call, notices two
// threads inside it at once, and on request interrupts or throws once the
// progress reaches a threshold.
class RecordingProcessor final : public MidOpProcessor {
 public:
  enum class Action { none, interrupt, throwError, cancelFromProcessor };

  explicit RecordingProcessor(ApplicationProgressReporterImpl& reporter) : m_reporter(reporter) {
    m_reporter.registerMidOpProcessor(this);
  }
  ~RecordingProcessor() { m_reporter.unregisterMidOpProcessor(this); }

  // On acting, notes how far the workers of runWorkers() have counted.
  void actAt(Action action, float threshold) {
    m_action = action;
    m_threshold = threshold;
  }
  long long countAtRequest() const { return m_countAtRequest; }
  const std::atomic<bool>* requested() const { return &m_requested; }

  int process() override {
    if (m_inside.exchange(true)) ++m_overlaps;
    const float progress = m_reporter.getProgress();
    m_values.push_back(progress);
    int result = 0;
    if (progress >= m_threshold && m_action != Action::none) {
      const Action action = std::exchange(m_action, Action::none);
      m_requested.store(true);
      m_countAtRequest = g_countedSoFar.load();
      if (action == Action::throwError) {
        m_inside.store(false);
        throw std::runtime_error("Display lost.");
      }
      result = 1;
    }
    m_inside.store(false);
    return result;
  }

  const std::vector<float>& values() const { return m_values; }
  void clear() { m_values.clear(); }
  int overlaps() const { return m_overlaps.load(); }

 private:
  ApplicationProgressReporterImpl& m_reporter;
  Action m_action = Action::none;
  float m_threshold = 2.0f;
  std::atomic<bool> m_inside{false};
  std::atomic<bool> m_requested{false};
  long long m_countAtRequest = -1;
  std::atomic<int> m_overlaps{0};
  std::vector<float> m_values;
};

void expectNeverDecreasing(const std::vector<float>& values) {
  for (std::size_t i = 1; i < values.size(); ++i) {
    EXPECT_LE(values[i - 1], values[i]) << "at report " << i;
  }
}

// The reporter holds no running operation and no open sub-operation, and a
// new run on many threads reports from 0 to exactly 1.
void expectCleanAndAFreshRunFromZeroToOne(ApplicationProgressReporterImpl& reporter,
                                          RecordingProcessor& processor) {
  ASSERT_TRUE(reporter.startProgress()) << "the reporting was left running";
  reporter.setOperationName("Check");
  EXPECT_THROW(reporter.popWeight(), internal::overflow) << "a sub-operation was left open";
  reporter.stopProgress();

  processor.clear();
  ParallelProgress again("Again", 5000);
  EXPECT_FALSE(again.cancelled());
  runWorkers(again, 4, 5000);
  EXPECT_NO_THROW(again.finish());
  ASSERT_FALSE(processor.values().empty());
  EXPECT_EQ(processor.values().front(), 0.0f);
  EXPECT_EQ(processor.values().back(), 1.0f);
  expectNeverDecreasing(processor.values());
}

TEST(ParallelProgress, MakesTheCallsOfATrackerWithOneAnnouncedEntry) {
  const long long totals[] = {0, 1, 7, 150, 250, 10001, 123456};
  for (const bool insideAnOperation : {false, true}) {
    for (const long long total : totals) {
      SCOPED_TRACE("total " + std::to_string(total) +
                   (insideAnOperation ? ", inside an operation" : ""));
      RecordingProgressReporter reporter;
      ScopedProgressReporter installed(reporter);
      if (insideAnOperation) reporter.startProgress();
      reporter.take();
      {
        ProgressTracker tracker("Mesh", true);
        tracker.add("Mesh", 1.0f, static_cast<int>(total));
        tracker.start(0, static_cast<int>(total));
        for (long long i = 0; i < total; ++i) tracker.increment();
      }
      const Calls expected = reporter.take();
      {
        ParallelProgress progress("Mesh", total);
        for (long long i = 0; i < total; ++i) progress.increment();
        progress.finish();
        EXPECT_EQ(progress.count(), total);
      }
      EXPECT_EQ(reporter.take(), expected);
    }
  }
}

TEST(ParallelProgress, CountsOnManyThreadsToExactlyOneReportingFromOneThreadAtATime) {
  struct Case {
    int threads;
    long long step;
  };
  // 70 threads are more than a progress keeps slots for on this machine
  // (64 at least): the others count straight into the shared total.
  const Case cases[] = {{4, 1}, {manyThreads(), 1}, {4, 7}, {manyThreads(), 3}, {70, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.threads) + " threads, step " + std::to_string(c.step));
    ApplicationProgressReporterImpl reporter;
    ScopedProgressReporter installed(reporter);
    RecordingProcessor processor(reporter);
    const long long total = 300000;
    ParallelProgress progress("Assemble", total);
    EXPECT_EQ(runWorkers(progress, c.threads, total, c.step), total);
    EXPECT_FALSE(progress.cancelled());
    progress.finish();

    EXPECT_EQ(progress.count(), total);
    EXPECT_EQ(reporter.getProgress(), 1.0f);
    EXPECT_EQ(processor.overlaps(), 0);
    const std::vector<float>& values = processor.values();
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), 0.0f);
    EXPECT_EQ(values.back(), 1.0f);
    expectNeverDecreasing(values);
    // Two reports of 0 when starting, at most one per hundredth while
    // counting (reports a hundredth apart at least), and at most two when
    // finishing. A reporting thread that is preempted while the others count
    // merges reports; nothing adds any.
    EXPECT_LE(values.size(), 2u + 100u + 2u);
    for (std::size_t i = 2; i + 2 < values.size(); ++i) {
      EXPECT_GE(values[i + 1] - values[i], 0.0099f) << "reports " << i << " and " << i + 1;
    }
  }
}

TEST(ParallelProgress, AFailingProcessorStopsEveryWorkerAndFinishRethrowsAfterClosingTheStep) {
  using Action = RecordingProcessor::Action;
  struct Case {
    const char* name;
    Action action;
    int threads;
  };
  const Case cases[] = {{"interrupt", Action::interrupt, 4},
                        {"interrupt", Action::interrupt, manyThreads()},
                        {"exception", Action::throwError, 4},
                        {"exception", Action::throwError, manyThreads()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(c.threads) + " threads");
    ApplicationProgressReporterImpl reporter;
    ScopedProgressReporter installed(reporter);
    RecordingProcessor processor(reporter);
    const long long total = 1000000;
    {
      ParallelProgress progress("Solve", total);
      processor.actAt(c.action, 0.5f);
      const long long counted =
          runWorkers(progress, c.threads, total, 1, 0, processor.requested());
      // The request came at the first report of at least one half; the cancel
      // reached every worker, which then counted nothing more.
      EXPECT_TRUE(progress.cancelled());
      ASSERT_GE(processor.countAtRequest(), total / 2);
      EXPECT_LE(counted - processor.countAtRequest(), c.threads);
      EXPECT_LT(counted, total);
      if (c.action == Action::interrupt) {
        EXPECT_THROW(progress.finish(), Interrupt);
      } else {
        try {
          progress.finish();
          ADD_FAILURE() << "finish() did not rethrow";
        } catch (const std::runtime_error& e) {
          EXPECT_STREQ(e.what(), "Display lost.");
        }
      }
      EXPECT_NO_THROW(progress.finish()) << "a second finish() rethrew";
    }
    // No report after the failing one: it was the first to reach one half.
    const std::vector<float>& values = processor.values();
    ASSERT_FALSE(values.empty());
    EXPECT_GE(values.back(), 0.5f);
    EXPECT_EQ(std::count_if(values.begin(), values.end(), [](float v) { return v >= 0.5f; }), 1);
    EXPECT_EQ(processor.overlaps(), 0);
    expectCleanAndAFreshRunFromZeroToOne(reporter, processor);
  }
}

TEST(ParallelProgress, InSoftAbortModeFollowsIsAbortedAndFinishCompletesTheStep) {
  ApplicationProgressReporterImpl reporter;
  reporter.setSoftAbortMode(true);
  ScopedProgressReporter installed(reporter);
  RecordingProcessor processor(reporter);
  const long long total = 400000;
  ParallelProgress progress("Solve", total);
  processor.actAt(RecordingProcessor::Action::interrupt, 0.5f);
  const long long counted = runWorkers(progress, 4, total, 1, 0, processor.requested());
  EXPECT_TRUE(progress.cancelled());
  EXPECT_TRUE(reporter.isAborted());
  ASSERT_GE(processor.countAtRequest(), total / 2);
  EXPECT_LE(counted - processor.countAtRequest(), 4);
  EXPECT_NO_THROW(progress.finish());
  EXPECT_EQ(processor.values().back(), 1.0f);
  expectNeverDecreasing(processor.values());
  reporter.setSoftAbortMode(false);
  expectCleanAndAFreshRunFromZeroToOne(reporter, processor);
}

TEST(ParallelProgress, CancelStopsEveryWorkerWithNothingToRethrow) {
  ApplicationProgressReporterImpl reporter;
  ScopedProgressReporter installed(reporter);
  RecordingProcessor processor(reporter);
  const long long total = 200000;
  ParallelProgress progress("Load", total);
  std::atomic<long long> counted{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < 4; ++w) {
    workers.emplace_back([&, w] {
      for (long long i = w; i < total; i += 4) {
        if (progress.cancelled()) continue;
        if (i == total / 3) progress.cancel();  // a worker found a fatal fault
        progress.increment();
        ++counted;
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_TRUE(progress.cancelled());
  EXPECT_LT(counted.load(), total);
  EXPECT_NO_THROW(progress.finish());
  EXPECT_EQ(processor.values().back(), 1.0f);
  expectCleanAndAFreshRunFromZeroToOne(reporter, processor);
}

// A thread that counts for two progresses in turn keeps a slot in each, and
// threads that end hand their slots to the threads that come after them.
TEST(ParallelProgress, LosesNoIncrementWhenThreadsSwitchProgressesOrComeAndGo) {
  RecordingProgressReporter reporter;
  ScopedProgressReporter installed(reporter);
  ParallelProgress outer("Outer", 90000);
  ParallelProgress inner("Inner", 60000);
  for (int round = 0; round < 3; ++round) {
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
      workers.emplace_back([&] {
        for (int i = 0; i < 5000; ++i) {
          outer.increment();
          if (i % 2 == 0) inner.increment(2);
          outer.increment(2);
        }
      });
    }
    for (std::thread& worker : workers) worker.join();
  }
  inner.finish();
  outer.finish();
  EXPECT_EQ(inner.count(), 60000);
  EXPECT_EQ(outer.count(), 180000);  // past its total: counted, reported as 1
  const Calls& calls = reporter.calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[calls.size() - 3], "reportProgress(1)");
  EXPECT_EQ(calls[calls.size() - 2], "popWeight");
  EXPECT_EQ(calls.back(), "stopProgress");
}

// Each reporter call in turn fails, every time it is made: whatever the
// constructor and finish() opened is closed, no report follows a failed one,
// and finish() rethrows the first failure.
TEST(ParallelProgress, ClosesWhatItOpenedWhicheverReporterCallFails) {
  struct Case {
    const char* failing;
    bool failLater;  // fails only once the constructor has run
    Calls expected;
  };
  const Case cases[] = {
      {"startProgress", false, {"startProgress"}},
      {"setOperationName", false, {"startProgress", "setOperationName(Run)", "stopProgress"}},
      {"reportProgress",
       false,
       {"startProgress", "setOperationName(Run)", "reportProgress(0)", "stopProgress"}},
      {"pushWeight",
       false,
       {"startProgress", "setOperationName(Run)", "reportProgress(0)", "pushWeight(1)",
        "stopProgress"}},
      {"reportProgress",
       true,
       {"startProgress", "setOperationName(Run)", "reportProgress(0)", "pushWeight(1)",
        "setOperationName(Run)", "reportProgress(0)", "reportProgress(0.5)", "popWeight",
        "stopProgress"}},
      {"popWeight",
       true,
       {"startProgress", "setOperationName(Run)", "reportProgress(0)", "pushWeight(1)",
        "setOperationName(Run)", "reportProgress(0)", "reportProgress(0.5)",
        "reportProgress(1)", "reportProgress(1)", "popWeight", "stopProgress"}},
      {"stopProgress",
       true,
       {"startProgress", "setOperationName(Run)", "reportProgress(0)", "pushWeight(1)",
        "setOperationName(Run)", "reportProgress(0)", "reportProgress(0.5)",
        "reportProgress(1)", "reportProgress(1)", "popWeight", "stopProgress"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.failing) + (c.failLater ? " after the constructor" : ""));
    RecordingProgressReporter reporter;
    ScopedProgressReporter installed(reporter);
    if (!c.failLater) reporter.throwFrom(c.failing);
    ParallelProgress progress("Run", 2);
    if (c.failLater) reporter.throwFrom(c.failing);
    progress.increment();
    progress.increment();
    EXPECT_EQ(progress.cancelled(), !c.failLater || std::string(c.failing) == "reportProgress");
    EXPECT_THROW(progress.finish(), internal::error);
    EXPECT_EQ(reporter.calls(), c.expected);
  }
}

TEST(ParallelProgress, DestructorWithoutFinishClosesTheStepAndReportsWhatItCaught) {
  RecordingProgressReporter reporter;
  ScopedProgressReporter installed(reporter);
  test::RecordingErrorReporter errors;
  test::ScopedErrorReporter errorsInstalled(errors);
  {
    ParallelProgress progress("Run", 100);
    reporter.throwFrom("reportProgress");
    for (int i = 0; i < 100; ++i) progress.increment();
    EXPECT_TRUE(progress.cancelled());
  }
  const Calls& calls = reporter.calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "popWeight");
  EXPECT_EQ(calls.back(), "stopProgress");
  ASSERT_EQ(errors.records().size(), 1u);
  EXPECT_EQ(errors.records()[0].className(), "ParallelProgress");
  EXPECT_EQ(errors.records()[0].methodName(), "~ParallelProgress");
  EXPECT_EQ(errors.records()[0].message(), "Caught exception");
  EXPECT_EQ(errors.records()[0].type(), typeUnspecified);
}

}  // namespace
}  // namespace zel
