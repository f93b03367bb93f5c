// The console progress display, driven through a real application reporter
// and trackers, drawn on a fake terminal with a fake clock.
#include <gtest/gtest.h>

#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/ConsoleProgress.h>
#include <zel/ErrorLogFile.h>
#include <zel/Interrupt.h>
#include <zel/ProgressTracker.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ConsoleLine.h"
#include "FakeTerminal.h"

namespace zel::test {
namespace {

using Clock = ConsoleProgress::Clock;
using std::chrono::milliseconds;

// A reporter installed for every tracker, a fake clock, and options that draw
// on the given stream.
struct Rig {
  ApplicationProgressReporterImpl reporter;
  Clock::time_point now{};
  int width = 80;

  Rig() { ProgressTracker::setReporter(&reporter); }
  ~Rig() { ProgressTracker::setReporter(nullptr); }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  ConsoleProgressOptions options(std::ostream& out, bool terminal) {
    ConsoleProgressOptions options;
    options.output = &out;
    options.terminal = terminal;
    options.width = [this] { return width; };
    options.clock = [this] { return now; };
    return options;
  }
  void advance(milliseconds step) { now += step; }
};

bool isBarRow(const std::string& row) {
  return row.find('[') != std::string::npos && row.find("%") != std::string::npos &&
         (row.find("#]") != std::string::npos || row.find("-]") != std::string::npos);
}

std::vector<std::string> barRows(const std::vector<std::string>& rows) {
  std::vector<std::string> bars;
  std::copy_if(rows.begin(), rows.end(), std::back_inserter(bars), isBarRow);
  return bars;
}

// Checks what the user sees: no row wider than the terminal allows, exactly
// one bar row, and it is the last row.
void expectOneBarBelow(const FakeTerminal& terminal) {
  const auto rows = terminal.rows();
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    EXPECT_LT(console::columns(row), static_cast<std::size_t>(terminal.width()) - 2) << row;
  }
  EXPECT_EQ(barRows(rows).size(), 1u) << ::testing::PrintToString(rows);
  EXPECT_TRUE(isBarRow(rows.back())) << rows.back();
  EXPECT_TRUE(terminal.unknown().empty());
}

TEST(ConsoleProgress, KeepsOneBarRowNoWiderThanTheTerminalWithLinesAboveIt) {
  const std::string longName(70, 'n');
  for (int width : {40, 80, 200}) {
    SCOPED_TRACE("width " + std::to_string(width));
    Rig rig;
    rig.width = width;
    FakeTerminal terminal(width);
    std::ostream out(&terminal);
    // The log goes to the same terminal, as standard error does.
    const auto before = ErrorLogFile::setSink([&](const std::string& e) { out << e << '\n'; });
    {
      ConsoleProgress display(rig.reporter, rig.options(out, true));
      display.captureErrorLog();
      ProgressTracker tracker("Analysis", true);
      tracker.add("Load mesh", 0.2f, 100);
      tracker.add("Lösen mit Umlauten", 0.3f, 100);
      tracker.add(longName, 0.5f, 100);
      bool sawEstimate = false;
      for (std::size_t entry = 0; entry < 3; ++entry) {
        tracker.start(entry, 100);
        for (int i = 0; i < 100; ++i) {
          rig.advance(milliseconds(30));
          tracker.increment();
          if (i == 50) {
            display.println("Line " + std::to_string(entry));
            ErrorLogFile::logEntry("Logged " + std::to_string(entry));
            expectOneBarBelow(terminal);
          }
          sawEstimate = sawEstimate || terminal.rows().back().find(" left") != std::string::npos;
        }
      }
      EXPECT_TRUE(sawEstimate);
      tracker.stop();
      display.finish();
    }
    ErrorLogFile::setSink(before);

    expectOneBarBelow(terminal);
    const auto rows = terminal.rows();
    // Each printed and logged line stands alone on its row, above the bar.
    std::vector<std::string> above(rows.begin(), rows.end() - 1);
    EXPECT_EQ(above, (std::vector<std::string>{"Line 0", "Logged 0", "Line 1", "Logged 1",
                                               "Line 2", "Logged 2"}));
    EXPECT_NE(rows.back().find("100%"), std::string::npos) << rows.back();
    EXPECT_NE(rows.back().find("…"), std::string::npos) << "the long name is cut";
    EXPECT_TRUE(terminal.cursorVisible());
    // Once finished the line is ended: what follows starts on a row of its own.
    out << "After";
    EXPECT_EQ(terminal.rows().back(), "After");
  }
}

// How the application leaves the work after the cancel.
enum class Exit { caughtInterrupt, softAbort, unwoundThroughDisplay };

TEST(ConsoleProgress, FinalRowAfterACancelShowsCancelledAndTheValueReached) {
  for (Exit exit : {Exit::caughtInterrupt, Exit::softAbort, Exit::unwoundThroughDisplay}) {
    SCOPED_TRACE(static_cast<int>(exit));
    Rig rig;
    rig.reporter.setSoftAbortMode(exit == Exit::softAbort);
    FakeTerminal terminal(80);
    std::ostream out(&terminal);
    bool interrupted = false;
    try {
      ConsoleProgress display(rig.reporter, rig.options(out, true));
      ProgressTracker outer("Analysis", true);
      outer.add("Solve", 1.0f, 100);
      outer.start(std::size_t{0}, 100);
      {
        ProgressTracker inner("Iterate", true);
        inner.add("Iterate", 1.0f, 100);
        inner.start(std::size_t{0}, 100);
        for (int i = 0; i < 100 && !rig.reporter.isAborted(); ++i) {
          rig.advance(milliseconds(10));
          if (i == 43) display.requestCancel();
          inner.increment();
        }
      }  // the inner tracker's final report would take the progress to the end
      EXPECT_TRUE(display.cancelRequested());
      if (exit == Exit::softAbort) {
        display.acknowledgeCancel();
        interrupted = true;
      }
      // Left without a catch: the display is destroyed while the interrupt unwinds.
      if (exit == Exit::unwoundThroughDisplay) throw Interrupt("Test", "run", "stop", typeInterrupt);
      display.finish();
    } catch (const Interrupt&) {
      interrupted = true;
    }
    EXPECT_TRUE(interrupted);
    expectOneBarBelow(terminal);
    const std::string last = terminal.rows().back();
    EXPECT_NE(last.find("cancelled"), std::string::npos) << last;
    EXPECT_NE(last.find(" 44%"), std::string::npos) << last;
    EXPECT_TRUE(terminal.cursorVisible());
  }
}

TEST(ConsoleProgress, CancelStaysRequestedUntilAcknowledgedButIsNotRepeatedWhileUnwinding) {
  Rig rig;
  std::ostringstream out;
  ConsoleProgress display(rig.reporter, rig.options(out, false));
  EXPECT_EQ(display.process(), 0);
  display.requestCancel();
  EXPECT_EQ(display.process(), 1);
  EXPECT_EQ(display.process(), 1) << "asked again: a destructor may have swallowed it";
  try {
    struct Reporter {
      ConsoleProgress& display;
      int answer = -1;
      ~Reporter() { answer = display.process(); EXPECT_EQ(answer, 0); }
    } reporter{display};
    throw Interrupt("Test", "run", "stop", typeInterrupt);
  } catch (const Interrupt&) {
  }
  EXPECT_TRUE(display.cancelRequested());
  display.acknowledgeCancel();
  EXPECT_FALSE(display.cancelRequested());
  EXPECT_EQ(display.process(), 0);
}

TEST(ConsoleProgress, DrawsAtMostTwentyTimesASecondButEveryNewNameAndTheEnd) {
  Rig rig;
  FakeTerminal terminal(100);
  std::ostream out(&terminal);
  ConsoleProgress display(rig.reporter, rig.options(out, true));
  ProgressTracker tracker("Run", true);
  const std::vector<std::string> names = {"First", "Second", "Third"};
  for (const auto& name : names) tracker.add(name, 1.0f, 1000);
  tracker.setNotifyFrequency(1000);
  for (std::size_t entry = 0; entry < names.size(); ++entry) {
    tracker.start(entry, 1000);
    for (int i = 0; i < 1000; ++i) {
      rig.advance(milliseconds(1));  // one report a millisecond, three seconds in all
      tracker.increment();
    }
  }
  const std::string& stream = terminal.received();
  const auto drawings = std::count(stream.begin(), stream.end(), '\r');
  EXPECT_GE(drawings, 3 * 20);
  EXPECT_LE(drawings, 3 * 20 + 1 + 3 + 1) << "timed drawings, first state, names, end";
  for (const auto& name : names) EXPECT_NE(stream.find(name), std::string::npos) << name;
  EXPECT_NE(terminal.rows().back().find("100%"), std::string::npos) << terminal.rows().back();
}

TEST(ConsoleProgress, EstimatesTheTimeLeftFromThePredictionElseFromTheRate) {
  Rig rig;
  FakeTerminal terminal(100);
  std::ostream out(&terminal);
  ConsoleProgress display(rig.reporter, rig.options(out, true));
  ProgressTracker tracker("Run", true);
  tracker.add("Steady", 0.5f, 100);
  tracker.add("Predicted", 0.5f, 0);
  tracker.start(std::size_t{0}, 100);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(terminal.rows().back().find(" left") != std::string::npos, i >= 10)
        << "no estimate before a second has passed: " << terminal.rows().back();
    rig.advance(milliseconds(100));
    tracker.increment();
  }
  // One percent every 100 ms: half of the run in 10 s, 10 s to go.
  EXPECT_NE(terminal.rows().back().find("0:10  0:10 left"), std::string::npos)
      << terminal.rows().back();
  tracker.nextStep(0);
  // The step is half of what remains and takes 20 s: the rest takes as long.
  rig.advance(milliseconds(100));
  rig.reporter.predictProgress("Factorise", 0.5f, 20.0f);
  EXPECT_NE(terminal.rows().back().find("0:20 left"), std::string::npos)
      << terminal.rows().back();
  rig.advance(milliseconds(3000));
  rig.reporter.predictProgress("Factorise", 0.5f, 20.0f);
  EXPECT_NE(terminal.rows().back().find("0:17 left"), std::string::npos)
      << terminal.rows().back();
}

TEST(ConsoleProgress, WritesPlainLinesWithoutEscapesWhenNotATerminal) {
  Rig rig;
  std::ostringstream out;
  const auto before = ErrorLogFile::setSink([&](const std::string& e) { out << "log: " << e << '\n'; });
  {
    ConsoleProgress display(rig.reporter, rig.options(out, false));
    display.captureErrorLog();
    display.println("Starting");
    ProgressTracker tracker("Analysis", true);
    tracker.add("Load mesh", 0.25f, 100);
    tracker.add("Solve", 0.75f, 100);
    tracker.start(std::size_t{0}, 100);
    for (int i = 0; i < 100; ++i) {
      rig.advance(milliseconds(10));
      tracker.increment();
    }
    ErrorLogFile::logEntry("Mesh read");
    tracker.nextStep(100);
    rig.reporter.predictProgress("Factorise", 0.5f, 1.5f);
    rig.reporter.cancelPrediction();
    for (int i = 0; i < 100; ++i) {
      rig.advance(milliseconds(20));
      tracker.increment();
    }
    tracker.stop();
  }
  ErrorLogFile::setSink(before);
  EXPECT_EQ(out.str(),
            "Starting\n"
            "[  0%] Analysis\n"
            "[  0%] Load mesh\n"
            "log: Mesh read\n"
            "[ 25%] Solve\n"
            "[ 25%] Factorise  ~2 s\n"
            "[100%] done in 0:03\n");
}

TEST(ConsoleProgress, GivesTheErrorLogItsSinkBackWhenDestroyed) {
  Rig rig;
  std::vector<std::string> entries;
  const auto before = ErrorLogFile::setSink([&](const std::string& e) { entries.push_back(e); });
  FakeTerminal terminal(80);
  std::ostream out(&terminal);
  {
    ConsoleProgress display(rig.reporter, rig.options(out, true));
    display.captureErrorLog();
    display.captureErrorLog();  // once is enough
    display.process();
    ErrorLogFile::logEntry("During");
  }
  const std::string drawn = terminal.received();
  ErrorLogFile::logEntry("After");
  ErrorLogFile::setSink(before);
  EXPECT_EQ(entries, (std::vector<std::string>{"During", "After"}));
  EXPECT_EQ(terminal.received(), drawn) << "the display no longer takes part";
}

}  // namespace
}  // namespace zel::test
