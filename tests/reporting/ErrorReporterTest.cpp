#include <gtest/gtest.h>
#include <zel/DataError.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/NullErrorReporterImpl.h>
#include <zel/OutputMessageQueue.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "RecordingErrorReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using test::LogCapture;
using test::RecordingErrorReporter;
using test::ScopedErrorReporter;

TEST(ErrorReporter, DiscardsReportsUntilAReporterIsInstalled) {
  // A fresh process: the front the library starts with.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        LogCapture log;
        ErrorReporter* front = ErrorReporter::instance();
        front->reportError(ErrorMsg("C", "m", "lost", typeSevere));
        front->reportError(data::invalid("C", "m", "lost", typeError),
                           typeWarning);
        std::exit(front == ErrorReporter::instance() && log.entries().empty()
                      ? 0
                      : 1);
      },
      testing::ExitedWithCode(0), "");
  NullErrorReporterImpl null;
  OutputMessageQueue queue;
  queue.pushUnique(ErrorMsg("C", "m", "kept", typeWarning), false);
  null.takeMessageQueue(allTypes, queue);
  EXPECT_FALSE(null.hasMessages());
  EXPECT_EQ(queue.getText(), "kept");
}

TEST(ErrorReporter, ForwardsEachOverloadToTheSameOverload) {
  RecordingErrorReporter reporter;
  ScopedErrorReporter installed(reporter);
  const data::invalid error("Reader", "read", "bad", typeError);
  ErrorReporter::instance()->reportError(error, typeWarning);
  ErrorReporter::instance()->reportError(error);
  ErrorReporter::instance()->reportError(
      ErrorMsg("D", "n", "note", typeNotice));
  EXPECT_EQ(reporter.calls(),
            (std::vector<std::string>{"reportError(Error, errorType)",
                                      "reportError(Error)",
                                      "reportError(ErrorMsg)"}));
  ASSERT_EQ(reporter.records().size(), 3u);
  EXPECT_EQ(reporter.records()[0].type(), typeWarning);
  EXPECT_EQ(reporter.records()[1].type(), typeError);
}

TEST(ErrorReporter, InstallingReplacesTheFrontButLeavesTheOldReporterAlone) {
  RecordingErrorReporter first;
  RecordingErrorReporter second;
  ErrorReporter* firstFront = ErrorReporter::instance(&first);
  EXPECT_EQ(ErrorReporter::instance(), firstFront);
  ErrorReporter::instance()->reportError(
      ErrorMsg("C", "m", "one", typeWarning));
  {
    ScopedErrorReporter installed(second);  // deletes firstFront
    EXPECT_NE(ErrorReporter::instance(), firstFront);
    ErrorReporter::instance()->reportError(
        ErrorMsg("C", "m", "two", typeWarning));
    first.reportError(ErrorMsg("C", "m", "direct", typeWarning));
  }
  ASSERT_EQ(first.records().size(), 2u);
  EXPECT_EQ(first.records()[1].message(), "direct");
  ASSERT_EQ(second.records().size(), 1u);
  EXPECT_EQ(second.records()[0].message(), "two");
}

}  // namespace
}  // namespace zel
