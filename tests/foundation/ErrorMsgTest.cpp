#include <gtest/gtest.h>

#include <zel/DataError.h>
#include <zel/ErrorMsg.h>
#include <zel/ExtExecutionError.h>

#include "TestSupport.h"

namespace zel {
namespace {

std::string logLineOf(const ErrorMsg& record) {
  test::LogCapture log;
  record.logError();
  return log.entries().size() == 1 ? log.entries().front() : "(not one entry)";
}

TEST(ErrorMsg, LogLineHasPrefixSeparatorsAndTheUntranslatedPart) {
  const struct {
    ErrorMsg record;
    const char* line;
  } cases[] = {
      {ErrorMsg("ProgressTracker", "setProgress", "Bad value", typeSevere),
       "Severe: ProgressTracker::setProgress - Bad value"},
      {ErrorMsg("ProgressTracker", "setProgress", "Falsch<untranslated>Bad value", typeWarning),
       "ProgressTracker::setProgress - Bad value"},
      {ErrorMsg(), ":: - "},
      {ErrorMsg("C", "m", "ends with<untranslated>", typeError), "C::m - "},
      {ErrorMsg("C", "m", "a<untranslated>b<untranslated>c", typeError),
       "C::m - b<untranslated>c"},
      {ErrorMsg("C", "m", "t", static_cast<errorType>(9)), "Severe: C::m - t"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(logLineOf(c.record), c.line);
  }
  for (errorType type : {typeUnspecified, typeError, typeWarning, typeInterrupt,
                         typeInternalError, typeNotice}) {
    EXPECT_EQ(logLineOf(ErrorMsg("C", "m", "t", type)), "C::m - t") << type;
  }
}

TEST(ErrorMsg, FromAnExceptionTakesItsTextsAndItsTypeUnlessOneIsGiven) {
  const extsub::error::ExtExecutionError error("Runner", "execute", "exit 3", typeSevere);
  const ErrorMsg own(error, typeUnspecified);
  EXPECT_EQ(own.className() + "|" + own.methodName() + "|" + own.message(),
            "Runner|execute|exit 3");
  EXPECT_EQ(own.type(), typeSevere);
  EXPECT_EQ(ErrorMsg(error, typeWarning).type(), typeWarning);
  EXPECT_NE(error.errorMessage().find("ExtExecutionError"), std::string::npos);
}

TEST(ErrorMsg, NewRecordsAreUntaggedAndCopiesKeepTheTag) {
  ErrorMsg record("C", "m", "t", typeWarning);
  EXPECT_EQ(record.errorTag(), ErrorTag::tagNone);
  record.setErrorTag(static_cast<ErrorTag::ErrorTagType>(7));
  ErrorMsg assigned;
  assigned = ErrorMsg(ErrorMsg(record));
  EXPECT_EQ(assigned.errorTag(), 7);
}

}  // namespace
}  // namespace zel
