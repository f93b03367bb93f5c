#include <sys/ioctl.h>
#include <unistd.h>

#include <zel/ConsoleProgress.h>
#include <zel/ProgressProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <utility>

#include "ConsoleLine.h"

namespace zel {
namespace {

using console::BarState;

constexpr auto kRedrawInterval = std::chrono::milliseconds(50);  // at most 20 drawings a second
constexpr double kSampleSeconds = 0.25;     // shortest interval over which a rate is measured
constexpr double kSmoothingSeconds = 3.0;   // time constant of the smoothed rate
constexpr double kFirstEstimateSeconds = 1.0;  // observed time before the rate is trusted

// Carriage return, and erase to the end of the line. The cursor is not
// hidden: a process ended by a signal would leave it hidden in the shell.
constexpr const char* kReturn = "\r";
constexpr const char* kEraseToEnd = "\033[K";
constexpr const char* kCancelled = "cancelled";

double seconds(ConsoleProgress::Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

int descriptorOf(const std::ostream& stream) {
  if (&stream == &std::cout) return STDOUT_FILENO;
  if (&stream == &std::cerr || &stream == &std::clog) return STDERR_FILENO;
  return -1;
}

}  // namespace

ConsoleProgress::ConsoleProgress(ProgressProvider& reporter, ConsoleProgressOptions options)
    : m_reporter(reporter),
      m_out(options.output != nullptr ? *options.output : std::cout),
      m_terminal(false),
      m_descriptor(descriptorOf(m_out)),
      m_width(std::move(options.width)),
      m_clock(std::move(options.clock)),
      m_uncaughtAtStart(std::uncaught_exceptions()) {
  m_terminal = options.terminal ? *options.terminal
                                : m_descriptor >= 0 && ::isatty(m_descriptor) != 0;
  // A lambda rather than &Clock::now, whose function type would be exported.
  if (!m_clock) m_clock = [] { return Clock::now(); };
  m_reporter.registerMidOpProcessor(this);
}

ConsoleProgress::~ConsoleProgress() {
  m_reporter.unregisterMidOpProcessor(this);
  try {
    finish();
  } catch (...) {
    // A stream that throws cannot be drawn on; nothing else is left to do.
  }
  if (m_capturing) ErrorLogFile::setSink(std::move(m_previousSink));
}

int ConsoleProgress::process() {
  if (m_phase == Phase::stopped || m_phase == Phase::finished) return answerCancel();
  if (std::uncaught_exceptions() > m_uncaughtAtStart) {
    // An exception is unwinding the work, and these are the reports its
    // trackers make on the way out: the run stopped at the last value seen.
    if (m_phase == Phase::running) {
      m_cancelled = true;
      stop(m_seenProgress, m_name);
    }
    return 0;
  }
  const float progress = m_reporter.getProgress();
  if (m_cancelRequested != 0) {
    // This report is where the interrupt is thrown: the run stops here.
    if (m_phase == Phase::idle) start(now());
    m_cancelled = true;
    stop(progress, m_reporter.getOperationName());
    return answerCancel();
  }
  const std::string& name = m_reporter.getOperationName();
  if (m_phase == Phase::running && name == m_name) {
    m_seenProgress = progress;
    if (!m_terminal) return 0;
    const Clock::time_point time = now();
    const bool finalState = progress >= 1.0f && m_drawnProgress < 1.0f;
    if (time < m_nextDraw && !finalState) return 0;
    update(time, progress, name);
    return 0;
  }
  const Clock::time_point time = now();
  if (m_phase == Phase::idle) start(time);
  update(time, progress, name);
  return 0;
}

void ConsoleProgress::println(const std::string& text) {
  clearBar();
  m_out << text << '\n';
  if (m_terminal && m_shown) {
    drawBar();
  } else {
    m_out.flush();
  }
}

void ConsoleProgress::captureErrorLog() {
  if (m_capturing) return;
  m_capturing = true;
  m_previousSink = ErrorLogFile::setSink([this](const std::string& entry) {
    clearBar();
    if (m_previousSink) {
      m_previousSink(entry);
    } else {
      ErrorLogFile::logDefault(entry);
    }
    if (m_terminal && m_shown) drawBar();
  });
}

void ConsoleProgress::requestCancel() noexcept { m_cancelRequested = 1; }

bool ConsoleProgress::cancelRequested() const noexcept { return m_cancelRequested != 0; }

void ConsoleProgress::acknowledgeCancel() noexcept { m_cancelRequested = 0; }

void ConsoleProgress::finish() {
  if (m_phase == Phase::finished) return;
  if (m_phase == Phase::idle) {
    m_phase = Phase::finished;  // nothing was shown
    return;
  }
  if (m_phase == Phase::running) {
    if (std::uncaught_exceptions() > m_uncaughtAtStart) {
      m_cancelled = true;
      stop(m_seenProgress, m_name);
    } else {
      stop(m_reporter.getProgress(), m_reporter.getOperationName());
    }
  }
  if (m_terminal) {
    drawBar();
    m_out << '\n';
  } else {
    m_out << console::plainFinalLine(stoppedState()) << '\n';
  }
  m_out.flush();
  m_phase = Phase::finished;
  m_shown = false;
}

ConsoleProgress::Clock::time_point ConsoleProgress::now() const { return m_clock(); }

int ConsoleProgress::width() const {
  if (m_width) return m_width();
  winsize size{};
  if (m_descriptor >= 0 && ::ioctl(m_descriptor, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return size.ws_col;
  }
  if (const char* columns = std::getenv("COLUMNS")) {
    char* end = nullptr;
    const long value = std::strtol(columns, &end, 10);
    if (end != columns && *end == '\0' && value > 0 && value < 100000) {
      return static_cast<int>(value);
    }
  }
  return 80;
}

// While an exception unwinds the work, the trackers' destructors would only
// swallow the interrupt: the request is kept, not repeated.
int ConsoleProgress::answerCancel() const {
  return m_cancelRequested != 0 && std::uncaught_exceptions() <= m_uncaughtAtStart ? 1 : 0;
}

void ConsoleProgress::start(Clock::time_point time) {
  m_phase = Phase::running;
  m_start = time;
  m_sampleTime = time;
}

void ConsoleProgress::update(Clock::time_point time, float progress, const std::string& name) {
  const bool newName = name != m_name;
  if (newName) m_name = name;
  m_seenProgress = progress;
  m_drawnProgress = progress;
  m_drawTime = time;
  m_nextDraw = time + kRedrawInterval;

  float weight = 0.0f;
  float estimate = 0.0f;
  const bool predicting = m_reporter.getProgressPrediction(weight, estimate) && weight > 0.0f &&
                          estimate > 0.0f;
  if (predicting && (!m_predicting || newName || weight != m_predictedWeight ||
                     estimate != m_predictedSeconds)) {
    m_predictionStart = time;
  }
  m_predicting = predicting;
  m_predictedWeight = weight;
  m_predictedSeconds = estimate;

  if (!m_terminal) {
    // One plain line per operation.
    if (newName) {
      m_out << console::plainLine(progress, name,
                                  predicting ? std::optional<float>(estimate) : std::nullopt)
            << '\n'
            << std::flush;
    }
    return;
  }

  // The rate observed so far, smoothed exponentially over time so that the
  // estimate does not jump from one drawing to the next.
  const double elapsed = seconds(time - m_start);
  const double sampled = seconds(time - m_sampleTime);
  if (sampled >= kSampleSeconds) {
    const double instant = std::max(0.0f, progress - m_sampleProgress) / sampled;
    if (m_rate < 0.0) {
      m_rate = elapsed > 0.0 ? progress / elapsed : instant;
    } else {
      m_rate += (1.0 - std::exp(-sampled / kSmoothingSeconds)) * (instant - m_rate);
    }
    m_sampleTime = time;
    m_sampleProgress = progress;
  }

  const double left = 1.0 - std::clamp(static_cast<double>(progress), 0.0, 1.0);
  m_remaining.reset();
  if (predicting) {
    // The application's prediction: the step takes `estimate` seconds for its
    // `weight`; what is left goes at that pace, and at least the step's rest.
    const double inStep = seconds(time - m_predictionStart);
    m_remaining = std::max({static_cast<double>(estimate) - inStep,
                            left * estimate / weight - inStep, 0.0});
  } else if (progress < 1.0f && elapsed >= kFirstEstimateSeconds && m_rate > 0.0) {
    m_remaining = left / m_rate;
  }
  drawBar();
}

void ConsoleProgress::stop(float progress, const std::string& name) {
  m_phase = Phase::stopped;
  m_stoppedProgress = progress;
  m_stoppedName = name;
  m_stopTime = now();
  if (m_terminal && m_cancelled) drawBar();
}

BarState ConsoleProgress::stoppedState() const {
  BarState state;
  state.name = m_stoppedName;
  state.fraction = m_stoppedProgress;
  state.elapsedSeconds = seconds(m_stopTime - m_start);
  if (m_cancelled) state.ending = kCancelled;
  return state;
}

void ConsoleProgress::drawBar() {
  BarState state;
  if (m_phase == Phase::stopped) {
    state = stoppedState();
  } else {
    state.name = m_name;
    state.fraction = m_drawnProgress;
    state.elapsedSeconds = seconds(m_drawTime - m_start);
    state.remaining = m_remaining;
  }
  m_out << kReturn << console::barLine(state, width()) << kEraseToEnd << std::flush;
  m_shown = true;
}

void ConsoleProgress::clearBar() {
  if (m_terminal && m_shown) m_out << kReturn << kEraseToEnd;
  m_out.flush();
}

}  // namespace zel
