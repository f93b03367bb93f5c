#include <zel/ErrorReporter.h>
#include <zel/ErrorReporterImpl.h>
#include <zel/ErrorTagIF.h>
#include <zel/NullErrorReporterImpl.h>

namespace zel {

// One home for the vtables of the reporting interfaces.
ErrorTagIF::~ErrorTagIF() = default;
ErrorReporterImpl::~ErrorReporterImpl() = default;

NullErrorReporterImpl::~NullErrorReporterImpl() = default;
void NullErrorReporterImpl::reportError(const Error&, errorType) {}
void NullErrorReporterImpl::reportError(const Error&) {}
void NullErrorReporterImpl::reportError(const ErrorMsg&) {}
void NullErrorReporterImpl::setVerboseMode(bool) {}
// Never owns the provider: the caller keeps what it registered here.
void NullErrorReporterImpl::registerErrorTagIF(const ErrorTagIF*) {}
void NullErrorReporterImpl::takeMessageQueue(OutputMessageQueue&) {}
void NullErrorReporterImpl::takeMessageQueue(errorType, OutputMessageQueue&) {}
bool NullErrorReporterImpl::hasMessages() const { return false; }
bool NullErrorReporterImpl::hasMessages(errorType) const { return false; }

namespace {
// The reporter behind the front until the application installs its own. Its
// constructor is constexpr, so it is constant-initialised: it exists before
// any code of the library runs, whatever the order of static initialisation,
// and it is never deleted through a pointer.
NullErrorReporterImpl s_nullReporter;
}  // namespace

ErrorReporter* ErrorReporter::m_instance = nullptr;

ErrorReporter* ErrorReporter::instance() {
  if (m_instance == nullptr) m_instance = new ErrorReporter(&s_nullReporter);
  return m_instance;
}

ErrorReporter* ErrorReporter::instance(ErrorReporting* impl) {
  // Only the front is replaced; the implementation it forwarded to belongs to
  // whoever installed it and is neither deleted nor told.
  ErrorReporter* front = new ErrorReporter(impl);
  delete m_instance;
  m_instance = front;
  return front;
}

ErrorReporter::ErrorReporter(ErrorReporting* impl) : m_impl(impl) {}
ErrorReporter::~ErrorReporter() = default;

void ErrorReporter::reportError(const Error& error, errorType type) {
  m_impl->reportError(error, type);
}
void ErrorReporter::reportError(const Error& error) {
  m_impl->reportError(error);
}
void ErrorReporter::reportError(const ErrorMsg& message) {
  m_impl->reportError(message);
}

}  // namespace zel
