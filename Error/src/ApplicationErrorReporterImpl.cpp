#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/Error.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorTagIF.h>

namespace zel {

ApplicationErrorReporterImpl::ApplicationErrorReporterImpl()
    : m_errorTagIF(nullptr) {}

// The tag provider is owned by exactly one reporter: a copy starts without
// one, and an assignment keeps the provider the target already owns.
ApplicationErrorReporterImpl::ApplicationErrorReporterImpl(
    const ApplicationErrorReporterImpl& other)
    : ErrorReporterImpl(other),
      m_storage(other.m_storage),
      m_errorTagIF(nullptr) {}

ApplicationErrorReporterImpl& ApplicationErrorReporterImpl::operator=(
    const ApplicationErrorReporterImpl& other) {
  ErrorReporterImpl::operator=(other);
  m_storage = other.m_storage;
  return *this;
}

ApplicationErrorReporterImpl::~ApplicationErrorReporterImpl() {
  delete m_errorTagIF;
}

void ApplicationErrorReporterImpl::reportError(const Error& error,
                                               errorType type) {
  // Unlike ErrorMsg(error, type), a type of 0 stays 0.
  reportError(
      ErrorMsg(error.getClass(), error.getMethod(), error.getMessage(), type));
}

void ApplicationErrorReporterImpl::reportError(const Error& error) {
  reportError(ErrorMsg(error.getClass(), error.getMethod(), error.getMessage(),
                       error.getType()));
}

void ApplicationErrorReporterImpl::reportError(const ErrorMsg& message) {
  // Logged at once, whether or not the record is ever shown; if logging or
  // the tag provider throws, nothing is stored.
  message.logError();
  if (m_errorTagIF == nullptr) {
    m_storage.insertMessage(message);  // stored as it came: one copy only
    return;
  }
  ErrorMsg stored(message);
  stored.setErrorTag(m_errorTagIF->currentTag());
  m_storage.insertMessage(stored);
}

void ApplicationErrorReporterImpl::setVerboseMode(bool verbose) {
  m_storage.setVerboseMode(verbose);
}

// The previous provider is not deleted: whoever registers a replacement takes
// the old one back.
void ApplicationErrorReporterImpl::registerErrorTagIF(
    const ErrorTagIF* provider) {
  m_errorTagIF = provider;
}

void ApplicationErrorReporterImpl::takeMessageQueue(OutputMessageQueue& queue) {
  m_storage.takeMessageQueue(queue);
}

void ApplicationErrorReporterImpl::takeMessageQueue(errorType mask,
                                                    OutputMessageQueue& queue) {
  m_storage.takeMessageQueue(mask, queue);
}

bool ApplicationErrorReporterImpl::hasMessages() const {
  return m_storage.getMessageCount() != 0;
}

bool ApplicationErrorReporterImpl::hasMessages(errorType mask) const {
  return m_storage.getMessageCount(mask) != 0;
}

}  // namespace zel
