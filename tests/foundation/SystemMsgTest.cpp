#include <gtest/gtest.h>

#include <string>

#include <zel/SystemMsg.h>

namespace zel {
namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

TEST(SystemMsg, FormatsNumbersAsAFreshStreamWould) {
  struct Case {
    float value;
    const char* text;
  };
  const Case cases[] = {{0.5f, "It is 0.5."},       {1.5f, "It is 1.5."},
                        {2.0f, "It is 2."},         {1234567.0f, "It is 1.23457e+06."},
                        {0.00001f, "It is 1e-05."}, {-0.1f, "It is -0.1."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SystemMsg("It is %1.").arg(c.value).str(), c.text);
  }
  EXPECT_EQ(SystemMsg("ErrorType %1 is not recognized.").arg(2).str(),
            "ErrorType 2 is not recognized.");
  EXPECT_EQ(SystemMsg("%1").arg(-42).str(), "-42");
}

TEST(SystemMsg, FillsTokensInOrderAndEveryOccurrence) {
  EXPECT_EQ(std::string(SystemMsg("%1 '%2' does not exist.")
                            .arg("Variable")
                            .arg(std::string("pressure"))),
            "Variable 'pressure' does not exist.");
  EXPECT_EQ(SystemMsg("%1 and %1").arg(7).str(), "7 and 7");
  EXPECT_EQ(SystemMsg("[%1]").arg("").str(), "[]");
  EXPECT_EQ(SystemMsg("keep %1 %2").str(), "keep %1 %2");
}

TEST(SystemMsg, ValueHoldingItsOwnTokenDoesNotLoop) {
  EXPECT_EQ(SystemMsg("%1 %1").arg("%1").str(), "%1 %1");
  EXPECT_EQ(SystemMsg("a%1b").arg("x%1y%1").str(), "ax%1y%1b");
}

TEST(SystemMsg, MissingTokenWarnsOnStandardErrorAndStillAdvances) {
  CaptureStderr();
  SystemMsg message("A %2");
  message.arg("x");
  EXPECT_EQ(GetCapturedStderr(),
            "Warning: token %1 was not used in the message: \"x\"");
  EXPECT_EQ(message.str(), "A %2");

  CaptureStderr();
  message.arg("y");
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_EQ(message.str(), "A y");

  CaptureStderr();
  SystemMsg("No tokens").arg(3).arg(0.5f);
  EXPECT_EQ(GetCapturedStderr(),
            "Warning: token %1 was not used in the message: \"3\""
            "Warning: token %2 was not used in the message: \"0.5\"");
}

TEST(SystemMsg, CopiesContinueWithTheNextToken) {
  SystemMsg original("%1-%2-%3");
  original.arg(1);
  SystemMsg copy(original);
  copy.arg(2);
  SystemMsg assigned("");
  assigned = copy;
  assigned.arg(3);
  EXPECT_EQ(original.str(), "1-%2-%3");
  EXPECT_EQ(copy.str(), "1-2-%3");
  EXPECT_EQ(assigned.str(), "1-2-3");
  SystemMsg moved(std::move(copy));
  moved.arg(9);
  EXPECT_EQ(moved.str(), "1-2-9");
}

}  // namespace
}  // namespace zel
