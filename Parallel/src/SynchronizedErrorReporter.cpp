#include <zel/SynchronizedErrorReporter.h>

namespace zel {

using Lock = std::lock_guard<std::mutex>;

SynchronizedErrorReporter::SynchronizedErrorReporter(ErrorReporterImpl& target)
    : m_target(target) {}

SynchronizedErrorReporter::~SynchronizedErrorReporter() = default;

void SynchronizedErrorReporter::reportError(const Error& error, errorType type) {
  Lock lock(m_mutex);
  m_target.reportError(error, type);
}

void SynchronizedErrorReporter::reportError(const Error& error) {
  Lock lock(m_mutex);
  m_target.reportError(error);
}

void SynchronizedErrorReporter::reportError(const ErrorMsg& message) {
  Lock lock(m_mutex);
  m_target.reportError(message);
}

void SynchronizedErrorReporter::setVerboseMode(bool verbose) {
  Lock lock(m_mutex);
  m_target.setVerboseMode(verbose);
}

void SynchronizedErrorReporter::registerErrorTagIF(const ErrorTagIF* provider) {
  Lock lock(m_mutex);
  m_target.registerErrorTagIF(provider);
}

void SynchronizedErrorReporter::takeMessageQueue(OutputMessageQueue& queue) {
  Lock lock(m_mutex);
  m_target.takeMessageQueue(queue);
}

void SynchronizedErrorReporter::takeMessageQueue(errorType mask, OutputMessageQueue& queue) {
  Lock lock(m_mutex);
  m_target.takeMessageQueue(mask, queue);
}

bool SynchronizedErrorReporter::hasMessages() const {
  Lock lock(m_mutex);
  return m_target.hasMessages();
}

bool SynchronizedErrorReporter::hasMessages(errorType mask) const {
  Lock lock(m_mutex);
  return m_target.hasMessages(mask);
}

}  // namespace zel
