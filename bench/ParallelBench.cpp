// Parallel counting: two threads counting 10,000,000 increments in all with
// ParallelProgress, against the same loop on one shared std::atomic and
// against each thread counting in a local variable. Every loop checks a
// cancel flag per iteration, as the documented pattern does. Times are wall
// times of the whole parallel run (manual time), thread start included.
// Parallel_CancelReach measures how far the workers count after a processor
// requests an interrupt, in report intervals.
#include <benchmark/benchmark.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/Interrupt.h>
#include <zel/MidOpProcessor.h>
#include <zel/ParallelProgress.h>
#include <zel/ProgressTracker.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "InstalledReporter.h"

namespace {

constexpr int kThreads = 2;
constexpr long long kIncrements = 10000000;

using Clock = std::chrono::steady_clock;

// Runs `body(thread index, iterations)` on kThreads threads, the increments
// split evenly, and reports the wall time of the run.
// The CPU time of the threads, summed, goes to the counter thread_cpu_ms: on
// a machine shared with other work it is steadier than the wall time.
template <typename Body>
void timeParallelRun(benchmark::State& state, Body body) {
  const auto start = Clock::now();
  std::atomic<long long> cpuNanoseconds{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&body, &cpuNanoseconds, t] {
      body(t, kIncrements / kThreads);
      timespec used{};
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
      cpuNanoseconds += used.tv_sec * 1000000000LL + used.tv_nsec;
    });
  }
  for (std::thread& thread : threads) thread.join();
  state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  benchmark::Counter& cpu = state.counters["thread_cpu_ms"];
  cpu.flags = benchmark::Counter::kAvgIterations;
  cpu.value += static_cast<double>(cpuNanoseconds.load()) / 1e6;
}

void Parallel_SharedAtomic(benchmark::State& state) {
  for (auto _ : state) {
    std::atomic<bool> cancelled{false};
    std::atomic<long long> counter{0};
    timeParallelRun(state, [&](int, long long n) {
      for (long long i = 0; i < n; ++i) {
        if (cancelled.load(std::memory_order_relaxed)) continue;
        counter.fetch_add(1, std::memory_order_relaxed);
      }
    });
    if (counter.load() != kIncrements) state.SkipWithError("lost increments");
  }
}
BENCHMARK(Parallel_SharedAtomic)->UseManualTime()->Unit(benchmark::kMillisecond);

void Parallel_ThreadLocal(benchmark::State& state) {
  for (auto _ : state) {
    std::atomic<bool> cancelled{false};
    std::atomic<long long> counter{0};
    timeParallelRun(state, [&](int, long long n) {
      long long local = 0;
      for (long long i = 0; i < n; ++i) {
        if (cancelled.load(std::memory_order_relaxed)) continue;
        ++local;
        benchmark::DoNotOptimize(local);
      }
      counter.fetch_add(local);
    });
    if (counter.load() != kIncrements) state.SkipWithError("lost increments");
  }
}
BENCHMARK(Parallel_ThreadLocal)->UseManualTime()->Unit(benchmark::kMillisecond);

void Parallel_ParallelProgress(benchmark::State& state) {
  zel::bench::InstalledReporter installed;
  zel::bench::CountingProcessor& processor = installed.processor;
  for (auto _ : state) {
    processor.calls = 0;
    zel::ParallelProgress progress("Count", kIncrements);
    timeParallelRun(state, [&](int, long long n) {
      for (long long i = 0; i < n; ++i) {
        if (progress.cancelled()) continue;
        progress.increment();
      }
    });
    progress.finish();
    if (progress.count() != kIncrements) state.SkipWithError("lost increments");
  }
  state.counters["processor_calls"] = processor.calls;
}
BENCHMARK(Parallel_ParallelProgress)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each worker's count, on a line of its own, readable at any moment.
struct alignas(64) WorkerCount {
  std::atomic<long long> value{0};
};

// Interrupts at one half and records what the workers had counted at the
// request; the workers note when they first see cancelled().
class InterruptingProcessor final : public zel::MidOpProcessor {
 public:
  InterruptingProcessor(zel::ApplicationProgressReporterImpl& reporter,
                        const std::vector<WorkerCount>& counts)
      : m_reporter(reporter), m_counts(counts) {}
  int process() override {
    if (m_reporter.getProgress() < 0.5f || countAtRequest >= 0) return 0;
    countAtRequest = 0;
    for (const WorkerCount& count : m_counts) countAtRequest += count.value.load();
    requestTime = Clock::now();
    return 1;
  }
  long long countAtRequest = -1;
  Clock::time_point requestTime;

 private:
  zel::ApplicationProgressReporterImpl& m_reporter;
  const std::vector<WorkerCount>& m_counts;
};

void Parallel_CancelReach(benchmark::State& state) {
  zel::ApplicationProgressReporterImpl reporter;
  zel::ProgressTracker::setReporter(&reporter);
  std::vector<double> intervals;
  std::vector<double> reach;
  double intervalMicroseconds = 0.0;
  for (auto _ : state) {
    const auto start = Clock::now();
    zel::ParallelProgress progress("Cancel", kIncrements);
    std::vector<WorkerCount> counts(kThreads);
    InterruptingProcessor processor(reporter, counts);
    reporter.registerMidOpProcessor(&processor);
    std::vector<Clock::time_point> seen(kThreads, Clock::time_point::min());
    timeParallelRun(state, [&](int t, long long n) {
      std::atomic<long long>& mine = counts[static_cast<std::size_t>(t)].value;
      for (long long i = 0; i < n; ++i) {
        if (progress.cancelled()) {
          seen[static_cast<std::size_t>(t)] = Clock::now();
          break;
        }
        mine.store(i + 1, std::memory_order_relaxed);
        progress.increment();
      }
    });
    reporter.unregisterMidOpProcessor(&processor);
    try {
      progress.finish();
      state.SkipWithError("no interrupt");
      break;
    } catch (const zel::Interrupt&) {
    }
    // One report interval: a hundredth of the increments, and the time the
    // first half took per hundredth.
    const double after = static_cast<double>(progress.count() - processor.countAtRequest);
    intervals.push_back(after / (kIncrements / 100.0));
    const auto lastSeen = *std::max_element(seen.begin(), seen.end());
    reach.push_back(
        std::chrono::duration<double, std::micro>(lastSeen - processor.requestTime).count());
    intervalMicroseconds =
        std::chrono::duration<double, std::micro>(processor.requestTime - start).count() / 50.0;
  }
  // Increments counted after the request, in report intervals (<= 1 meets
  // the goal), and the time until the last worker saw the cancel: the median
  // of the runs, and the worst run (on a loaded machine, a worker that is not
  // scheduled sees the cancel late but counts nothing meanwhile).
  auto median = [](std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
  };
  state.counters["after_cancel_intervals"] = median(intervals);
  state.counters["after_cancel_intervals_worst"] =
      intervals.empty() ? 0.0 : *std::max_element(intervals.begin(), intervals.end());
  state.counters["reach_us"] = median(reach);
  state.counters["interval_us"] = intervalMicroseconds;
  zel::ProgressTracker::setReporter(nullptr);
}
BENCHMARK(Parallel_CancelReach)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
