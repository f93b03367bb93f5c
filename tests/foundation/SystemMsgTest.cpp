#include <gtest/gtest.h>

#include <string>

#include <zel/SystemMsg.h>

namespace zel {
namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

TEST(SystemMsg, FillsEveryOccurrenceOfEachTokenInOrder) {
  const struct {
    SystemMsg message;
    const char* expected;
  } cases[] = {
      {SystemMsg("It is %1.").arg(0.5f), "It is 0.5."},
      {SystemMsg("It is %1.").arg(2.0f), "It is 2."},
      {SystemMsg("%1").arg(1234567.0f), "1.23457e+06"},
      {SystemMsg("%1").arg(0.00001f), "1e-05"},
      {SystemMsg("%1").arg(-42), "-42"},
      {SystemMsg("%1 '%2' does not exist.").arg("Variable").arg(std::string("p")),
       "Variable 'p' does not exist."},
      {SystemMsg("%1 and %1").arg(7), "7 and 7"},
      {SystemMsg("[%1]").arg(""), "[]"},
      {SystemMsg("keep %1 %2"), "keep %1 %2"},
      {SystemMsg("%1 %1").arg("%1"), "%1 %1"},  // a value holding its own token
      {SystemMsg("a%1b").arg("x%1y%1"), "ax%1y%1b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(std::string(c.message), c.expected);
  }
}

TEST(SystemMsg, MissingTokenWarnsOnStandardErrorAndStillAdvances) {
  CaptureStderr();
  SystemMsg message("A %2");
  message.arg("x");
  EXPECT_EQ(GetCapturedStderr(), "Warning: token %1 was not used in the message: \"x\"");
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
  EXPECT_EQ(original.str() + " " + copy.str() + " " + assigned.str(), "1-%2-%3 1-2-%3 1-2-3");
}

}  // namespace
}  // namespace zel
