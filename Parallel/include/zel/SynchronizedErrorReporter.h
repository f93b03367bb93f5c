// An error reporter that lets many threads report at once: it wraps another
// reporter implementation and forwards every operation to it under one mutex.
//
//   zel::ApplicationErrorReporterImpl reporter;
//   zel::SynchronizedErrorReporter synchronized(reporter);
//   zel::ErrorReporter::instance(&synchronized);   // before the workers start
//   // workers: ErrorReporter::instance()->reportError(...);
//   // user interface thread: synchronized.takeMessageQueue(queue);
//
// Reports are accepted one at a time, so the log lines come in the order in
// which the reports were accepted, and nothing is lost. Reach the wrapped
// reporter through this object only while other threads may report. The
// caller owns the wrapped reporter, which must outlive this one; a tag
// provider registered here goes to the wrapped reporter, which owns it from
// then on. Calls of the wrapped reporter run while the mutex is held: they
// must not report through this object again.
#pragma once

#include <mutex>

#include <zel/ErrorReporterImpl.h>
#include <zel/ParallelExport.h>

namespace zel {

class ZEL_PARALLEL_API SynchronizedErrorReporter final : public ErrorReporterImpl {
 public:
  explicit SynchronizedErrorReporter(ErrorReporterImpl& target);
  // Leaves the wrapped reporter as it is.
  ~SynchronizedErrorReporter() override;
  SynchronizedErrorReporter(const SynchronizedErrorReporter&) = delete;
  SynchronizedErrorReporter& operator=(const SynchronizedErrorReporter&) = delete;

  void reportError(const Error& error, errorType type) override;
  void reportError(const Error& error) override;
  void reportError(const ErrorMsg& message) override;

  void setVerboseMode(bool verbose) override;
  void registerErrorTagIF(const ErrorTagIF* provider) override;

  void takeMessageQueue(OutputMessageQueue& queue) override;
  void takeMessageQueue(errorType mask, OutputMessageQueue& queue) override;
  bool hasMessages() const override;
  bool hasMessages(errorType mask) const override;

  ErrorReporterImpl& target() const { return m_target; }

 private:
  ErrorReporterImpl& m_target;
  mutable std::mutex m_mutex;
};

}  // namespace zel
