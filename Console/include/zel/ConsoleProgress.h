#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include <zel/ConsoleExport.h>
#include <zel/ErrorLogFile.h>
#include <zel/MidOpProcessor.h>

namespace zel {

class ProgressProvider;
namespace console {
struct BarState;
}

/// Where and how a ConsoleProgress draws; every member has a default, so that
/// tests and unusual applications replace only what they need.
struct ZEL_CONSOLE_API ConsoleProgressOptions {
  /// The clock the display measures time with.
  using Clock = std::chrono::steady_clock;

  /// The stream drawn on; standard output when null.
  std::ostream* output = nullptr;
  /// Whether the stream is a terminal. Unset: standard output, error and log
  /// are tested with isatty(); any other stream is not a terminal.
  std::optional<bool> terminal;
  /// The terminal's width in columns, asked at each drawing. Unset: the size
  /// of the stream's terminal, else the "COLUMNS" environment variable, else 80.
  std::function<int()> width;
  /// The time. Unset: the steady clock.
  std::function<Clock::time_point()> clock;
};

/// A progress display for command-line applications: a mid-operation processor
/// that draws the progress of the installed application progress reporter.
///
///   zel::ConsoleProgress display(reporter);  // registers itself; unregisters when destroyed
///
/// On a terminal it keeps one line, redrawn in place and never wider than the
/// terminal: the operation name, a bar, the percentage, the elapsed time and
/// the estimated time left. Elsewhere (a pipe, a file, a CI log) it writes one
/// plain line per operation and a final line, without escape sequences.
/// Lines written with println(), and the error log once captureErrorLog() was
/// called, appear above the bar and never share its line.
///
/// A cancel (requestCancel(), safe in a signal handler) stays requested until
/// the application acknowledges it, normally where it catches the Interrupt:
/// a request that a destructor's report swallows is made again at the next
/// report, and still seen by cancelRequested() once the work has returned.
///
/// Destroy the display before the reporter. Used from the reporting thread
/// only, apart from requestCancel().
class ZEL_CONSOLE_API ConsoleProgress : public MidOpProcessor {
 public:
  /// The clock the display measures time with.
  using Clock = ConsoleProgressOptions::Clock;

  /// Registers this display with the reporter, which must outlive it.
  explicit ConsoleProgress(ProgressProvider& reporter,
                           ConsoleProgressOptions options = ConsoleProgressOptions());
  ConsoleProgress(const ConsoleProgress&) = delete;             ///< Not copyable.
  ConsoleProgress& operator=(const ConsoleProgress&) = delete;  ///< Not copyable.
  /// Unregisters, finishes the display and gives the error log its previous
  /// sink back. Never throws.
  virtual ~ConsoleProgress();

  /// Called by the reporter at each report. Costs a clock read and a
  /// comparison when nothing is to be drawn. Returns 1 while a cancel is
  /// requested, except while an exception is already unwinding the work.
  int process() override;

  /// Writes a line above the bar (on a terminal: clears the bar, writes, and
  /// redraws it). The text should not end with a line end.
  void println(const std::string& text);

  /// Routes the error log through this display: each entry goes where it went
  /// before (ErrorLogFile's previous sink, or its default destination), after
  /// the bar is cleared and this display's stream is flushed, and the bar is
  /// redrawn after it. Undone when the display is destroyed.
  void captureErrorLog();

  /// Asks for the running operation to be interrupted: from the next report on
  /// process() returns 1. Async-signal-safe.
  void requestCancel() noexcept;
  /// Whether a cancel is requested and not yet acknowledged.
  bool cancelRequested() const noexcept;
  /// The application has seen the interrupt (caught the Interrupt, or found
  /// the reporter aborted in the soft mode): the request ends.
  void acknowledgeCancel() noexcept;

  /// Draws the final state and ends the line: the value where the run stopped,
  /// and "cancelled" when it was cancelled or an exception left the work.
  /// Reports after it are not drawn (a display shows one run); the destructor
  /// finishes a display that was not finished.
  void finish();

  /// Whether the display draws on a terminal (else it writes plain lines).
  bool isTerminal() const { return m_terminal; }

 private:
  enum class Phase { idle, running, stopped, finished };

  Clock::time_point now() const;
  int width() const;
  int answerCancel() const;
  void start(Clock::time_point now);
  void update(Clock::time_point now, float progress, const std::string& name);
  void stop(float progress, const std::string& name);
  console::BarState stoppedState() const;
  void drawBar();
  void clearBar();

  ProgressProvider& m_reporter;
  std::ostream& m_out;
  bool m_terminal;
  int m_descriptor;  // the stream's file descriptor, -1 when unknown
  std::function<int()> m_width;
  std::function<Clock::time_point()> m_clock;

  volatile std::sig_atomic_t m_cancelRequested = 0;
  int m_uncaughtAtStart;

  Phase m_phase = Phase::idle;
  bool m_shown = false;        // a bar line is on the terminal
  bool m_cancelled = false;    // stopped by a cancel or by an exception
  Clock::time_point m_start;
  Clock::time_point m_drawTime;  // of the last drawing
  Clock::time_point m_nextDraw;
  std::string m_name;          // operation name at the last report that changed it
  float m_seenProgress = 0.0f; // progress at the last report
  float m_drawnProgress = 0.0f;

  // The estimate of the time left.
  Clock::time_point m_sampleTime;
  float m_sampleProgress = 0.0f;
  double m_rate = -1.0;  // smoothed progress per second; negative while unknown
  bool m_predicting = false;
  float m_predictedWeight = 0.0f;
  float m_predictedSeconds = 0.0f;
  Clock::time_point m_predictionStart;
  std::optional<double> m_remaining;

  float m_stoppedProgress = 0.0f;
  std::string m_stoppedName;
  Clock::time_point m_stopTime;

  bool m_capturing = false;
  ErrorLogFile::Sink m_previousSink;
};

}  // namespace zel
