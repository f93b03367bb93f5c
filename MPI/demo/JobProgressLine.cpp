#include "JobProgressLine.h"

#include <zel/UserMsg.h>

#include <utility>

namespace demo {

volatile std::sig_atomic_t JobProgressLine::s_signalled = 0;

namespace {
// The job is looked at about as often as the display redraws.
constexpr auto kLookInterval = std::chrono::milliseconds(50);
}  // namespace

JobProgress::JobProgress(zel::mpi::ProgressExchange& exchange, std::string name)
    : m_exchange(exchange), m_name(std::move(name)) {}

JobProgressLine::JobProgressLine(zel::mpi::ProgressExchange& exchange,
                                 std::optional<float> interruptAt)
    : m_exchange(exchange), m_interruptAt(interruptAt) {
  if (!exchange.isRoot()) return;
  m_job = std::make_unique<JobProgress>(exchange, zel::UserMsg("Engineering demo", nullptr).str() +
                                                      " (" + std::to_string(exchange.size()) +
                                                      " ranks)");
  m_display = std::make_unique<zel::ConsoleProgress>(*m_job);
  m_display->captureErrorLog();  // rank 0's log entries above the bar
}

int JobProgressLine::process() {
  const auto now = std::chrono::steady_clock::now();
  if (now - m_lastLook >= kLookInterval || s_signalled != 0) {
    m_lastLook = now;
    poll();
  }
  // The exchange's own processor returns 1 on every rank once the request
  // has reached it; this one only asks.
  return 0;
}

void JobProgressLine::poll() {
  if (s_signalled != 0) m_exchange.requestInterrupt();
  if (!m_display) return;
  m_job->refresh();
  if (m_interruptAt && m_job->getProgress() >= *m_interruptAt) m_exchange.requestInterrupt();
  if (m_exchange.interruptRequested()) m_display->requestCancel();
  m_display->process();
}

void JobProgressLine::finish() {
  if (!m_display) return;
  poll();
  m_display->finish();
}

}  // namespace demo
