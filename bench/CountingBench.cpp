// Counting: ProgressTracker::increment() against the same counters kept
// inline, for a count whose next report is not due and for a whole entry.
#include <benchmark/benchmark.h>
#include <zel/ProgressTracker.h>

#include <climits>

#include "InstalledReporter.h"

namespace {

using zel::ProgressTracker;

constexpr int kEntryIncrements = 1000000;

// What a tracker keeps for its started entry, counted without the library:
// stop at the total, report when the count reaches the next notification.
struct BareCounter {
  int count = 0;
  int total = 0;
  int next = 0;
  int step = 0;
  int reports = 0;

  void increment() {
    if (count >= total) return;
    if (++count < next) return;
    next = count + step;
    ++reports;
  }
};

using zel::bench::InstalledReporter;

void Counting_TrackerIncrement(benchmark::State& state) {
  InstalledReporter installed;
  ProgressTracker tracker("Count", false);
  tracker.add("Entry", 1.0f, INT_MAX);
  // With one report per entry, the only report after the start is at the end.
  tracker.setNotifyFrequency(1);
  tracker.start(std::size_t{0}, INT_MAX);
  for (auto _ : state) {
    tracker.increment();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Counting_TrackerIncrement);

void Counting_BareIncrement(benchmark::State& state) {
  BareCounter counter;
  counter.total = counter.next = counter.step = INT_MAX;
  benchmark::DoNotOptimize(&counter);
  for (auto _ : state) {
    counter.increment();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Counting_BareIncrement);

void Counting_TrackerEntry(benchmark::State& state) {
  InstalledReporter installed;
  for (auto _ : state) {
    ProgressTracker tracker("Count", false);
    tracker.add("Entry", 1.0f, kEntryIncrements);
    tracker.start(std::size_t{0}, kEntryIncrements);
    for (int i = 0; i < kEntryIncrements; ++i) {
      tracker.increment();
      benchmark::ClobberMemory();
    }
  }
  state.counters["processor_calls"] =
      static_cast<double>(installed.processor.calls) /
      static_cast<double>(state.iterations());
}
BENCHMARK(Counting_TrackerEntry)->Unit(benchmark::kMillisecond);

void Counting_BareEntry(benchmark::State& state) {
  for (auto _ : state) {
    BareCounter counter;
    counter.total = kEntryIncrements;
    counter.next = counter.step = kEntryIncrements / 100;
    benchmark::DoNotOptimize(&counter);
    for (int i = 0; i < kEntryIncrements; ++i) {
      counter.increment();
      benchmark::ClobberMemory();
    }
  }
}
BENCHMARK(Counting_BareEntry)->Unit(benchmark::kMillisecond);

}  // namespace
