#include <gtest/gtest.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/DataError.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/ErrorStorage.h>
#include <zel/ErrorTagIF.h>
#include <zel/OutputMessageQueue.h>

#include <optional>
#include <string>
#include <vector>

#include "RecordingErrorReporter.h"
#include "Shown.h"
#include "TestSupport.h"

namespace zel {
namespace {

using Lines = std::vector<std::string>;
using test::LogCapture;
using test::ScopedEnv;

// A tag provider that counts how often it is asked and how often deleted.
class CountingTag : public ErrorTagIF {
 public:
  CountingTag(int tag, int* deletions) : m_tag(tag), m_deletions(deletions) {}
  ~CountingTag() override { ++*m_deletions; }
  ErrorTag::ErrorTagType currentTag() const override {
    ++calls;
    return static_cast<ErrorTag::ErrorTagType>(m_tag);
  }
  mutable int calls = 0;

 private:
  int m_tag;
  int* m_deletions;
};

template <typename Source>
Lines take(Source& source, int mask) {
  OutputMessageQueue queue;
  source.takeMessageQueue(errorType(mask), queue);
  return test::shown(queue);
}

TEST(ApplicationErrorReporter, CarriesAReportFromTheFrontToTheDisplay) {
  LogCapture log;
  ScopedEnv quiet("ZEL_VERBOSE_MESSAGE_ON", std::nullopt);
  int deletions = 0;
  ApplicationErrorReporterImpl reporter;
  auto* tags = new CountingTag(7, &deletions);
  reporter.registerErrorTagIF(tags);
  {
    test::ScopedErrorReporter installed(reporter);
    const ErrorMsg record("ProgressTracker", "setProgress",
                          "Wert zu gross<untranslated>Value too large",
                          typeWarning);
    ErrorReporter::instance()->reportError(record);
    EXPECT_EQ(log.entries(),
              Lines{"ProgressTracker::setProgress - Value too large"});
    ErrorReporter::instance()->reportError(record);
  }
  EXPECT_EQ(tags->calls, 2);
  EXPECT_TRUE(reporter.hasMessages(typeWarning));
  OutputMessageQueue queue;
  reporter.takeMessageQueue(typeWarning, queue);
  EXPECT_FALSE(reporter.hasMessages());
  ASSERT_FALSE(queue.empty());
  EXPECT_EQ(queue.getText(), "Wert zu gross");
  EXPECT_EQ(queue.getSeverity(), typeWarning);
  EXPECT_EQ(queue.getErrorTag(), 7);
  queue.pop();
  EXPECT_TRUE(queue.empty()) << "the repeated report is shown once";
  reporter.reportError(ErrorMsg("P", "s", "Wert zu gross", typeWarning));
  reporter.takeMessageQueue(queue);
  EXPECT_TRUE(queue.empty()) << "the queue remembers across takes";
  EXPECT_EQ(log.entries().size(), 3u);
}

TEST(ErrorStorage, SelectsByMaskAndNeverHandsOutTypeZero) {
  ErrorStorage storage;
  storage.setVerboseMode(false);
  for (int type : {1, 0, 8, 8}) {
    storage.insertMessage(
        ErrorMsg("C", "m", "t" + std::to_string(storage.getMessageCount()),
                 errorType(type)));
  }
  EXPECT_EQ(storage.getMessageCount(), 4u);
  EXPECT_EQ(storage.getMessageCount(errorType(9)), 3u);
  EXPECT_EQ(storage.getMessageCount(typeError), 0u);
  EXPECT_EQ(take(storage, typeWarning), (Lines{"8:t2:0", "8:t3:0"}));
  EXPECT_EQ(take(storage, 9), Lines{"1:t0:0"});
  EXPECT_EQ(take(storage, allTypes), Lines{});
  EXPECT_EQ(storage.getMessageCount(), 1u);
}

TEST(ErrorStorage, UnacceptedTypeStopsATakeWithEarlierRecordsMoved) {
  for (int type : {2, 9}) {
    SCOPED_TRACE(type);
    ErrorStorage storage;
    storage.setVerboseMode(false);
    storage.insertMessage(ErrorMsg("C", "m", "before", typeWarning));
    storage.insertMessage(ErrorMsg("C", "m", "bad", errorType(type)));
    storage.insertMessage(ErrorMsg("C", "m", "after", typeWarning));
    OutputMessageQueue queue;
    EXPECT_ZEL_THROW(
        storage.takeMessageQueue(errorType(2 | allTypes), queue), data::invalid,
        "OutputMessage", "makeSeverity",
        "ErrorType " + std::to_string(type) + " is not recognized.", typeError);
    EXPECT_EQ(test::shown(queue), Lines{"8:before:0"});
    EXPECT_EQ(storage.getMessageCount(), 2u);
  }
}

TEST(ApplicationErrorReporter, VerboseModeComesFromTheEnvironmentUnlessSet) {
  LogCapture log;
  const std::string bare = "8:Too large:0",
                    verbose = "8:Tracker::set::Too large:0";
  for (auto env :
       {std::optional<std::string>(), std::optional<std::string>("")}) {
    SCOPED_TRACE(env ? "empty" : "unset");
    std::optional<ApplicationErrorReporterImpl> reporter;
    {
      ScopedEnv scoped("ZEL_VERBOSE_MESSAGE_ON", env);
      reporter.emplace();
    }
    reporter->reportError(ErrorMsg("Tracker", "set", "Too large", typeWarning));
    EXPECT_EQ(take(*reporter, allTypes), Lines{env ? verbose : bare});
    // The mode in force when taking counts, not the one at the report.
    reporter->reportError(ErrorMsg("Tracker", "set", "Too large", typeWarning));
    reporter->setVerboseMode(!env);
    EXPECT_EQ(take(*reporter, allTypes), Lines{env ? bare : verbose});
  }
}

TEST(ApplicationErrorReporter, StoresExceptionsWithTheirOwnOrTheGivenType) {
  LogCapture log;
  ApplicationErrorReporterImpl reporter;
  reporter.setVerboseMode(true);
  const data::invalid error("Reader", "read", "bad line", typeError);
  reporter.reportError(error, typeUnspecified);
  reporter.reportError(error, typeWarning);
  reporter.reportError(error);
  EXPECT_EQ(take(reporter, allTypes), (Lines{"8:Reader::read::bad line:0",
                                             "4:Reader::read::bad line:0"}));
  EXPECT_TRUE(reporter.hasMessages());
  EXPECT_FALSE(reporter.hasMessages(allTypes));
  EXPECT_EQ(log.entries(), Lines(3, "Reader::read - bad line"));

  // Both exception overloads go through the record overload, which a derived
  // reporter may replace.
  struct Intercepting : ApplicationErrorReporterImpl {
    using ApplicationErrorReporterImpl::reportError;
    void reportError(const ErrorMsg& message) override {
      types.push_back(message.type());
    }
    std::vector<int> types;
  } intercepting;
  intercepting.reportError(error);
  intercepting.reportError(error, typeUnspecified);
  EXPECT_EQ(intercepting.types, (std::vector<int>{typeError, typeUnspecified}));
}

TEST(ApplicationErrorReporter, DeletesItsOwnTagProviderOnceAndCopiesTakeNone) {
  LogCapture log;
  int deletions = 0, replacedDeletions = 0, targetDeletions = 0;
  auto* replaced = new CountingTag(1, &replacedDeletions);
  {
    ApplicationErrorReporterImpl original;
    original.setVerboseMode(false);
    original.registerErrorTagIF(replaced);
    original.registerErrorTagIF(new CountingTag(5, &deletions));
    original.reportError(ErrorMsg("C", "m", "stored", typeWarning));
    ApplicationErrorReporterImpl copy(original);
    ApplicationErrorReporterImpl assigned;
    assigned.registerErrorTagIF(new CountingTag(6, &targetDeletions));
    assigned = original;
    ErrorMsg fresh("C", "m", "fresh", typeWarning);
    fresh.setErrorTag(static_cast<ErrorTag::ErrorTagType>(2));
    copy.reportError(fresh);
    assigned.reportError(fresh);
    EXPECT_EQ(take(copy, allTypes), (Lines{"8:stored:5", "8:fresh:2"}));
    EXPECT_EQ(take(assigned, allTypes), (Lines{"8:stored:5", "8:fresh:6"}));
    EXPECT_TRUE(original.hasMessages());
  }
  EXPECT_EQ(deletions, 1);
  EXPECT_EQ(targetDeletions, 1);
  EXPECT_EQ(replacedDeletions, 0)
      << "a replaced provider goes back to its owner";
  delete replaced;
}

}  // namespace
}  // namespace zel
