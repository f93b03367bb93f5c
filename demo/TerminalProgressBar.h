// A mid-operation processor that draws the progress on the terminal and turns
// an interrupt request (Ctrl-C, or a progress threshold for scripted runs) into
// the processor's result.
//
// On a terminal the bar is redrawn in place, at most about 20 times a second
// (the first state and the finished state are always drawn); otherwise one
// plain line is printed per change of operation, so logs stay readable.
#pragma once

#include <chrono>
#include <csignal>
#include <optional>
#include <string>

#include <zel/MidOpProcessor.h>
#include <zel/ProgressProvider.h>

namespace demo {

class TerminalProgressBar : public zel::MidOpProcessor {
 public:
  TerminalProgressBar(zel::ProgressProvider& progress, bool interactive,
                      std::optional<float> interruptAt);

  // Called by the progress reporter at each progress report or prediction.
  int process() override;
  // Draws the last state and ends the bar's line.
  void finish();

  // Ctrl-C sets this flag; the next process() requests the interrupt.
  static volatile std::sig_atomic_t s_interruptRequested;

 private:
  void draw(float progress);

  zel::ProgressProvider& m_progress;
  bool m_interactive;
  std::optional<float> m_interruptAt;
  bool m_interruptSent = false;
  bool m_drawnOnce = false;
  std::string m_lastOperation;
  std::chrono::steady_clock::time_point m_lastDraw;
};

}  // namespace demo
