// Exhausted memory in the middle of handing reports out: this program
// replaces the global allocation functions so that one chosen allocation
// fails, and tries every allocation in turn.
#include <gtest/gtest.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>
#include <zel/OutputMessageQueue.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

// Allocations still allowed before one fails; negative while none is to fail.
long g_allowedAllocations = -1;

void* allocate(std::size_t size) {
  if (g_allowedAllocations == 0) {
    g_allowedAllocations = -1;
    throw std::bad_alloc();
  }
  if (g_allowedAllocations > 0) --g_allowedAllocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

// Makes the allocation after `allowed` more fail, for one scope.
class FailingAllocation {
 public:
  explicit FailingAllocation(long allowed) { g_allowedAllocations = allowed; }
  ~FailingAllocation() { g_allowedAllocations = -1; }
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;
};

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace zel {
namespace {

std::vector<std::string> displayTexts(OutputMessageQueue& queue) {
  std::vector<std::string> texts;
  for (; !queue.empty(); queue.pop()) texts.push_back(queue.getText());
  return texts;
}

TEST(AllocationFailure, TakingTheQueueLosesAndCorruptsNothing) {
  const ErrorLogFile::Sink previous = ErrorLogFile::setSink([](const std::string&) {});
  // More messages than the queue's first block holds, texts too long to be
  // kept inside a string object, a duplicate and one with a log part.
  std::vector<ErrorMsg> reports;
  std::vector<std::string> expected;
  for (int i = 0; i < 14; ++i) {
    const std::string text = "Warning number " + std::to_string(i) + " about the mesh";
    reports.emplace_back("Mesh", "read", text, typeWarning);
    expected.push_back(text);
    if (i == 3) reports.emplace_back("Mesh", "read", text, typeWarning);
    // The queue's first block holds ten messages: the tenth, which needs the
    // next block, is one that is not shown as it stands.
    if (i == 8) {
      reports.emplace_back("Mesh", "read", "Shown to the user<untranslated>For the log only",
                           typeError);
      expected.push_back("Shown to the user");
    }
  }
  for (long allowed = 0;; ++allowed) {
    SCOPED_TRACE(allowed);
    ApplicationErrorReporterImpl reporter;
    for (const ErrorMsg& report : reports) reporter.reportError(report);
    OutputMessageQueue queue;
    bool failed = false;
    {
      FailingAllocation failing(allowed);
      try {
        reporter.takeMessageQueue(queue);
      } catch (const std::bad_alloc&) {
        failed = true;
      }
    }
    // Whatever the failure left stored is handed out by the next call, once.
    reporter.takeMessageQueue(queue);
    EXPECT_FALSE(reporter.hasMessages());
    ASSERT_EQ(displayTexts(queue), expected);
    if (!failed) break;
  }
  ErrorLogFile::setSink(previous);
}

}  // namespace
}  // namespace zel
