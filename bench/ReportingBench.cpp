// Reporting: one message reported through the process-wide front into an
// application reporter (its log going nowhere) and taken out as a display
// queue, against spdlog writing the same log line to a null sink: one text
// again and again, and 1,000 distinct texts in turn.
#include <benchmark/benchmark.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/NullErrorReporterImpl.h>
#include <zel/OutputMessageQueue.h>

#include <string>
#include <vector>

#include "BenchData.h"

#ifdef ZEL_BENCH_HAVE_SPDLOG
#include <spdlog/logger.h>
#include <spdlog/sinks/null_sink.h>
#endif

namespace {

const std::vector<std::string>& oneText() {
  static const std::vector<std::string> texts = {"Value 17 of 3.5 is out of range"};
  return texts;
}

const std::vector<std::string>& distinctTexts() {
  static const std::vector<std::string> texts = zel::bench::messageTexts(1000, 4);
  return texts;
}

void reportAll(benchmark::State& state, const std::vector<std::string>& texts) {
  const zel::ErrorLogFile::Sink previous =
      zel::ErrorLogFile::setSink([](const std::string&) {});
  zel::ApplicationErrorReporterImpl reporter;
  zel::ErrorReporter::instance(&reporter);
  std::size_t i = 0;
  for (auto _ : state) {
    zel::ErrorReporter::instance()->reportError(
        zel::ErrorMsg("Solver", "solve", texts[i++ % texts.size()], zel::typeWarning));
    zel::OutputMessageQueue queue;
    reporter.takeMessageQueue(queue);
    benchmark::DoNotOptimize(queue.getText().data());
  }
  static zel::NullErrorReporterImpl discard;
  zel::ErrorReporter::instance(&discard);
  zel::ErrorLogFile::setSink(previous);
}

void Reporting_ErrorReporter(benchmark::State& state) { reportAll(state, oneText()); }
BENCHMARK(Reporting_ErrorReporter);

void Reporting_ErrorReporterDistinct(benchmark::State& state) {
  reportAll(state, distinctTexts());
}
BENCHMARK(Reporting_ErrorReporterDistinct);

#ifdef ZEL_BENCH_HAVE_SPDLOG
void spdlogAll(benchmark::State& state, const std::vector<std::string>& texts) {
  spdlog::logger logger("bench", std::make_shared<spdlog::sinks::null_sink_mt>());
  std::size_t i = 0;
  for (auto _ : state) {
    logger.warn("{}::{} - {}", "Solver", "solve", texts[i++ % texts.size()]);
  }
}

void Reporting_spdlog(benchmark::State& state) { spdlogAll(state, oneText()); }
BENCHMARK(Reporting_spdlog);

void Reporting_spdlogDistinct(benchmark::State& state) {
  spdlogAll(state, distinctTexts());
}
BENCHMARK(Reporting_spdlogDistinct);
#endif

}  // namespace
