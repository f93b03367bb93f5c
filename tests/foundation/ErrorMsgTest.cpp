#include <gtest/gtest.h>

#include <zel/DataError.h>
#include <zel/ErrorMsg.h>
#include <zel/ExtExecutionError.h>
#include <zel/InternalError.h>

#include "TestSupport.h"

namespace zel {
namespace {

using test::LogCapture;

std::string logLineOf(const ErrorMsg& record) {
  LogCapture log;
  record.logError();
  EXPECT_EQ(log.entries().size(), 1u);
  return log.entries().empty() ? std::string() : log.entries().front();
}

TEST(ErrorMsg, LogLineHasPrefixSeparatorsAndUntranslatedPart) {
  EXPECT_EQ(logLineOf(ErrorMsg("ProgressTracker", "setProgress", "Bad value",
                               typeSevere)),
            "Severe: ProgressTracker::setProgress - Bad value");
  EXPECT_EQ(logLineOf(ErrorMsg("ProgressTracker", "setProgress",
                               "Falscher Wert<untranslated>Bad value",
                               typeWarning)),
            "ProgressTracker::setProgress - Bad value");
  EXPECT_EQ(logLineOf(ErrorMsg()), ":: - ");
  EXPECT_EQ(logLineOf(ErrorMsg("C", "m", "ends with<untranslated>", typeError)),
            "C::m - ");
  EXPECT_EQ(logLineOf(ErrorMsg("C", "m", "a<untranslated>b<untranslated>c",
                               typeError)),
            "C::m - b<untranslated>c");
}

TEST(ErrorMsg, OnlyTheSevereBitGivesThePrefix) {
  for (errorType type : {typeUnspecified, typeError, typeWarning, typeInterrupt,
                         typeInternalError, typeNotice}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(logLineOf(ErrorMsg("C", "m", "t", type)), "C::m - t");
  }
  EXPECT_EQ(logLineOf(ErrorMsg("C", "m", "t", static_cast<errorType>(9))),
            "Severe: C::m - t");
}

TEST(ErrorMsg, FromExceptionTakesItsTextsAndTypeUnlessGiven) {
  const data::invalid error("OutputMessage", "makeSeverity", "Bad", typeSevere);
  const ErrorMsg own(error, typeUnspecified);
  EXPECT_EQ(own.className(), "OutputMessage");
  EXPECT_EQ(own.methodName(), "makeSeverity");
  EXPECT_EQ(own.message(), "Bad");
  EXPECT_EQ(own.type(), typeSevere);
  EXPECT_EQ(own.errorTag(), ErrorTag::tagNone);
  EXPECT_EQ(ErrorMsg(error, typeWarning).type(), typeWarning);
}

TEST(ErrorMsg, CopiesAndMovesKeepTheTag) {
  ErrorMsg record("C", "m", "t", typeWarning);
  EXPECT_EQ(record.errorTag(), ErrorTag::tagNone);
  record.setErrorTag(static_cast<ErrorTag::ErrorTagType>(7));
  ErrorMsg copy(record);
  ErrorMsg moved(std::move(copy));
  ErrorMsg assigned;
  assigned = moved;
  EXPECT_EQ(moved.errorTag(), 7);
  EXPECT_EQ(assigned.errorTag(), 7);
  EXPECT_EQ(assigned.message(), "t");
}

TEST(ExtExecutionError, IsAnErrorCarryingWhatItWasGiven) {
  try {
    throw extsub::error::ExtExecutionError("Runner", "execute", "exit 3",
                                           typeError);
  } catch (const Error& e) {
    EXPECT_EQ(test::textsOf(e),
              (test::ErrorTexts{"Runner", "execute", "exit 3", typeError}));
    EXPECT_EQ(e.getCode(), 0);
    EXPECT_NE(e.errorMessage().find("ExtExecutionError"), std::string::npos);
  }
}

}  // namespace
}  // namespace zel
