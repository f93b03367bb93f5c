#include <gtest/gtest.h>

#include <iomanip>
#include <iostream>
#include <locale>
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

// Puts std::cerr's formatting back (flags, precision, width, fill, locale)
// however the test ends.
class StandardErrorFormatGuard {
 public:
  StandardErrorFormatGuard() { m_saved.copyfmt(std::cerr); }
  ~StandardErrorFormatGuard() { std::cerr.copyfmt(m_saved); }
  StandardErrorFormatGuard(const StandardErrorFormatGuard&) = delete;
  StandardErrorFormatGuard& operator=(const StandardErrorFormatGuard&) = delete;

 private:
  std::ios m_saved{nullptr};
};

// Groups digits in threes with a comma and writes a comma as decimal point.
struct CommaPunctuation : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

// Bytes written to standard error by `write`.
template <typename Write>
std::string capturedStandardError(Write write) {
  CaptureStderr();
  write();
  return GetCapturedStderr();
}

template <typename T>
void expectWarningWritesAsStandardError(const std::string& what, T value,
                                        const std::string& asSet,
                                        const std::string& inText) {
  SCOPED_TRACE(what);
  // The stream's own insertion, written the moment before the warning.
  const std::string inserted = capturedStandardError([&] { std::cerr << value; });
  EXPECT_EQ(inserted, asSet);
  SystemMsg missing("No token here");
  const std::string warning = capturedStandardError([&] { missing.arg(value); });
  EXPECT_EQ(warning, "Warning: token %1 was not used in the message: \"" + inserted + '"');
  EXPECT_EQ(missing.str(), "No token here");
  // The message text itself is formatted as by a fresh stream.
  std::string text;
  EXPECT_EQ(capturedStandardError([&] { text = SystemMsg("[%1]").arg(value).str(); }), "");
  EXPECT_EQ(text, "[" + inText + "]");
}

TEST(SystemMsg, MissingTokenWarningWritesTheValueAsStandardErrorIsSet) {
  {
    StandardErrorFormatGuard guard;
    std::cerr << std::fixed;
    expectWarningWritesAsStandardError("fixed float", 0.5f, "0.500000", "0.5");
    expectWarningWritesAsStandardError("fixed double", 1234567.0, "1234567.000000",
                                       "1.23457e+06");
  }
  {
    StandardErrorFormatGuard guard;
    std::cerr << std::hex;
    expectWarningWritesAsStandardError("hex int", 255, "ff", "255");
    // A negative int in hex is its 32-bit pattern, not a wider one.
    expectWarningWritesAsStandardError("hex negative int", -1, "ffffffff", "-1");
    expectWarningWritesAsStandardError("hex short", static_cast<short>(-2), "fffe", "-2");
  }
  {
    StandardErrorFormatGuard guard;
    std::cerr.precision(3);
    expectWarningWritesAsStandardError("precision 3", 3.14159265f, "3.14", "3.14159");
  }
  {
    StandardErrorFormatGuard guard;
    std::cerr.imbue(std::locale(std::locale::classic(), new CommaPunctuation));
    expectWarningWritesAsStandardError("imbued int", 1234567, "1.234.567", "1234567");
    expectWarningWritesAsStandardError("imbued float", 0.25f, "0,25", "0.25");
  }
  {
    StandardErrorFormatGuard guard;
    // A width pads the value, not the text before it; the token number stays
    // decimal.
    std::cerr << std::hex << std::setw(6) << std::setfill('*');
    const std::string warning = capturedStandardError([] {
      SystemMsg message("%1 only");
      message.arg(1).arg(2).arg(3).arg(4).arg(5).arg(6).arg(7).arg(8).arg(9).arg(std::string("v"));
    });
    EXPECT_EQ(warning, "Warning: token %2 was not used in the message: \"*****2\""
                       "Warning: token %3 was not used in the message: \"3\""
                       "Warning: token %4 was not used in the message: \"4\""
                       "Warning: token %5 was not used in the message: \"5\""
                       "Warning: token %6 was not used in the message: \"6\""
                       "Warning: token %7 was not used in the message: \"7\""
                       "Warning: token %8 was not used in the message: \"8\""
                       "Warning: token %9 was not used in the message: \"9\""
                       "Warning: token %10 was not used in the message: \"v\"");
  }
  // Every setting is back as it was.
  EXPECT_EQ(capturedStandardError([] { std::cerr << 255 << ' ' << 0.5f; }), "255 0.5");
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
