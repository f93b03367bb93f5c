// The stored reports of every rank brought to the root's queue.
#include <gtest/gtest.h>
#include <mpi.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/DataError.h>
#include <zel/ErrorTagIF.h>
#include <zel/InternalError.h>
#include <zel/mpi/MessageGathering.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace zel::mpi {
namespace {

using Lines = std::vector<std::string>;

int worldRank() {
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  return rank;
}

int worldSize() {
  int size = 0;
  MPI_Comm_size(MPI_COMM_WORLD, &size);
  return size;
}

class FixedTag : public ErrorTagIF {
 public:
  explicit FixedTag(int tag) : m_tag(static_cast<ErrorTag::ErrorTagType>(tag)) {}
  ErrorTag::ErrorTagType currentTag() const override { return m_tag; }

 private:
  ErrorTag::ErrorTagType m_tag;
};

// Reads a queue the way a user interface does, as "severity:text:tag" lines.
Lines shown(OutputMessageQueue& queue) {
  Lines lines;
  for (; !queue.empty(); queue.pop())
    lines.push_back(std::to_string(queue.getSeverity()) + ":" + queue.getText() + ":" +
                    std::to_string(queue.getErrorTag()));
  return lines;
}

void report(ApplicationErrorReporterImpl& reporter, const std::string& text, errorType type) {
  reporter.reportError(ErrorMsg("Worker", "run", text + "<untranslated>log " + text, type));
}

// Each rank stores 100 warnings of its own and the same 50 errors as every
// other rank (tagged with its number + 1) and a notice outside the first mask.
TEST(GatherMessageQueue, RootReceivesEveryRanksReportsOnce) {
  test::LogCapture log;
  const int rank = worldRank();
  const int size = worldSize();
  ApplicationErrorReporterImpl reporter;
  reporter.setVerboseMode(false);
  reporter.registerErrorTagIF(new FixedTag(rank + 1));
  for (int i = 0; i < 100; ++i) {
    report(reporter, "rank " + std::to_string(rank) + " warning " + std::to_string(i), typeWarning);
  }
  for (int i = 0; i < 50; ++i) report(reporter, "shared " + std::to_string(i), typeError);
  report(reporter, "notice", typeNotice);

  OutputMessageQueue queue;
  gatherMessageQueue(reporter, errorType(typeWarning | typeError), queue, MPI_COMM_WORLD);
  EXPECT_FALSE(reporter.hasMessages(errorType(typeWarning | typeError)));
  EXPECT_TRUE(reporter.hasMessages(typeNotice)) << "outside the mask: still stored";
  Lines expected;
  if (rank == 0) {
    for (int from = 0; from < size; ++from) {
      const std::string tag = std::to_string(from + 1);
      for (int i = 0; i < 100; ++i) {
        expected.push_back("8:rank " + std::to_string(from) + " warning " + std::to_string(i) +
                           ":" + tag);
      }
      // The root's queue accepts a shared text once, from the first rank.
      for (int i = 0; from == 0 && i < 50; ++i) {
        expected.push_back("4:shared " + std::to_string(i) + ":1");
      }
    }
  }
  const Lines gathered = shown(queue);
  EXPECT_EQ(gathered.size(), rank == 0 ? 100u * size + 50u : 0u);
  EXPECT_EQ(gathered, expected);

  // The queue keeps refusing what it showed; what is left comes once.
  report(reporter, "shared 0", typeError);
  gatherMessageQueue(reporter, allTypes, queue, MPI_COMM_WORLD);
  EXPECT_EQ(shown(queue), rank == 0 ? Lines{"64:notice:1"} : Lines{});
  EXPECT_FALSE(reporter.hasMessages()) << "every storage is empty";
  EXPECT_EQ(log.entries().size(), 152u) << "each report was logged where it was made";
}

// A reporter that hands out one report and then fails.
class FailingReports : public ErrorReportProvider {
 public:
  void takeMessageQueue(OutputMessageQueue& queue) override { takeMessageQueue(allTypes, queue); }
  void takeMessageQueue(errorType, OutputMessageQueue& queue) override {
    queue.pushUnique(OutputMessage(typeWarning, "before the failure", ErrorTag::ErrorTagType(9)));
    throw data::invalid("FailingReports", "takeMessageQueue", "broken storage", typeError);
  }
  bool hasMessages() const override { return true; }
  bool hasMessages(errorType) const override { return true; }
};

// Rank 1's reporter throws: it still sends what it handed out and rethrows
// afterwards; the other ranks are not left waiting, and the next gathering
// works as usual.
TEST(GatherMessageQueue, ARankWhoseReporterThrowsStillTakesPart) {
  test::LogCapture log;
  const int rank = worldRank();
  const int size = worldSize();
  const int failing = 1 % size;
  ApplicationErrorReporterImpl reporter;
  reporter.setVerboseMode(false);
  report(reporter, "rank " + std::to_string(rank), typeWarning);
  FailingReports broken;
  OutputMessageQueue queue;
  if (rank == failing) {
    EXPECT_THROW(gatherMessageQueue(broken, allTypes, queue, MPI_COMM_WORLD), data::invalid);
  } else {
    EXPECT_NO_THROW(gatherMessageQueue(reporter, allTypes, queue, MPI_COMM_WORLD));
  }
  Lines expected;
  for (int from = 0; rank == 0 && from < size; ++from) {
    expected.push_back(from == failing ? "8:before the failure:9"
                                       : "8:rank " + std::to_string(from) + ":0");
  }
  EXPECT_EQ(shown(queue), expected);

  gatherMessageQueue(reporter, allTypes, queue, MPI_COMM_WORLD);
  EXPECT_EQ(shown(queue), rank == 0 && failing != 0 ? Lines{"8:rank 1:0"} : Lines{});
  EXPECT_FALSE(reporter.hasMessages());

  for (int root : {-1, size}) {
    SCOPED_TRACE(root);
    EXPECT_THROW(gatherMessageQueue(reporter, allTypes, queue, MPI_COMM_WORLD, root),
                 internal::badParam);
  }
}

}  // namespace
}  // namespace zel::mpi
