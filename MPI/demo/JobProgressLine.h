// The job's progress bar on the root rank of zel-demo-mpi, and the processor
// on every rank that turns Ctrl-C (or a threshold for scripted runs) into an
// interrupt of the whole job.
#pragma once

#include <chrono>
#include <csignal>
#include <optional>

#include <zel/MidOpProcessor.h>
#include <zel/mpi/ProgressExchange.h>

namespace demo {

// Registered on every rank after the exchange. On the root it draws the job's
// progress (on a terminal a bar redrawn in place, otherwise a line per tenth);
// on any rank a signal, and on the root the threshold, requests the interrupt
// of the job through the exchange.
class JobProgressLine : public zel::MidOpProcessor {
 public:
  JobProgressLine(zel::mpi::ProgressExchange& exchange, bool interactive,
                  std::optional<float> interruptAt);

  int process() override;
  // Draws the job's state now; the root calls it while it waits for the others.
  void poll();
  // Draws the last state and ends the bar's line.
  void finish();

  // Ctrl-C (and the SIGTERM with which mpirun passes it on) sets this flag.
  static volatile std::sig_atomic_t s_signalled;

 private:
  void draw(float job, bool force);

  zel::mpi::ProgressExchange& m_exchange;
  bool m_interactive;
  std::optional<float> m_interruptAt;
  int m_lastTenth = -1;
  bool m_drawnOnce = false;
  std::chrono::steady_clock::time_point m_lastDraw;
};

}  // namespace demo
