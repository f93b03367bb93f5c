// An MPI application built against the installed package: one rank reports
// progress through the exchange and gathers its own reports.
#include <mpi.h>
#include <zel/ZELError.h>
#include <zel/mpi/MessageGathering.h>
#include <zel/mpi/ProgressExchange.h>

#include <cstdio>

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  int failures = 0;
  {
    zel::ApplicationProgressReporterImpl progress;
    zel::mpi::ProgressExchange exchange(MPI_COMM_WORLD, progress);
    progress.startProgress();
    progress.setOperationName("work");
    progress.reportProgress(1.0f);
    if (exchange.jobProgress() != 1.0f) ++failures;

    zel::ApplicationErrorReporterImpl errors;
    errors.setVerboseMode(false);
    errors.reportError(zel::ErrorMsg("consumer", "main", "installed", zel::typeNotice));
    zel::OutputMessageQueue queue;
    zel::mpi::gatherMessageQueue(errors, zel::allTypes, queue, MPI_COMM_WORLD);
    if (queue.empty() || queue.getText() != "installed") ++failures;
    exchange.close();
    progress.stopProgress();
  }
  MPI_Finalize();
  std::printf("%s\n", failures == 0 ? "ZELError::MPI works" : "ZELError::MPI failed");
  return failures;
}
