// The job's progress bar on the root rank of zel-demo-mpi, and the processor
// on every rank that turns Ctrl-C (or a threshold for scripted runs) into an
// interrupt of the whole job.
#pragma once

#include <zel/ConsoleProgress.h>
#include <zel/MidOpProcessor.h>
#include <zel/ProgressProvider.h>
#include <zel/mpi/ProgressExchange.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <optional>
#include <string>

namespace demo {

// The job as the console display reads it: the exchange's job progress under
// one name. The display is driven by JobProgressLine, not by a reporter, so
// processors registered here are not called.
class JobProgress : public zel::ProgressProvider {
 public:
  JobProgress(zel::mpi::ProgressExchange& exchange, std::string name);

  // Takes in the ranks' latest progress.
  void refresh() { m_progress = m_exchange.jobProgress(); }

  float getProgress() const override { return m_progress; }
  bool getProgressPrediction(float&, float&) const override { return false; }
  std::string const& getOperationName() const override { return m_name; }
  std::string const& getAnimationProgress() override { return m_animation; }
  void registerMidOpProcessor(zel::MidOpProcessor*) override {}
  void unregisterMidOpProcessor(zel::MidOpProcessor*) override {}

 private:
  zel::mpi::ProgressExchange& m_exchange;
  std::string m_name;
  std::string m_animation;
  float m_progress = 0.0f;
};

// Registered with every rank's reporter after the exchange. On the root it
// shows the job's progress with the console display; on any rank a signal,
// and on the root the threshold, requests the interrupt of the job through
// the exchange.
class JobProgressLine : public zel::MidOpProcessor {
 public:
  JobProgressLine(zel::mpi::ProgressExchange& exchange, std::optional<float> interruptAt);

  int process() override;
  // Looks at the job now; the root calls it while it waits for the others.
  void poll();
  // Draws the job's last state and ends the display's line.
  void finish();

  // Ctrl-C (and the SIGTERM with which mpirun passes it on) sets this flag.
  static volatile std::sig_atomic_t s_signalled;

 private:
  zel::mpi::ProgressExchange& m_exchange;
  std::optional<float> m_interruptAt;
  std::unique_ptr<JobProgress> m_job;               // on the root
  std::unique_ptr<zel::ConsoleProgress> m_display;  // on the root
  std::chrono::steady_clock::time_point m_lastLook;
};

}  // namespace demo
