#pragma once

#include <mutex>

#include <zel/ErrorReporterImpl.h>
#include <zel/ParallelExport.h>

namespace zel {

/// An error reporter that lets many threads report at once: it wraps another
/// reporter implementation and forwards every operation to it under one mutex.
///
///   zel::ApplicationErrorReporterImpl reporter;
///   zel::SynchronizedErrorReporter synchronized(reporter);
///   zel::ErrorReporter::instance(&synchronized);   // before the workers start
///   // workers: ErrorReporter::instance()->reportError(...);
///   // user interface thread: synchronized.takeMessageQueue(queue);
///
/// Reports are accepted one at a time, so the log lines come in the order in
/// which the reports were accepted, and nothing is lost. Reach the wrapped
/// reporter through this object only while other threads may report. The
/// caller owns the wrapped reporter, which must outlive this one; a tag
/// provider registered here goes to the wrapped reporter, which owns it from
/// then on. Calls of the wrapped reporter run while the mutex is held: they
/// must not report through this object again.
class ZEL_PARALLEL_API SynchronizedErrorReporter final : public ErrorReporterImpl {
 public:
  /// Forwards to `target`, which the caller owns and which must outlive this.
  explicit SynchronizedErrorReporter(ErrorReporterImpl& target);
  /// Leaves the wrapped reporter as it is.
  ~SynchronizedErrorReporter() override;
  SynchronizedErrorReporter(const SynchronizedErrorReporter&) = delete;  ///< Not copyable.
  /// Not copyable.
  SynchronizedErrorReporter& operator=(const SynchronizedErrorReporter&) = delete;

  /// The wrapped reporter's reportError, under the mutex.
  void reportError(const Error& error, errorType type) override;
  /// The wrapped reporter's reportError, under the mutex.
  void reportError(const Error& error) override;
  /// The wrapped reporter's reportError, under the mutex.
  void reportError(const ErrorMsg& message) override;

  /// The wrapped reporter's setVerboseMode, under the mutex.
  void setVerboseMode(bool verbose) override;
  /// Registers the provider with the wrapped reporter, which owns it from now on.
  void registerErrorTagIF(const ErrorTagIF* provider) override;

  /// The wrapped reporter's takeMessageQueue, under the mutex.
  void takeMessageQueue(OutputMessageQueue& queue) override;
  /// The wrapped reporter's takeMessageQueue, under the mutex.
  void takeMessageQueue(errorType mask, OutputMessageQueue& queue) override;
  /// The wrapped reporter's hasMessages, under the mutex.
  bool hasMessages() const override;
  /// The wrapped reporter's hasMessages, under the mutex.
  bool hasMessages(errorType mask) const override;

  /// The wrapped reporter; call it directly only while no other thread reports.
  ErrorReporterImpl& target() const { return m_target; }

 private:
  ErrorReporterImpl& m_target;
  mutable std::mutex m_mutex;
};

}  // namespace zel
