// The progress exchange on a job of several ranks: the job's progress on the
// root, an interrupt that reaches every rank, and the ways out of a job.
// Every rank runs every test; ranks differ by their number.
#include <gtest/gtest.h>
#include <mpi.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/InternalError.h>
#include <zel/Interrupt.h>
#include <zel/ProgressTracker.h>
#include <zel/mpi/ProgressExchange.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace zel::mpi {
namespace {

using namespace std::chrono_literals;

int worldSize() {
  int size = 0;
  MPI_Comm_size(MPI_COMM_WORLD, &size);
  return size;
}

// Installs a reporter for the trackers of one test.
class Installed {
 public:
  explicit Installed(ApplicationProgressReporterImpl& reporter) {
    ProgressTracker::setReporter(&reporter);
  }
  ~Installed() { ProgressTracker::setReporter(nullptr); }
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;
};

// Counts `units` increments on a tracker of its own, pausing before each;
// beforeUnit(i) runs before unit i.
void work(
    int units, std::chrono::microseconds pause,
    const std::function<void(int)>& beforeUnit = [](int) {}) {
  ProgressTracker tracker("work", true);
  tracker.add("units", 1.0f, units);
  tracker.start(std::size_t{0}, units);
  for (int i = 0; i < units; ++i) {
    beforeUnit(i);
    std::this_thread::sleep_for(pause);
    tracker.increment();
  }
}

// A processor of the rank's own that asks for an interrupt when told to.
class LocalStop : public MidOpProcessor {
 public:
  int process() override { return stop ? 1 : 0; }
  bool stop = false;
};

// Ranks work in the ratio 1:2:3:4 and report as they go; the root, done first,
// polls the job until the slowest rank has finished.
TEST(ProgressExchange, JobProgressNeverDecreasesAndEndsAtOne) {
  ApplicationProgressReporterImpl reporter;
  Installed installed(reporter);
  ProgressExchange exchange(MPI_COMM_WORLD, reporter);
  std::vector<float> job;
  work(300 * (exchange.rank() + 1), 500us, [&](int) {
    if (exchange.isRoot()) job.push_back(exchange.jobProgress());
  });
  if (exchange.isRoot()) {
    job.push_back(exchange.jobProgress());
    while (job.back() < 1.0f) {
      std::this_thread::sleep_for(1ms);
      job.push_back(exchange.jobProgress());
    }
    EXPECT_TRUE(std::is_sorted(job.begin(), job.end()));
    EXPECT_EQ(job.front(), 0.0f) << "the other ranks had not reported yet";
    EXPECT_EQ(job.back(), 1.0f);
    const auto between = std::count_if(job.begin(), job.end(),
                                       [](float value) { return value > 0.0f && value < 1.0f; });
    EXPECT_GT(between, 0) << "the job's progress moved in steps, not at the end alone";
    for (int rank = 0; rank < exchange.size(); ++rank) {
      SCOPED_TRACE(rank);
      EXPECT_EQ(exchange.rankProgress(rank), 1.0f);
    }
  } else {
    EXPECT_EQ(exchange.jobProgress(), 0.0f) << "only the root knows the job";
    EXPECT_EQ(exchange.rankProgress(exchange.rank()), 1.0f);
  }
  exchange.close();
  EXPECT_TRUE(exchange.isClosed());
  if (exchange.isRoot()) {
    EXPECT_EQ(exchange.jobProgress(), 1.0f);
  }
}

// A rank whose last report fell short of 1, or within the publish interval,
// counts as done once it says so.
TEST(ProgressExchange, AFinishedRankCountsAsDone) {
  ApplicationProgressReporterImpl reporter;
  reporter.startProgress();
  reporter.setOperationName("step");
  ProgressExchange exchange(MPI_COMM_WORLD, reporter);
  exchange.setPublishInterval(std::chrono::hours(1));
  reporter.reportProgress(0.25f);
  reporter.reportProgress(0.5f);  // within the interval: not sent
  if (exchange.isRoot()) {
    while (exchange.jobProgress() < 0.25f) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(exchange.jobProgress(), exchange.size() == 1 ? 0.5f : 0.25f);
  }
  MPI_Barrier(MPI_COMM_WORLD);
  exchange.markFinished();
  if (exchange.isRoot()) {
    while (exchange.jobProgress() < 1.0f) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(exchange.rankProgress(exchange.size() - 1), 1.0f);
  }
  exchange.close();
  reporter.stopProgress();
}

// Rank 2 cancels the job at 30 % of its work. Uninterrupted, every rank would
// work for seconds; each stops at its next report after the request arrives.
TEST(ProgressExchange, InterruptFromOneRankStopsEveryRankEarly) {
  if (worldSize() < 3) GTEST_SKIP() << "needs a rank 2";
  ApplicationProgressReporterImpl reporter;
  Installed installed(reporter);
  ProgressExchange exchange(MPI_COMM_WORLD, reporter);
  constexpr int kUnits = 3000;
  int reached = -1;
  bool caught = false;
  try {
    work(kUnits, 1ms, [&](int unit) {
      reached = unit;
      if (exchange.rank() == 2 && unit == kUnits * 3 / 10) exchange.requestInterrupt();
    });
  } catch (const Interrupt&) {
    caught = true;
  }
  EXPECT_TRUE(caught);
  EXPECT_LT(reached, kUnits * 9 / 10) << "stopped well before the work was done";
  if (exchange.rank() == 2) {
    EXPECT_LE(reached, kUnits * 3 / 10 + kUnits / 50);
  }
  EXPECT_TRUE(exchange.interruptRequested());
  EXPECT_TRUE(exchange.agreeOnInterrupt());
  EXPECT_EQ(exchange.process(), 1) << "every later report interrupts too";
  exchange.requestInterrupt();  // known already: sends nothing more
  exchange.close();
  EXPECT_EQ(exchange.process(), 0) << "a closed exchange interrupts nothing";
}

// Without a request nobody stops; a rank stopped by a processor of its own
// (soft abort recorded by its reporter, or an Interrupt it caught) makes every
// rank agree to stop, and from then on every rank's reports interrupt.
TEST(ProgressExchange, RanksInterruptedByTheirOwnProcessorsAgree) {
  const int size = worldSize();
  for (int stopping : {-1, 1 % size, 3 % size}) {
    SCOPED_TRACE(stopping);
    ApplicationProgressReporterImpl reporter;
    ProgressExchange exchange(MPI_COMM_WORLD, reporter);
    LocalStop own;
    reporter.registerMidOpProcessor(&own);
    const bool soft = stopping == 1 % size && stopping != 3 % size;
    reporter.setSoftAbortMode(soft);
    reporter.startProgress();
    reporter.setOperationName("step");
    own.stop = exchange.rank() == stopping;
    bool interruptedHere = false;
    try {
      reporter.reportProgress(0.5f);
    } catch (const Interrupt&) {
      interruptedHere = true;
    }
    own.stop = false;
    const bool expected = stopping >= 0;
    EXPECT_EQ(exchange.agreeOnInterrupt(interruptedHere), expected);
    if (!soft) reporter.setSoftAbortMode(true);
    reporter.reportProgress(0.6f);
    EXPECT_EQ(reporter.isAborted(), expected);
    reporter.stopProgress();
    reporter.unregisterMidOpProcessor(&own);
    exchange.close();
  }
}

// An exchange destroyed without close() leaves its reporter without it and MPI
// usable: a new exchange sees none of the old one's messages, and the program
// still ends with MPI_Finalize.
TEST(ProgressExchange, UnclosedExchangeLeavesTheReporterAndMpiUsable) {
  ApplicationProgressReporterImpl reporter;
  reporter.startProgress();
  reporter.setOperationName("step");
  {
    ProgressExchange unclosed(MPI_COMM_WORLD, reporter);
    unclosed.setPublishInterval(0us);
    reporter.reportProgress(0.25f);
    MPI_Barrier(MPI_COMM_WORLD);  // no rank reports after the request below
    if (unclosed.rank() == 1 % unclosed.size()) unclosed.requestInterrupt();
  }
  EXPECT_NO_THROW(reporter.reportProgress(0.5f)) << "the destroyed exchange is not called";
  ProgressExchange fresh(MPI_COMM_WORLD, reporter);
  MPI_Barrier(MPI_COMM_WORLD);
  EXPECT_FALSE(fresh.interruptRequested());
  if (fresh.isRoot()) {
    EXPECT_EQ(fresh.rankProgress(1 % fresh.size()), 0.0f) << "the old exchange's report";
  }
  EXPECT_FALSE(fresh.agreeOnInterrupt());
  reporter.reportProgress(0.75f);
  fresh.close();
  if (fresh.isRoot()) {
    EXPECT_EQ(fresh.jobProgress(), 0.75f);
  }
  reporter.stopProgress();
}

TEST(ProgressExchange, RejectsARootOutsideTheCommunicator) {
  ApplicationProgressReporterImpl reporter;
  for (int root : {-1, worldSize()}) {
    SCOPED_TRACE(root);
    EXPECT_THROW(ProgressExchange(MPI_COMM_WORLD, reporter, root), internal::badParam);
  }
  // The last root of the job is as good as the first.
  ProgressExchange exchange(MPI_COMM_WORLD, reporter, worldSize() - 1);
  EXPECT_EQ(exchange.isRoot(), exchange.rank() == worldSize() - 1);
  exchange.close();
  EXPECT_THROW(exchange.agreeOnInterrupt(), internal::error);
}

}  // namespace
}  // namespace zel::mpi
