// What failures leave behind where the other suites do not look: destructors
// whose report of a caught failure fails as well, and reports that fail in the
// log or in the tag provider.
#include <gtest/gtest.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorTagIF.h>
#include <zel/ProgressTracker.h>
#include <zel/StartProgress.h>

#include <stdexcept>

#include "RecordingErrorReporter.h"
#include "RecordingProgressReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using test::RecordingProgressReporter;
using test::ScopedErrorReporter;
using test::ScopedProgressReporter;

// Every log entry fails after it is counted, for one scope.
class FailingLog {
 public:
  FailingLog()
      : m_previous(ErrorLogFile::setSink([this](const std::string&) {
          ++attempts;
          throw std::runtime_error("log unavailable");
        })) {}
  ~FailingLog() { ErrorLogFile::setSink(std::move(m_previous)); }
  int attempts = 0;

 private:
  ErrorLogFile::Sink m_previous;
};

class FailingTag : public ErrorTagIF {
  ErrorTag::ErrorTagType currentTag() const override {
    throw std::runtime_error("no tag");
  }
};

TEST(ExceptionSafety, DestructorsSwallowFailuresWhoseReportFailsToo) {
  using Failure = RecordingProgressReporter::Failure;
  ApplicationErrorReporterImpl errors;
  ScopedErrorReporter front(errors);
  for (Failure failure :
       {Failure::zelError, Failure::standardError, Failure::integer}) {
    SCOPED_TRACE(static_cast<int>(failure));
    FailingLog log;
    RecordingProgressReporter reporter;
    ScopedProgressReporter installed(reporter);
    EXPECT_NO_THROW({
      ProgressTracker tracker("Solve", true);
      tracker.add("A", 0.5f, 10);
      tracker.start("A", 0);
      StartProgress guard(1, 1);
      reporter.throwFrom("", failure);
    });
    // The guard failed to start its entry, the tracker to close "A"; both
    // tried to report it, and the log refused both reports.
    EXPECT_EQ(log.attempts, 2);
    EXPECT_FALSE(errors.hasMessages());
  }
}

TEST(ExceptionSafety, ReportFailingInTheLogOrTheTagProviderIsNotStored) {
  ApplicationErrorReporterImpl reporter;
  const ErrorMsg record("Solver", "run", "Diverged", typeWarning);
  {
    FailingLog log;
    EXPECT_THROW(reporter.reportError(record), std::runtime_error);
    EXPECT_EQ(log.attempts, 1);
  }
  reporter.registerErrorTagIF(new FailingTag);  // owned by the reporter
  test::LogCapture log;
  EXPECT_THROW(reporter.reportError(record), std::runtime_error);
  EXPECT_EQ(log.entries().size(), 1u);  // written before the tag was asked for
  EXPECT_FALSE(reporter.hasMessages());
}

}  // namespace
}  // namespace zel
