// zel-bench-mpi: the demo's workload on every rank of an MPI job, with and
// without a ProgressExchange registered with each rank's reporter. Run it
// under mpirun; rank 0 prints the times. Each case runs a fixed number of
// iterations, so that every rank makes the same collective calls (the
// exchange's constructor and close()) in the same order.
//
//   mpirun -np 4 zel-bench-mpi --benchmark_repetitions=5
//
// MpiDemo_Fast is the demo's simulation without its artificial delay: nothing
// but counting, reporting and the processors, the exchange's worst case.
// MpiDemo_Paced keeps the delay (about three seconds per run, as the demo).
#include <benchmark/benchmark.h>
#include <mpi.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/ProgressBudgetDirector.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressTracker.h>
#include <zel/TranslationManager.h>
#include <zel/mpi/ProgressExchange.h>

#include <fstream>
#include <memory>

#include "AnalysisBudget.h"
#include "Simulation.h"

namespace {

void runDemo(benchmark::State& state, bool fast) {
  const int steps = static_cast<int>(state.range(0));
  const bool withExchange = state.range(1) != 0;
  zel::ApplicationProgressReporterImpl progress;
  zel::ProgressTracker::setReporter(&progress);
  demo::AnalysisBudgetBuilder builder;
  zel::ProgressBudgetDirector director;
  director.setBuilder(&builder);
  std::unique_ptr<zel::ProgressBudget> budget(director.constructBudget());
  std::unique_ptr<zel::mpi::ProgressExchange> exchange;
  if (withExchange)
    exchange = std::make_unique<zel::mpi::ProgressExchange>(MPI_COMM_WORLD, progress);

  const demo::SimulationSettings settings{steps, fast};
  for (auto _ : state) {
    benchmark::DoNotOptimize(demo::runSimulation(settings, *budget, progress, progress));
    if (exchange) exchange->markFinished();
  }
  if (exchange) exchange->close();
  zel::ProgressTracker::setReporter(nullptr);
  zel::ProgressFunction::setBudget(nullptr);
}

void MpiDemo_Fast(benchmark::State& state) { runDemo(state, true); }
void MpiDemo_Paced(benchmark::State& state) { runDemo(state, false); }

BENCHMARK(MpiDemo_Fast)
    ->ArgNames({"steps", "exchange"})
    ->Args({200, 0})
    ->Args({200, 1})
    ->Args({20000, 0})
    ->Args({20000, 1})
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(MpiDemo_Paced)
    ->ArgNames({"steps", "exchange"})
    ->Args({200, 0})
    ->Args({200, 1})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  benchmark::Initialize(&argc, argv);
  // The demo's texts stay in English: nothing here is shown.
  zel::TranslationManager::disableTranslations();
  if (rank == 0) {
    benchmark::RunSpecifiedBenchmarks();
  } else {
    // The other ranks run the same cases and keep quiet.
    std::ofstream nowhere;
    benchmark::ConsoleReporter quiet;
    quiet.SetOutputStream(&nowhere);
    quiet.SetErrorStream(&nowhere);
    benchmark::RunSpecifiedBenchmarks(&quiet);
  }
  benchmark::Shutdown();
  MPI_Finalize();
  return 0;
}
