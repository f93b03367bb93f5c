#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
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

// A folder of this test's own, ending in '/', so that test runs side by side
// (several build trees, parallel ctest) never share a file name. Others may
// look into it, as into the temporary folder itself: a child that gives up
// root must still meet the reasons the tests expect, not a closed folder.
std::string freshFolder() {
  std::string path = testing::TempDir() + "zel_log_XXXXXX";
  if (mkdtemp(path.data()) == nullptr) return testing::TempDir();
  chmod(path.c_str(), 0755);
  return path + "/";
}

TEST(ErrorLogFile, SinkCapturesAndTheDefaultAppendsLinesToTheNamedFile) {
  const std::string folder = freshFolder(), path = folder + "zel_error_log_test.log";
  test::ScopedEnv env("ZEL_ERROR_LOG", path);
  {
    test::LogCapture capture;
    ErrorLogFile::logEntry("captured");
    EXPECT_EQ(capture.entries(), std::vector<std::string>{"captured"});
    // A sink may still write to the default destination.
    ErrorLogFile::logDefault("first");
    EXPECT_EQ(capture.entries(), std::vector<std::string>{"captured"});
  }
  ErrorLogFile::logEntry("second");
  std::stringstream contents;
  contents << std::ifstream(path).rdbuf();
  EXPECT_EQ(contents.str(), "first\nsecond\n");
  std::remove(path.c_str());
  std::remove(folder.c_str());
}

std::string contentsOf(const std::string& path) {
  std::stringstream contents;
  contents << std::ifstream(path).rdbuf();
  return contents.str();
}

// Runs `body` in a child process whose standard error goes to a file and
// returns the bytes written there, or how the child ended when it did not exit
// with 0. An alarm ends a child that blocks, so a hang fails instead of hanging.
std::string standardErrorOfChild(const std::function<void()>& body) {
  std::string path = testing::TempDir() + "zel_stderr_XXXXXX";
  const int file = mkstemp(path.data());
  if (file < 0) return "no temporary file";
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(file, STDERR_FILENO);
    alarm(10);
    body();
    std::fflush(nullptr);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  close(file);
  const std::string written = contentsOf(path);
  std::remove(path.c_str());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "child ended with status " + std::to_string(status) + " after: " + written;
  }
  return written;
}

// The first line written instead of the log file: which file and why.
std::string cannotWrite(const std::string& path, const std::string& reason) {
  return "Cannot write the error log \"" + path + "\" named by ZEL_ERROR_LOG (" + reason +
         "); log entries go to standard error.\n";
}

TEST(ErrorLogFile, EntriesTheLogFileCannotTakeGoToStandardErrorWithTheReasonOnce) {
  const std::string folder = freshFolder(), good = folder + "zel_error_log_good.log",
                    missing = folder + "zel_no_such_folder/zel.log",
                    readOnly = folder + "zel_error_log_read_only.log";
  std::ofstream(readOnly) << "kept\n";
  chmod(readOnly.c_str(), 0444);
  // One process: the reason is given for the first entry that misses the file, whatever
  // the file and the reason; a file that works again gets the entries again.
  EXPECT_EQ(standardErrorOfChild([&] {
              test::ScopedEnv full("ZEL_ERROR_LOG", "/dev/full");
              ErrorLogFile::logEntry("first");
              ErrorLogFile::logEntry("second");
              test::ScopedEnv gone("ZEL_ERROR_LOG", missing);
              ErrorLogFile::logEntry("third");
              test::ScopedEnv works("ZEL_ERROR_LOG", good);
              ErrorLogFile::logEntry("fourth");
            }),
            cannotWrite("/dev/full", "No space left on device") + "first\nsecond\nthird\n");
  EXPECT_EQ(contentsOf(good), "fourth\n");
  std::remove(good.c_str());
  // Each reason, as the first of a process.
  const struct {
    std::string path, reason;
  } cases[] = {{missing, "No such file or directory"},
               {folder, "Is a directory"},
               {readOnly, "Permission denied"},
               {"", "No such file or directory"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(standardErrorOfChild([&] {
                // The owner of a read-only file may still write to it when it is root.
                if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
                test::ScopedEnv log("ZEL_ERROR_LOG", c.path);
                ErrorLogFile::logEntry("entry");
              }),
              cannotWrite(c.path, c.reason) + "entry\n");
  }
  EXPECT_EQ(contentsOf(readOnly), "kept\n");
  std::remove(readOnly.c_str());
  std::remove(folder.c_str());
}

TEST(ErrorLogFile, RefusesAFifoWithoutAReaderInsteadOfWaitingForOne) {
  const std::string folder = freshFolder(), fifo = folder + "zel_error_log_fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(
      standardErrorOfChild([&] {
        test::ScopedEnv log("ZEL_ERROR_LOG", fifo);
        ErrorLogFile::logEntry("waiting");
        ErrorLogFile::logEntry("not waiting");
      }),
      cannotWrite(fifo, "no process has the FIFO open for reading") + "waiting\nnot waiting\n");
  // With a reader, the FIFO is the log like any file.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(standardErrorOfChild([&] {
              test::ScopedEnv log("ZEL_ERROR_LOG", fifo);
              ErrorLogFile::logEntry("read");
            }),
            "");
  char received[16] = {};
  EXPECT_EQ(read(reader, received, sizeof received - 1), 5);
  EXPECT_STREQ(received, "read\n");
  close(reader);
  std::remove(fifo.c_str());
  std::remove(folder.c_str());
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
