// The console display's cost: the counting benchmark's entry of 1,000,000
// increments with a ConsoleProgress registered beside the counting processor,
// drawing as on an 80-column terminal into a stream that discards everything.
// compare.py sets it against the same entry without the display.
#include <benchmark/benchmark.h>
#include <zel/ConsoleProgress.h>
#include <zel/ProgressTracker.h>

#include <ostream>
#include <streambuf>

#include "InstalledReporter.h"

namespace {

constexpr int kEntryIncrements = 1000000;

class DiscardingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void Counting_TrackerEntryWithConsole(benchmark::State& state) {
  zel::bench::InstalledReporter installed;
  DiscardingBuffer buffer;
  std::ostream out(&buffer);
  zel::ConsoleProgressOptions options;
  options.output = &out;
  options.terminal = true;
  options.width = [] { return 80; };
  {
    zel::ConsoleProgress display(installed.reporter, options);
    for (auto _ : state) {
      zel::ProgressTracker tracker("Count", false);
      tracker.add("Entry", 1.0f, kEntryIncrements);
      tracker.start(std::size_t{0}, kEntryIncrements);
      for (int i = 0; i < kEntryIncrements; ++i) {
        tracker.increment();
        benchmark::ClobberMemory();
      }
    }
  }
  state.counters["processor_calls"] =
      static_cast<double>(installed.processor.calls) / static_cast<double>(state.iterations());
}
BENCHMARK(Counting_TrackerEntryWithConsole)->Unit(benchmark::kMillisecond);

}  // namespace
