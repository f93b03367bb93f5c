// Runs the tests on every rank of the job between MPI_Init and MPI_Finalize.
// Every rank runs every test; a rank's failures are printed with its number,
// and the program fails on every rank when a test failed on any.
#include <gtest/gtest.h>
#include <mpi.h>
#include <zel/Error.h>

#include <string>

namespace {

// Puts the rank in front of each failure, so the job's output says where.
class RankPrinter : public testing::EmptyTestEventListener {
 public:
  explicit RankPrinter(int rank) : m_rank(rank) {}
  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (result.failed()) {
      std::printf("rank %d: %s:%d: %s\n", m_rank, result.file_name() ? result.file_name() : "",
                  result.line_number(), result.summary());
    }
  }

 private:
  int m_rank;
};

}  // namespace

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  testing::InitGoogleTest(&argc, argv);
  testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
  if (rank != 0) {
    // One rank prints the progress of the run; the others only their failures.
    delete listeners.Release(listeners.default_result_printer());
    listeners.Append(new RankPrinter(rank));
  }
  int failed = 0;
  try {
    failed = RUN_ALL_TESTS() != 0 ? 1 : 0;
  } catch (const zel::Error& e) {
    std::printf("rank %d: %s::%s: %s\n", rank, e.getClass().c_str(), e.getMethod().c_str(),
                e.getMessage().c_str());
    failed = 1;
  }
  MPI_Allreduce(MPI_IN_PLACE, &failed, 1, MPI_INT, MPI_LOR, MPI_COMM_WORLD);
  if (failed && rank == 0) std::printf("[  FAILED  ] on at least one rank\n");
  MPI_Finalize();
  return failed;
}
