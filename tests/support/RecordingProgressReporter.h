// A progress reporter for tests that records every call that acts, in order,
// as a readable string, so that a test compares exact call sequences:
//
//   RecordingProgressReporter reporter;
//   ScopedProgressReporter installed(reporter);   //
//   ProgressTracker::setReporter
//   ... drive trackers ...
//   EXPECT_EQ(reporter.calls(), (Calls{"startProgress",
//   "setOperationName(Solve)",
//                                      "reportProgress(0)", ...}));
//
// Floats are written as an output stream writes them (0.25f -> "0.25").
// startProgress() answers like a real reporter (true when reporting was not
// running, false while it runs; stopProgress() ends the run) or with a fixed
// result. Any call can be made to throw after it is recorded, to check that
// callers survive a failing reporter. Queries are not recorded and return
// neutral values. Used from one thread at a time.
#pragma once

#include <zel/InternalError.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressReporterImpl.h>
#include <zel/ProgressTracker.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zel::test {

using Calls = std::vector<std::string>;

class RecordingProgressReporter : public ProgressReporterImpl {
 public:
  enum class StartResult { likeReporter, alwaysTrue, alwaysFalse };
  // What a failing call throws.
  enum class Failure { zelError, standardError, integer };

  explicit RecordingProgressReporter(
      StartResult start = StartResult::likeReporter)
      : m_startResult(start) {}

  const Calls& calls() const { return m_calls; }
  // Returns the calls recorded so far and forgets them.
  Calls take() { return std::exchange(m_calls, Calls()); }
  bool running() const { return m_running; }

  // Makes every call whose name (the part before "(") is `call` throw after
  // it is recorded; an empty `call` makes every call throw.
  void throwFrom(std::string call, Failure failure = Failure::zelError) {
    m_throwing = true;
    m_throwCall = std::move(call);
    m_failure = failure;
  }
  void stopThrowing() { m_throwing = false; }

  void reportProgress(float progress) override {
    record("reportProgress", progress);
  }
  void setOperationName(std::string const& name) override {
    record("setOperationName", name);
  }
  void pushWeight(float weight) override { record("pushWeight", weight); }
  void popWeight() override { record("popWeight"); }
  bool startProgress() override {
    bool started = m_startResult == StartResult::alwaysTrue ||
                   (m_startResult == StartResult::likeReporter && !m_running);
    m_running = true;
    record("startProgress");
    return started;
  }
  void stopProgress() override {
    m_running = false;
    record("stopProgress");
  }

  void setAnimationProgress(std::string const& text) override {
    record("setAnimationProgress", text);
  }

  void predictProgress(ProgressFunction const& function,
                       float estimate) override {
    record("predictProgress", "function " + std::to_string(int(function)) +
                                  ", " + format(estimate));
  }
  void predictProgress(std::string const& name, float weight,
                       float estimate) override {
    record("predictProgress",
           name + ", " + format(weight) + ", " + format(estimate));
  }
  void cancelPrediction() override { record("cancelPrediction"); }

  float getProgress() const override { return 0.0f; }
  bool getProgressPrediction(float&, float&) const override { return false; }
  std::string const& getOperationName() const override { return m_empty; }
  std::string const& getAnimationProgress() override { return m_empty; }
  void registerMidOpProcessor(MidOpProcessor*) override {
    record("registerMidOpProcessor");
  }
  void unregisterMidOpProcessor(MidOpProcessor*) override {
    record("unregisterMidOpProcessor");
  }

  bool isAborted() const override { return false; }
  void setSoftAbortMode(bool soft) override {
    record("setSoftAbortMode", soft ? "true" : "false");
  }

  void imposeBounds(bool bounded, float upperBound) override {
    record("imposeBounds",
           std::string(bounded ? "true" : "false") + ", " + format(upperBound));
  }

  static std::string format(float value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
  }

 private:
  void record(const std::string& call, float value) {
    record(call, format(value));
  }
  void record(const std::string& call, const std::string& argument) {
    m_calls.push_back(call + "(" + argument + ")");
    failIfAsked(call);
  }
  void record(const std::string& call) {
    m_calls.push_back(call);
    failIfAsked(call);
  }
  void failIfAsked(const std::string& call) {
    if (!m_throwing || !(m_throwCall.empty() || m_throwCall == call)) return;
    switch (m_failure) {
      case Failure::zelError:
        throw internal::error("RecordingProgressReporter", call,
                              "Failure on request.", typeError);
      case Failure::standardError:
        throw std::runtime_error("RecordingProgressReporter::" + call);
      case Failure::integer:
        throw 42;
    }
  }

  StartResult m_startResult;
  bool m_running = false;
  bool m_throwing = false;
  std::string m_throwCall;
  Failure m_failure = Failure::zelError;
  Calls m_calls;
  std::string m_empty;
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
