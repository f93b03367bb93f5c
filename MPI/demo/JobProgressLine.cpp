#include "JobProgressLine.h"

#include <cstdio>
#include <string>

namespace demo {

volatile std::sig_atomic_t JobProgressLine::s_signalled = 0;

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(50);
constexpr int kBarWidth = 30;
}  // namespace

JobProgressLine::JobProgressLine(zel::mpi::ProgressExchange& exchange, bool interactive,
                                 std::optional<float> interruptAt)
    : m_exchange(exchange), m_interactive(interactive), m_interruptAt(interruptAt) {}

int JobProgressLine::process() {
  poll();
  // The exchange's own processor returns 1 on every rank once the request
  // has reached it; this one only asks.
  return 0;
}

void JobProgressLine::poll() {
  float job = 0.0f;
  if (m_exchange.isRoot()) {
    job = m_exchange.jobProgress();
    draw(job, false);
  }
  const bool thresholdReached = m_exchange.isRoot() && m_interruptAt && job >= *m_interruptAt;
  if (s_signalled != 0 || thresholdReached) m_exchange.requestInterrupt();
}

void JobProgressLine::finish() {
  if (!m_exchange.isRoot()) return;
  draw(m_exchange.jobProgress(), true);
  if (m_interactive) std::fputc('\n', stdout);
  std::fflush(stdout);
}

void JobProgressLine::draw(float job, bool force) {
  const int percent = static_cast<int>(job * 100.0f + 0.5f);
  if (!m_interactive) {
    // One line per tenth of the job, so that a log stays short.
    const int tenth = static_cast<int>(job * 10.0f);
    if (tenth == m_lastTenth && !force) return;
    if (tenth != m_lastTenth) std::printf("[%3d%%] job of %d ranks\n", percent, m_exchange.size());
    m_lastTenth = tenth;
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (m_drawnOnce && now - m_lastDraw < kRedrawInterval && !force) return;
  m_drawnOnce = true;
  m_lastDraw = now;
  const int filled = static_cast<int>(job * kBarWidth);
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  std::printf("\r\033[Kjob of %d ranks [%s] %3d%%", m_exchange.size(), bar.c_str(), percent);
  std::fflush(stdout);
}

}  // namespace demo
