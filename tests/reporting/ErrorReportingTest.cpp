// Error reporting from the report to the display: the process-wide front, the
// application reporter that logs, tags and stores the reports, and the queue
// that the user interface reads. Scenarios that need a process in which nothing
// was installed or translated yet run in a child process.
#include <gtest/gtest.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/DataError.h>
#include <zel/ErrorStorage.h>
#include <zel/ErrorTagIF.h>
#include <zel/OutputMessageQueue.h>
#include <zel/TranslationManager.h>

#include <cstdlib>
#include <functional>

#include "RecordingErrorReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using Lines = std::vector<std::string>;

ErrorMsg record(const std::string& text, int type = typeWarning, int tag = 0) {
  ErrorMsg made("C", "m", text, errorType(type));
  made.setErrorTag(static_cast<ErrorTag::ErrorTagType>(tag));
  return made;
}

// Reads a queue the way a user interface does, as "severity:text:tag" lines.
Lines shown(OutputMessageQueue& queue) {
  Lines lines;
  for (; !queue.empty(); queue.pop())
    lines.push_back(std::to_string(queue.getSeverity()) + ":" + queue.getText() + ":" +
                    std::to_string(queue.getErrorTag()));
  return lines;
}

Lines take(ApplicationErrorReporterImpl& source, int mask, OutputMessageQueue queue = {}) {
  source.takeMessageQueue(errorType(mask), queue);
  return shown(queue);
}

// Runs the scenario in a new process; it passes when the scenario returns the
// expected lines.
void expectInFreshProcess(const Lines& expected, const std::function<Lines()>& scenario) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(scenario() == expected ? 0 : 1), testing::ExitedWithCode(0), "");
}

// A tag provider that counts its deletions, if asked to.
struct CountingTag : ErrorTagIF {
  explicit CountingTag(int tag, int* deletions = nullptr) : tag(tag), deletions(deletions) {}
  ~CountingTag() override { if (deletions != nullptr) ++*deletions; }
  ErrorTag::ErrorTagType currentTag() const override { return ErrorTag::ErrorTagType(tag); }
  int tag;
  int* deletions;
};

// Nothing installed yet: the built-in front discards. Translations disabled
// and no dictionary: the heading stays as written.
TEST(ErrorReporter, DiscardsReportsUntilInstalledAndKeepsHeadingsUntranslatedWhenDisabled) {
  expectInFreshProcess({"32:Internal error detected:\nBad index:0"}, [] {
    test::LogCapture log;
    ErrorReporter* front = ErrorReporter::instance();
    front->reportError(data::invalid("C", "m", "lost", typeError), typeSevere);
    if (ErrorReporter::instance() != front || !log.entries().empty()) return Lines{"reached"};
    TranslationManager::disableTranslations();
    ApplicationErrorReporterImpl reporter;
    test::ScopedErrorReporter installed(reporter);
    ErrorReporter::instance()->reportError(record("Bad index", typeInternalError));
    return take(reporter, allTypes);
  });
}

TEST(ErrorReporter, ForwardsEachOverloadToTheLastInstalledReporterOnly) {
  test::RecordingErrorReporter first, second;
  test::ScopedErrorReporter installed(first);
  ErrorReporter* front = ErrorReporter::instance();
  front->reportError(data::invalid("Reader", "read", "bad", typeError), typeWarning);
  front->reportError(data::invalid("Reader", "read", "bad", typeError));
  front->reportError(record("note", typeNotice));
  EXPECT_NE(ErrorReporter::instance(&second), front);
  ErrorReporter::instance()->reportError(record("two"));
  EXPECT_EQ(first.calls(), (Lines{"reportError(Error, errorType)", "reportError(Error)",
                                  "reportError(ErrorMsg)"}));
  EXPECT_EQ(second.records().at(0).message(), "two");
}

// Reports logged at once, tagged, stored, and taken by mask into one queue
// that never shows a message twice.
TEST(ApplicationErrorReporter, CarriesReportsFromTheFrontToTheDisplay) {
  test::LogCapture log;
  ApplicationErrorReporterImpl reporter;
  reporter.setVerboseMode(false);
  reporter.registerErrorTagIF(new CountingTag(7));
  test::ScopedErrorReporter installed(reporter);
  const ErrorMsg report("Tracker", "set", "Wert<untranslated>Value<untranslated>x", typeWarning);
  ErrorReporter::instance()->reportError(report);
  EXPECT_EQ(log.entries(), Lines{"Tracker::set - Value<untranslated>x"});
  const data::invalid error("Reader", "read", "bad line", typeError);
  ErrorReporter::instance()->reportError(error, typeUnspecified);
  ErrorReporter::instance()->reportError(record("one", typeSevere));
  ErrorReporter::instance()->reportError(report);
  ErrorReporter::instance()->reportError(error);
  EXPECT_EQ(log.entries().size(), 5u);
  OutputMessageQueue queue;
  reporter.takeMessageQueue(errorType(9), queue);
  EXPECT_EQ(shown(queue), (Lines{"8:Wert:7", "1:one:7"}));
  reporter.reportError(report);  // shown already: the same queue refuses it
  reporter.takeMessageQueue(queue);
  EXPECT_EQ(shown(queue), Lines{"4:bad line:7"}) << "the queue remembers across takes";
  EXPECT_TRUE(reporter.hasMessages()) << "the record of type 0 stays";
  EXPECT_FALSE(reporter.hasMessages(errorType(-1)));
}

TEST(ApplicationErrorReporter, VerboseModeComesFromTheEnvironmentUnlessSet) {
  test::LogCapture log;
  for (auto env : {std::optional<std::string>(), std::optional<std::string>("")}) {
    SCOPED_TRACE(env ? "empty" : "unset");
    std::optional<test::ScopedEnv> scoped(std::in_place, "ZEL_VERBOSE_MESSAGE_ON", env);
    ApplicationErrorReporterImpl reporter;
    scoped.reset();  // read when the reporter is made, and only then
    reporter.reportError(record("Too large"));
    EXPECT_EQ(take(reporter, allTypes), Lines{env ? "8:C::m::Too large:0" : "8:Too large:0"});
    // The mode in force when taking counts, not the one at the report.
    reporter.reportError(record("Too large"));
    reporter.setVerboseMode(!env);
    EXPECT_EQ(take(reporter, allTypes), Lines{env ? "8:Too large:0" : "8:C::m::Too large:0"});
  }
}

TEST(ErrorStorage, UnacceptedTypeStopsATakeWithEarlierRecordsMoved) {
  for (int type : {2, 3, 9, 128, -1}) {
    SCOPED_TRACE(type);
    ErrorStorage storage;
    storage.setVerboseMode(false);
    for (int each : {16, type, 16}) storage.insertMessage(record("t", each));
    OutputMessageQueue queue;
    EXPECT_ZEL_THROW(storage.takeMessageQueue(errorType(type | allTypes), queue), data::invalid,
                     "OutputMessage", "makeSeverity",
                     "ErrorType " + std::to_string(type) + " is not recognized.", typeError);
    EXPECT_EQ(shown(queue), Lines{"16:t:0"});
    EXPECT_EQ(storage.getMessageCount(), 2u);
  }
  OutputMessageQueue queue;
  EXPECT_ZEL_THROW(queue.pushUnique(record("t", 0), false), data::invalid, "OutputMessage",
                   "makeSeverity", "ErrorType 0 is not recognized.", typeError);
}

// Equal messages have the same severity and text; the tag does not count.
TEST(OutputMessageQueue, RefusesWhatItOrTheQueueItCopiesEverAccepted) {
  OutputMessageQueue original;
  original.pushUnique(record("seen", typeWarning, 1), false);
  original.pushUnique(record("seen", typeWarning, 2), false);
  original.pushUnique(record("seen", typeNotice), false);
  original.pushUnique(record("seen"), true);
  EXPECT_EQ(shown(original), (Lines{"8:seen:1", "64:seen:0", "8:C::m::seen:0"}));
  OutputMessageQueue copy(original);
  copy.pushUnique(record("seen"), false);
  copy.pushUnique(OutputMessage(record("new"), false));
  EXPECT_EQ(shown(copy), Lines{"8:new:0"});
}

// A message made elsewhere keeps its text as it is (no heading, no cut) and
// meets the queue's rule like any other.
TEST(OutputMessage, MadeFromItsPartsKeepsTheTextAndChecksTheSeverity) {
  OutputMessageQueue queue;
  queue.pushUnique(record("same", typeWarning), false);
  queue.pushUnique(OutputMessage(typeWarning, "same", ErrorTag::ErrorTagType(7)));
  queue.pushUnique(OutputMessage(typeInternalError, "as is<untranslated>kept", ErrorTag::ErrorTagType(3)));
  queue.pushUnique(OutputMessage(typeNotice, "", ErrorTag::tagNone));
  EXPECT_EQ(shown(queue), (Lines{"8:same:0", "32:as is<untranslated>kept:3", "64::0"}));
  for (int type : {0, 2, 12}) {
    SCOPED_TRACE(type);
    EXPECT_ZEL_THROW(OutputMessage(errorType(type), "t", ErrorTag::tagNone), data::invalid, "OutputMessage",
                     "makeSeverity", "ErrorType " + std::to_string(type) + " is not recognized.",
                     typeError);
  }
}

TEST(ApplicationErrorReporter, DeletesItsOwnTagProviderOnceAndCopiesTakeNone) {
  test::LogCapture log;
  int deletions = 0;
  CountingTag replaced(1);  // a replaced provider goes back to its owner
  {
    ApplicationErrorReporterImpl original;
    original.setVerboseMode(true);
    original.registerErrorTagIF(&replaced);
    original.registerErrorTagIF(new CountingTag(5, &deletions));
    original.reportError(record("stored"));
    ApplicationErrorReporterImpl copy(original), assigned;
    assigned.registerErrorTagIF(new CountingTag(6, &deletions));
    assigned = original;
    assigned.reportError(record("fresh"));
    copy.reportError(record("fresh"));
    EXPECT_EQ(take(copy, allTypes), (Lines{"8:C::m::stored:5", "8:C::m::fresh:0"}));
    EXPECT_EQ(take(assigned, allTypes), (Lines{"8:C::m::stored:5", "8:C::m::fresh:6"}));
  }
  EXPECT_EQ(deletions, 2) << "each reporter deleted the provider it registered itself";
}

// The heading is translated when the message is made, through the dictionary
// that the library ships.
TEST(InternalErrorHeading, IsTranslatedThroughTheCurrentDictionary) {
  expectInFreshProcess({"32:Interner Fehler festgestellt:\nBad:0",
                        "32:C::m::Interner Fehler festgestellt:\n:0"}, [] {
    const char* root = std::getenv("ZEL_SOURCE_DIR");  // set by CTest
    test::ScopedEnv dataDir("ZEL_TOP_DATA_DIR", std::string(root ? root : ".") + "/data");
    TranslationManager::requirePackageDictionary("ZELError");
    TranslationManager::setLanguage("de_DE");
    OutputMessageQueue queue;
    queue.pushUnique(record("Bad<untranslated>index 7", typeInternalError), false);
    queue.pushUnique(record("<untranslated>log only", typeInternalError), true);
    return shown(queue);
  });
}

}  // namespace
}  // namespace zel
