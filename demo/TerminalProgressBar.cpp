#include "TerminalProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include <zel/CentredProgressLabel.h>

namespace demo {

volatile std::sig_atomic_t TerminalProgressBar::s_interruptRequested = 0;

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(50);  // ~20 per second
constexpr int kBarWidth = 30;
}  // namespace

TerminalProgressBar::TerminalProgressBar(zel::ProgressProvider& progress,
                                         bool interactive,
                                         std::optional<float> interruptAt)
    : m_progress(progress), m_interactive(interactive), m_interruptAt(interruptAt) {}

int TerminalProgressBar::process() {
  const float progress = m_progress.getProgress();
  const std::string& operation = m_progress.getOperationName();

  if (m_interactive) {
    const auto now = std::chrono::steady_clock::now();
    if (!m_drawnOnce || now - m_lastDraw >= kRedrawInterval || progress >= 1.0f) {
      draw(progress);
      m_lastDraw = now;
    }
  } else if (operation != m_lastOperation) {
    draw(progress);
  }
  m_lastOperation = operation;
  m_drawnOnce = true;

  // One request per interrupt: the reporter throws it, or records it in the
  // soft abort mode; asking again while the work unwinds would only repeat it.
  const bool thresholdReached = m_interruptAt && progress >= *m_interruptAt;
  if (!m_interruptSent && (s_interruptRequested != 0 || thresholdReached)) {
    m_interruptSent = true;
    return 1;
  }
  return 0;
}

void TerminalProgressBar::finish() {
  if (m_interactive) {
    draw(m_progress.getProgress());
    std::fputc('\n', stdout);
  }
  std::fflush(stdout);
}

void TerminalProgressBar::draw(float progress) {
  const float clamped = std::clamp(std::isnan(progress) ? 0.0f : progress, 0.0f, 1.0f);
  const int percent = static_cast<int>(clamped * 100.0f + 0.5f);
  const std::string& operation = m_progress.getOperationName();

  std::string estimate;
  float weight = 0.0f;
  float seconds = 0.0f;
  if (m_progress.getProgressPrediction(weight, seconds)) {
    estimate = "  ~" + std::to_string(static_cast<int>(std::ceil(seconds))) + " s";
  }

  if (!m_interactive) {
    std::printf("[%3d%%] %s%s\n", percent, operation.c_str(), estimate.c_str());
    return;
  }
  const zel::CentredProgressLabel label(zel::CentredProgressLabel::centreInField, operation);
  const int filled = static_cast<int>(clamped * kBarWidth);
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  const std::string& text = label;
  // \r and the erase-line sequence redraw the same line.
  std::printf("\r\033[K%-50s [%s] %3d%%%s", text.c_str(), bar.c_str(), percent,
              estimate.c_str());
  std::fflush(stdout);
}

}  // namespace demo
