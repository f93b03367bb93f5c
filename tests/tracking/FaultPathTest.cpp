// Cancelling and failing in the middle of an operation: whatever a processor
// does at whichever report (asks to interrupt until the application has
// caught the Interrupt, asks once, throws), once the operation's trackers and
// guards are gone the application reporter is as it was before: nothing
// pushed, reporting stopped, and the next run goes from 0 to exactly 1.
#include <gtest/gtest.h>
#include <zel/ZELError.h>

#include <climits>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "RecordingErrorReporter.h"
#include "RecordingProgressReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

using test::Calls;

enum { kRun = 1, kAssemble = 10, kSolve = 11 };

enum class Style { persistentCancel, oneShotCancel, throwing };

const char* nameOf(Style style) {
  switch (style) {
    case Style::persistentCancel:
      return "persistent cancel";
    case Style::oneShotCancel:
      return "one-shot cancel";
    default:
      return "throwing";
  }
}

// Acts at the `fireAt`-th yield after it was armed: a one-shot cancel asks to
// interrupt at that yield only; a persistent cancel (the "Cancel button") asks
// at every yield from then on, and a throwing processor throws at each, until
// the application acknowledges, having caught what came out of the operation.
struct Canceller : MidOpProcessor {
  int process() override {
    if (fireAt == 0 || acknowledged) return 0;
    ++seen;
    if (seen < fireAt || (style == Style::oneShotCancel && seen > fireAt)) return 0;
    if (style == Style::throwing) throw std::runtime_error("processor failed");
    return 1;
  }
  void arm(int at) {
    fireAt = at;
    seen = 0;
  }
  Style style = Style::persistentCancel;
  int fireAt = 0;  // 0: disarmed
  int seen = 0;
  bool acknowledged = false;
};

// What working code in the soft abort mode throws when it sees isAborted().
struct Abandoned {};

// In operation Run, Assemble weighs 0.4 (two runs of 0.2) and Solve 0.6. Each
// test gets a fresh application reporter with a canceller registered, and a
// recording error front (destructors report what they catch there).
class FaultPath : public ::testing::Test, public ProgressBudgetBuilder {
 protected:
  FaultPath() {
    ProgressBudgetDirector director;
    director.setBuilder(this);
    m_budget.reset(director.constructBudget());
    m_budget->setCurrentOperation(ProgressOperation(kRun));
  }
  ~FaultPath() override {
    ProgressTracker::setReporter(nullptr);
    ProgressFunction::setBudget(nullptr);
  }
  void buildOperations() override { createOperation(kRun, "Run"); }
  void buildFunctions() override {
    createFunction(kAssemble, "Assemble");
    createFunction(kSolve, "Solve");
  }
  void buildItinerary() override {
    addFunctionToOperation(kRun, kAssemble, 0.4f);
    addFunctionToOperation(kRun, kSolve, 0.6f);
  }

  // A new reporter, installed for every tracker, with the canceller set up.
  ApplicationProgressReporterImpl& freshReporter(Style style, bool soft) {
    m_application = std::make_unique<ApplicationProgressReporterImpl>();
    m_canceller = Canceller();
    m_canceller.style = style;
    m_application->registerMidOpProcessor(&m_canceller);
    m_application->setSoftAbortMode(soft);
    m_soft = soft;
    ProgressTracker::setReporter(m_application.get());
    return *m_application;
  }

  // Runs `operation` as an application does: whatever leaves it is caught,
  // and the cancel is acknowledged. Returns what left it.
  template <typename Operation>
  std::string runCaught(Operation operation) {
    std::string left = "nothing";
    try {
      operation();
    } catch (const Interrupt&) {
      left = "Interrupt";
    } catch (const std::runtime_error&) {
      left = "processor's exception";
    } catch (const Abandoned&) {
      left = "abandoned";
    }
    m_canceller.acknowledged = true;
    m_application->setSoftAbortMode(m_soft);  // clears isAborted()
    return left;
  }

  // A fresh run of one entry goes from 0 to exactly 1, and afterwards nothing
  // runs any more: startProgress() starts reporting again.
  void expectClean() {
    ApplicationProgressReporterImpl& application = *m_application;
    {
      ProgressTracker fresh("Fresh", false);
      EXPECT_EQ(application.getProgress(), 0.0f);
      fresh.add("Only", 1.0f, 4);
      fresh.start(std::size_t{0}, 4);
      fresh += 4;
    }
    EXPECT_EQ(application.getProgress(), 1.0f);
    EXPECT_TRUE(application.startProgress());
    application.stopProgress();
  }

  std::unique_ptr<ProgressBudget> m_budget;
  std::unique_ptr<ApplicationProgressReporterImpl> m_application;
  Canceller m_canceller;
  bool m_soft = false;
  test::RecordingErrorReporter m_errors;
  test::ScopedErrorReporter m_front{m_errors};
};

// The nested run: Solve (the outermost tracker, which starts reporting) has
// two entries. In the first an inner tracker counts two entries with += and
// ++; in the second two guards of Assemble run in turn, the first with a guard
// of Solve inside. `armed` is called once Solve has started up. In the soft
// abort mode the run polls isAborted() between steps and leaves when it is set.
void nestedRun(const ApplicationProgressReporterImpl& application,
               const std::function<void()>& armed) {
  const auto poll = [&] {
    if (application.isAborted()) throw Abandoned{};
  };
  ProgressTracker solve("Solve", true);
  armed();
  solve.add("Mesh", 0.5f, 0);
  solve.add("Assemble", 0.5f, 0);
  solve.start(std::size_t{0}, 0);
  {
    ProgressTracker mesh("Mesh", true);
    mesh.add("Read", 0.5f, 4);
    mesh.add("Check", 0.5f, 2);
    mesh.start("Read", 4);
    mesh += 4;
    poll();
    mesh.nextStep(2);
    ++mesh;
    poll();
    ++mesh;
  }
  poll();
  solve.nextStep(0);
  {
    StartProgress assemble(kAssemble, 2);
    {
      StartProgress inner(kSolve, 1);
      poll();
    }
    poll();
  }
  poll();
  { StartProgress again(kAssemble, 2); }
  poll();
}

TEST_F(FaultPath, ANestedRunWithoutFaultsEndsAtOne) {
  ApplicationProgressReporterImpl& application = freshReporter(Style::persistentCancel, false);
  nestedRun(application, [] {});
  EXPECT_EQ(application.getProgress(), 1.0f);
  EXPECT_TRUE(m_errors.records().empty());
  expectClean();
}

// Each kind of processor, at the first report of the inner counting
// and at each report the destructors make when the inner scope ends, with
// trackers and guards nested three deep.
TEST_F(FaultPath, EveryProcessorStyleLeavesTheReporterCleanInBothAbortModes) {
  for (const Style style : {Style::persistentCancel, Style::oneShotCancel, Style::throwing}) {
    for (const bool soft : {false, true}) {
      // 0: at the first count report; 1 ... 4: at the k-th report of the
      // destructors (the guard's start of its entry, its tracker's 1.0, Read's
      // 1.0 in the inner tracker, the entry of Solve).
      for (int at = 0; at <= 4; ++at) {
        SCOPED_TRACE(std::string(nameOf(style)) + (soft ? ", soft" : ", normal") + ", point " +
                     std::to_string(at));
        ApplicationProgressReporterImpl& application = freshReporter(style, soft);
        runCaught([&] {
          ProgressTracker solve("Solve", true);
          solve.add("Run", 1.0f, 0);
          solve.start(std::size_t{0}, 0);
          {
            ProgressTracker inner("Inner", false);
            inner.add("Read", 0.5f, 10);
            inner.start(std::size_t{0}, 10);
            StartProgress guard(kAssemble, 1);
            if (at == 0) m_canceller.arm(1);
            inner += 5;
            if (application.isAborted()) throw Abandoned{};
            if (at > 0) m_canceller.arm(at);
          }
          if (application.isAborted()) throw Abandoned{};
        });
        expectClean();
      }
    }
  }
}

// An interrupt requested at each report point of the nested run after its
// start-up, in both abort modes and for each processor style. (A failure of the
// outermost tracker's own start-up report leaves its constructor, and the
// reporting it has just started stays running: no tracker exists that could
// stop it; see the next test.)
TEST_F(FaultPath, AnInterruptAtEachReportPointLeavesTheReporterClean) {
  freshReporter(Style::persistentCancel, false);
  nestedRun(*m_application, [&] { m_canceller.arm(INT_MAX); });
  const int points = m_canceller.seen;  // reports 0 and 1 of each entry, and the counts
  ASSERT_EQ(points, 20);
  for (const Style style : {Style::persistentCancel, Style::oneShotCancel, Style::throwing}) {
    for (const bool soft : {false, true}) {
      for (int at = 1; at <= points; ++at) {
        SCOPED_TRACE(std::string(nameOf(style)) + (soft ? ", soft" : ", normal") + ", point " +
                     std::to_string(at));
        ApplicationProgressReporterImpl& application = freshReporter(style, soft);
        SCOPED_TRACE(runCaught([&] { nestedRun(application, [&] { m_canceller.arm(at); }); }));
        expectClean();
      }
    }
  }
}

TEST_F(FaultPath, AFailedStartUpLeavesTheReportingItStartedRunning) {
  ApplicationProgressReporterImpl& application = freshReporter(Style::oneShotCancel, false);
  m_canceller.arm(1);
  EXPECT_EQ(runCaught([] { ProgressTracker solve("Solve", true); }), "Interrupt");
  EXPECT_FALSE(application.startProgress());
  application.stopProgress();
  expectClean();
}

// With the recording reporter: the closing sequence stays the documented one,
// and when a step of it fails the destructor still takes the others, and
// reports the failure once.
TEST_F(FaultPath, DestructorTakesEveryClosingStepWhenOneFails) {
  test::RecordingProgressReporter reporter;
  ProgressTracker::setReporter(&reporter);
  const char* const caught = "Caught exception";
  struct {
    const char* failing;
    Calls closing;
  } cases[] = {
      {"", {"reportProgress(1)", "popWeight", "stopProgress"}},
      {"reportProgress", {"reportProgress(1)", "popWeight", "stopProgress"}},
      {"popWeight", {"reportProgress(1)", "popWeight", "stopProgress"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing);
    const std::size_t before = m_errors.records().size();
    {
      ProgressTracker tracker("Solve", true);
      tracker.add("A", 0.5f, 10);
      tracker.start(std::size_t{0}, 10);
      reporter.take();
      if (*c.failing != '\0') reporter.throwFrom(c.failing);
    }
    EXPECT_EQ(reporter.take(), c.closing);
    const std::size_t reports = *c.failing != '\0' ? 1u : 0u;
    ASSERT_EQ(m_errors.records().size(), before + reports);
    if (reports != 0) {
      EXPECT_EQ(m_errors.records().back().message(), caught);
    }
    reporter = test::RecordingProgressReporter();
  }
  // A push the reporter refused leaves nothing to pop: the entry is reported
  // complete, and no outer weight is popped in its place.
  reporter.throwFrom("pushWeight");
  {
    ProgressTracker tracker("Solve", true);
    tracker.add("A", 0.5f, 10);
    EXPECT_THROW(tracker.start(std::size_t{0}, 10), internal::error);
  }
  EXPECT_EQ(reporter.take(), (Calls{"startProgress", "setOperationName(Solve)", "reportProgress(0)",
                                    "pushWeight(0.5)", "reportProgress(1)", "stopProgress"}));
}

// A tracker that counts the calls of its increment().
struct CountingTracker : ProgressTracker {
  using ProgressTracker::ProgressTracker;
  void increment() override {
    ++calls;
    ProgressTracker::increment();
  }
  long long calls = 0;
};

TEST_F(FaultPath, AddingCountsOnlyWhatCanCountAndReportsAsOneByOne) {
  test::RecordingProgressReporter oneByOne, added;
  // (notify frequency, total, increments given at start, counts added)
  const struct {
    int frequency, total, given;
    std::vector<int> counts;
  } cases[] = {
      {100, 100, 100, {INT_MAX}},
      {100, 1000, 1000, {1, 7, 500, 3, 10000}},
      {4, 100, 0, {1, 24, 25, 26, 30}},
      {100, 50, 50, {13, 13, 13, 13, 13}},
      {3, 7, 7, {2, 2, 2, 2}},
      {100, 0, 0, {5}},
      {1, 1000000, 1000000, {999999, 1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.total) + " increments, frequency " + std::to_string(c.frequency));
    for (test::RecordingProgressReporter* reporter : {&oneByOne, &added}) {
      ProgressTracker::setReporter(reporter);
      ProgressTracker tracker;
      tracker.setNotifyFrequency(c.frequency);
      tracker.add("Entry", 1.0f, c.total);
      tracker.start(std::size_t{0}, c.given);
      for (const int count : c.counts) {
        if (reporter == &added) {
          tracker += count;
        } else {
          const long long done = tracker.getTotalIncrements(std::size_t{0});
          for (long long i = 0; i < count && i <= done; ++i) tracker.increment();
        }
      }
    }
    EXPECT_EQ(added.take(), oneByOne.take());
  }
  // A derived tracker's increment() is called once for each increment that
  // can still count, not INT_MAX times.
  ProgressTracker::setReporter(&added);
  CountingTracker counting;
  counting.add("Entry", 1.0f, 100);
  counting += 3;  // no entry started: nothing can count
  counting.start(std::size_t{0}, 100);
  counting += 5;
  counting += INT_MAX;
  EXPECT_EQ(counting.calls, 100);
  EXPECT_EQ(counting.getProgress(), 1.0f);
}

}  // namespace
}  // namespace zel
