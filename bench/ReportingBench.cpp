// Reporting: one message reported through the process-wide front into an
// application reporter (its log going nowhere) and taken out as a display
// queue, against spdlog writing the same log line to a null sink.
#include <benchmark/benchmark.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/NullErrorReporterImpl.h>
#include <zel/OutputMessageQueue.h>

#include <string>

#ifdef ZEL_BENCH_HAVE_SPDLOG
#include <spdlog/logger.h>
#include <spdlog/sinks/null_sink.h>
#endif

namespace {

const std::string kText = "Value 17 of 3.5 is out of range";

void Reporting_ErrorReporter(benchmark::State& state) {
  const zel::ErrorLogFile::Sink previous =
      zel::ErrorLogFile::setSink([](const std::string&) {});
  zel::ApplicationErrorReporterImpl reporter;
  zel::ErrorReporter::instance(&reporter);
  for (auto _ : state) {
    zel::ErrorReporter::instance()->reportError(
        zel::ErrorMsg("Solver", "solve", kText, zel::typeWarning));
    zel::OutputMessageQueue queue;
    reporter.takeMessageQueue(queue);
    benchmark::DoNotOptimize(queue.getText().data());
  }
  static zel::NullErrorReporterImpl discard;
  zel::ErrorReporter::instance(&discard);
  zel::ErrorLogFile::setSink(previous);
}
BENCHMARK(Reporting_ErrorReporter);

#ifdef ZEL_BENCH_HAVE_SPDLOG
void Reporting_spdlog(benchmark::State& state) {
  spdlog::logger logger("bench",
                        std::make_shared<spdlog::sinks::null_sink_mt>());
  for (auto _ : state) {
    logger.warn("{}::{} - {}", "Solver", "solve", kText);
  }
}
BENCHMARK(Reporting_spdlog);
#endif

}  // namespace
