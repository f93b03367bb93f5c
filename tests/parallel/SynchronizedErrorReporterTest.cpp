#include <gtest/gtest.h>

#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorReporter.h>
#include <zel/ErrorTagIF.h>
#include <zel/InternalError.h>
#include <zel/OutputMessageQueue.h>
#include <zel/SynchronizedErrorReporter.h>

#include <atomic>
#include <cctype>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "RecordingErrorReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using test::LogCapture;
using test::RecordingErrorReporter;
using test::ScopedEnv;
using test::ScopedErrorReporter;

class FixedTag final : public ErrorTagIF {
 public:
  explicit FixedTag(ErrorTag::ErrorTagType tag) : m_tag(tag) {}
  ErrorTag::ErrorTagType currentTag() const override { return m_tag; }

 private:
  ErrorTag::ErrorTagType m_tag;
};

std::vector<std::string> drain(OutputMessageQueue& queue) {
  std::vector<std::string> texts;
  for (; !queue.empty(); queue.pop()) texts.push_back(queue.getText());
  return texts;
}

TEST(SynchronizedErrorReporter, ForwardsEachReportToTheSameOverloadOfTheWrappedReporter) {
  RecordingErrorReporter target;
  SynchronizedErrorReporter synchronized(target);
  const internal::error failure("Solver", "solve", "Diverged.", typeError);
  synchronized.reportError(failure, typeWarning);
  synchronized.reportError(failure);
  synchronized.reportError(ErrorMsg("Mesh", "load", "Degenerate.", typeSevere));
  EXPECT_EQ(target.calls(), (std::vector<std::string>{"reportError(Error, errorType)",
                                                      "reportError(Error)",
                                                      "reportError(ErrorMsg)"}));
  ASSERT_EQ(target.records().size(), 3u);
  EXPECT_EQ(target.records()[0].type(), typeWarning);
  EXPECT_EQ(target.records()[1].type(), typeError);
  EXPECT_EQ(target.records()[2].message(), "Degenerate.");
  EXPECT_TRUE(synchronized.hasMessages());
  EXPECT_TRUE(synchronized.hasMessages(typeSevere));
  EXPECT_FALSE(synchronized.hasMessages(typeInterrupt));
  EXPECT_EQ(&synchronized.target(), &target);
}

TEST(SynchronizedErrorReporter, ForwardsModesTagProviderAndQueues) {
  ScopedEnv quiet("ZEL_VERBOSE_MESSAGE_ON", std::nullopt);
  LogCapture log;
  ApplicationErrorReporterImpl target;
  SynchronizedErrorReporter synchronized(target);
  synchronized.registerErrorTagIF(new FixedTag(static_cast<ErrorTag::ErrorTagType>(7)));  // owned by the target from now on
  synchronized.setVerboseMode(true);
  synchronized.reportError(ErrorMsg("Mesh", "load", "Degenerate.", typeWarning));
  synchronized.reportError(ErrorMsg("Solver", "solve", "Slow.", typeSevere));

  OutputMessageQueue warnings;
  synchronized.takeMessageQueue(typeWarning, warnings);
  ASSERT_FALSE(warnings.empty());
  EXPECT_EQ(warnings.getErrorTag(), static_cast<ErrorTag::ErrorTagType>(7));
  EXPECT_EQ(drain(warnings), std::vector<std::string>{"Mesh::load::Degenerate."});
  EXPECT_TRUE(target.hasMessages(typeSevere));

  OutputMessageQueue rest;
  synchronized.takeMessageQueue(rest);
  EXPECT_EQ(drain(rest), std::vector<std::string>{"Solver::solve::Slow."});
  EXPECT_FALSE(synchronized.hasMessages());
  EXPECT_EQ(log.entries().size(), 2u);
}

// Four workers report through the process-wide front while the user
// interface thread keeps taking queues: each message is handed out exactly
// once, and each worker's messages are logged in the order it reported them.
TEST(SynchronizedErrorReporter, HandsOutEveryMessageOfManyReportingThreadsExactlyOnce) {
  ScopedEnv quiet("ZEL_VERBOSE_MESSAGE_ON", std::nullopt);
  constexpr int kWorkers = 4;
  constexpr int kPerWorker = 5000;
  LogCapture log;
  ApplicationErrorReporterImpl target;
  SynchronizedErrorReporter synchronized(target);
  ScopedErrorReporter installed(synchronized);

  std::atomic<int> running{kWorkers};
  std::atomic<int> queuesTaken{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([w, &running, &queuesTaken] {
      for (int i = 0; i < kPerWorker; ++i) {
        // Halfway, make sure that queues are taken while reports come in.
        if (i == kPerWorker / 2) {
          while (queuesTaken.load() < 2) std::this_thread::yield();
        }
        ErrorReporter::instance()->reportError(
            ErrorMsg("Worker", "run", "worker " + std::to_string(w) + " message " +
                     std::to_string(i), i % 2 == 0 ? typeWarning : typeSevere));
      }
      --running;
    });
  }
  std::map<std::string, int> seen;
  auto takeOne = [&] {
    OutputMessageQueue queue;
    synchronized.takeMessageQueue(queue);
    ++queuesTaken;
    for (const std::string& text : drain(queue)) ++seen[text];
  };
  while (running.load() > 0) takeOne();
  for (std::thread& worker : workers) worker.join();
  takeOne();

  EXPECT_GE(queuesTaken.load(), 3);
  EXPECT_FALSE(synchronized.hasMessages());
  ASSERT_EQ(seen.size(), static_cast<std::size_t>(kWorkers * kPerWorker));
  for (const auto& [text, times] : seen) {
    if (times != 1) ADD_FAILURE() << text << " was handed out " << times << " times";
  }
  ASSERT_EQ(log.entries().size(), static_cast<std::size_t>(kWorkers * kPerWorker));
  std::vector<int> next(kWorkers, 0);
  for (const std::string& entry : log.entries()) {
    const std::size_t at = entry.find("worker ");
    ASSERT_NE(at, std::string::npos) << entry;
    const int w = entry[at + 7] - '0';
    const std::string expected = "worker " + std::to_string(w) + " message " +
                                 std::to_string(next[static_cast<std::size_t>(w)]++);
    const std::string logged = entry.substr(at, expected.size() + 1);
    ASSERT_EQ(logged.substr(0, expected.size()), expected);
    // Not the start of a longer number.
    ASSERT_TRUE(logged.size() == expected.size() || !std::isdigit(logged.back())) << entry;
  }
}

}  // namespace
}  // namespace zel
