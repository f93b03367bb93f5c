// A progress reporter for tests that records every call a tracker makes, in
// order, as text, so that a test compares exact call sequences:
//
//   RecordingProgressReporter reporter;
//   ScopedProgressReporter installed(reporter);  // for every ProgressTracker
//   ... drive trackers ...
//   EXPECT_EQ(reporter.calls(), (Calls{"startProgress", "setOperationName(Solve)",
//                                      "reportProgress(0)", "pushWeight(0.25)"}));
//
// Floats are written as an output stream writes them (0.25f -> "0.25").
// startProgress() answers like a real reporter (true when reporting was not
// running, false while it runs; stopProgress() ends the run) or with a fixed
// result. throwFrom() makes calls throw after they are recorded, to check that
// callers survive a failing reporter. It implements only the interface that
// trackers call. Used from one thread at a time.
#pragma once

#include <zel/InternalError.h>
#include <zel/ProgressReporting.h>
#include <zel/ProgressTracker.h>

#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zel::test {

using Calls = std::vector<std::string>;

class RecordingProgressReporter final : public ProgressReporting {
 public:
  enum class StartResult { likeReporter, alwaysTrue, alwaysFalse };
  // What a failing call throws.
  enum class Failure { zelError, standardError, integer };

  explicit RecordingProgressReporter(StartResult start = StartResult::likeReporter)
      : m_startResult(start) {}

  const Calls& calls() const { return m_calls; }
  // Returns the calls recorded so far and forgets them.
  Calls take() { return std::exchange(m_calls, Calls()); }

  // From now on every call named `call` (every call when `call` is empty)
  // throws `failure` after it is recorded.
  void throwFrom(std::string call, Failure failure = Failure::zelError) {
    m_throwCall = std::move(call);
    m_failure = failure;
  }

  static std::string format(float value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
  }

  void reportProgress(float progress) override { record("reportProgress", format(progress)); }
  void setOperationName(std::string const& name) override { record("setOperationName", name); }
  void pushWeight(float weight) override { record("pushWeight", format(weight)); }
  void popWeight() override { record("popWeight"); }
  bool startProgress() override {
    const bool started = m_startResult == StartResult::likeReporter
                             ? !m_running
                             : m_startResult == StartResult::alwaysTrue;
    m_running = true;
    record("startProgress");
    return started;
  }
  void stopProgress() override {
    m_running = false;
    record("stopProgress");
  }

 private:
  // Records "call" or "call(argument)", then throws if asked to.
  void record(const std::string& call, std::optional<std::string> argument = std::nullopt) {
    m_calls.push_back(argument ? call + "(" + *argument + ")" : call);
    if (!m_throwCall || !(m_throwCall->empty() || *m_throwCall == call)) return;
    if (m_failure == Failure::integer) throw 42;
    if (m_failure == Failure::standardError) {
      throw std::runtime_error("RecordingProgressReporter::" + call);
    }
    throw internal::error("RecordingProgressReporter", call, "Failure on request.", typeError);
  }

  StartResult m_startResult;
  bool m_running = false;
  std::optional<std::string> m_throwCall;
  Failure m_failure = Failure::zelError;
  Calls m_calls;
};

// Installs a progress reporter for every tracker for one scope, then installs
// the null pointer again (the null reporter takes over).
class ScopedProgressReporter {
 public:
  explicit ScopedProgressReporter(ProgressReporting& reporter) {
    ProgressTracker::setReporter(&reporter);
  }
  ~ScopedProgressReporter() { ProgressTracker::setReporter(nullptr); }
  ScopedProgressReporter(const ScopedProgressReporter&) = delete;
  ScopedProgressReporter& operator=(const ScopedProgressReporter&) = delete;
};

}  // namespace zel::test
