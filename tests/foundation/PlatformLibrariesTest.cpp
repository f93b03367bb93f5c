#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include <zel/DataError.h>
#include <zel/InternalError.h>
#include <zel/Interrupt.h>
#include <zel/StringUtilities.h>
#include <zel/ZELAssert.h>

#include "TestSupport.h"

namespace zel {
namespace {

template <typename Thrown, typename Handler>
bool caughtAs() {
  try {
    throw Thrown("C", "m", "t", typeError);
  } catch (const Handler&) {
    return true;
  } catch (...) {
    return false;
  }
}

TEST(Exceptions, BaseHandlersCatchDerivedClassesOnly) {
  EXPECT_TRUE((caughtAs<internal::badParam, internal::error>()));
  EXPECT_TRUE((caughtAs<internal::overflow, Error>()));
  EXPECT_TRUE((caughtAs<data::notFound, data::error>()));
  EXPECT_TRUE((caughtAs<data::invalid, Error>()));
  EXPECT_TRUE((caughtAs<Interrupt, Error>()));
  EXPECT_FALSE((caughtAs<internal::error, internal::badParam>()));
  EXPECT_FALSE((caughtAs<data::notFound, internal::error>()));
  EXPECT_FALSE((caughtAs<data::invalid, data::notFound>()));
}

TEST(ErrorLogFile, SinkCapturesAndTheDefaultAppendsLinesToTheNamedFile) {
  const std::string path = testing::TempDir() + "zel_error_log_test.log";
  std::remove(path.c_str());
  test::ScopedEnv env("ZEL_ERROR_LOG", path);
  {
    test::LogCapture capture;
    ErrorLogFile::logEntry("captured");
    EXPECT_EQ(capture.entries(), std::vector<std::string>{"captured"});
  }
  ErrorLogFile::logEntry("first");
  ErrorLogFile::logEntry("second");
  std::stringstream contents;
  contents << std::ifstream(path).rdbuf();
  EXPECT_EQ(contents.str(), "first\nsecond\n");
  std::remove(path.c_str());
}

TEST(ErrorLogFileDeathTest, AssertionNamesExpressionFileAndLineThenAborts) {
  EXPECT_DEATH(ZELAssertImpl::assertFail("s_current", "Error/src/X", 42),
               "Assertion failed: s_current, file Error/src/X, line 42");
}

TEST(StringUtilities, TrimBothEndsAndReplaceEveryOccurrenceOnce) {
  EXPECT_EQ(StringUtilities::removeWhitespace(" \t\r\n\v\fa b\tc \r\n"), "a b\tc");
  EXPECT_EQ(StringUtilities::removeWhitespace(" \t "), "");
  EXPECT_EQ(StringUtilities::replaceSubstring("a&amp;b&amp;", "&amp;", "&"), "a&b&");
  EXPECT_EQ(StringUtilities::replaceSubstring("&amp;lt;", "&amp;", "&"), "&lt;");
  EXPECT_EQ(StringUtilities::replaceSubstring("aa", "a", "aa"), "aaaa");
  EXPECT_EQ(StringUtilities::replaceSubstring("abc", "", "x"), "abc");
}

}  // namespace
}  // namespace zel
