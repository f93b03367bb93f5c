#include <gtest/gtest.h>
#include <zel/DataError.h>
#include <zel/ErrorMsg.h>
#include <zel/OutputMessageQueue.h>

#include <string>
#include <utility>
#include <vector>

#include "Shown.h"
#include "TestSupport.h"

namespace zel {
namespace {

using Lines = std::vector<std::string>;
using test::shown;

ErrorMsg warning(const std::string& text, int tag = 0) {
  ErrorMsg record("ProgressTracker", "setProgress", text, typeWarning);
  record.setErrorTag(static_cast<ErrorTag::ErrorTagType>(tag));
  return record;
}

TEST(OutputMessage, ShowsTheUserPartAndNamesTheReporterWhenVerbose) {
  struct Case {
    const char* message;
    bool verbose;
    const char* text;
  } const cases[] = {
      {"Value too large", false, "Value too large"},
      {"Value too large", true,
       "ProgressTracker::setProgress::Value too large"},
      {"Wert<untranslated>Value<untranslated>x", false, "Wert"},
      {"<untranslated>log only", true, "ProgressTracker::setProgress::"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const OutputMessage message(warning(c.message, 3), c.verbose);
    EXPECT_EQ(message.getText(), c.text);
    EXPECT_EQ(message.getSeverity(), typeWarning);
    EXPECT_EQ(message.getErrorTag(), 3);
  }
}

TEST(OutputMessage, RefusesTypesThatAreNoSingleAcceptedSeverity) {
  for (int type : {0, 2, 3, 9, 128, -1}) {
    SCOPED_TRACE(type);
    OutputMessageQueue queue;
    EXPECT_ZEL_THROW(
        queue.pushUnique(ErrorMsg("C", "m", "t", errorType(type)), false),
        data::invalid, "OutputMessage", "makeSeverity",
        "ErrorType " + std::to_string(type) + " is not recognized.", typeError);
    EXPECT_TRUE(queue.empty());
  }
}

TEST(OutputMessageQueue, RemembersMessagesAfterTheyArePopped) {
  OutputMessageQueue queue;
  queue.pushUnique(warning("first", 1), false);
  queue.pushUnique(warning("first", 2), false);  // differs only in its tag
  queue.pushUnique(ErrorMsg("C", "m", "first", typeError), false);
  queue.pushUnique(warning("first"), true);
  queue.pushUnique(ErrorMsg("C", "m", "<untranslated>a", typeError), false);
  queue.pushUnique(ErrorMsg("C", "m", "<untranslated>b", typeError), false);
  EXPECT_EQ(shown(queue),
            (Lines{"8:first:1", "4:first:0",
                   "8:ProgressTracker::setProgress::first:0", "4::0"}));
  queue.pushUnique(warning("first"), false);
  queue.pushUnique(OutputMessage(warning("first"), true));
  EXPECT_TRUE(queue.empty());
}

TEST(OutputMessageQueue,
     CopiesRefuseWhatTheOriginalAcceptedAndMovesLeaveItEmpty) {
  OutputMessageQueue original;
  original.pushUnique(warning("seen"), false);
  original.pop();
  original.pushUnique(warning("waiting"), false);
  OutputMessageQueue copy(original);
  OutputMessageQueue assigned;
  assigned = original;
  for (OutputMessageQueue* q : {&copy, &assigned}) {
    q->pushUnique(warning("seen"), false);
    q->pushUnique(warning("new"), false);
    EXPECT_EQ(shown(*q), (Lines{"8:waiting:0", "8:new:0"}));
  }
  OutputMessageQueue moved(std::move(original));
  OutputMessageQueue moveAssigned;
  moveAssigned = std::move(moved);
  EXPECT_EQ(shown(moveAssigned), Lines{"8:waiting:0"});
  for (OutputMessageQueue* source : {&original, &moved}) {
    source->pushUnique(warning("seen"), false);  // accepted: nothing remembered
    EXPECT_EQ(shown(*source), Lines{"8:seen:0"});
  }
}

}  // namespace
}  // namespace zel
