#pragma once

#include <zel/ErrorReporterImpl.h>
#include <zel/ErrorStorage.h>
#include <zel/Export.h>

namespace zel {

/// The error reporter an application installs with ErrorReporter::instance():
/// it logs every report at once, stamps it with the tag of the registered tag
/// provider, stores it, and hands the stored reports out as queues.
///
/// The reporter owns the registered tag provider and deletes it when it is
/// destroyed. A copy takes the records and the verbose mode but no tag provider,
/// so that no provider is ever deleted twice.
class ZEL_ERROR_API ApplicationErrorReporterImpl : public ErrorReporterImpl {
 public:
  /// No records, no tag provider; verbose when "ZEL_VERBOSE_MESSAGE_ON" exists.
  ApplicationErrorReporterImpl();
  ApplicationErrorReporterImpl(const ApplicationErrorReporterImpl& other);  ///< Copies `other`.
  /// Assigns a copy of `other`: the records and the verbose mode, no tag
  /// provider.
  ApplicationErrorReporterImpl& operator=(
      const ApplicationErrorReporterImpl& other);
  /// Deletes the registered tag provider.
  ~ApplicationErrorReporterImpl() override;

  /// Type 0 is stored as 0: such a record is counted but never handed out.
  void reportError(const Error& error, errorType type) override;
  void reportError(const Error& error) override;
  /// Logs, tags, then stores a copy of the record.
  void reportError(const ErrorMsg& message) override;

  void setVerboseMode(bool verbose) override;
  void registerErrorTagIF(const ErrorTagIF* provider) override;

  void takeMessageQueue(OutputMessageQueue& queue) override;
  void takeMessageQueue(errorType mask, OutputMessageQueue& queue) override;
  bool hasMessages() const override;
  bool hasMessages(errorType mask) const override;

 private:
  ErrorStorage m_storage;
  const ErrorTagIF* m_errorTagIF;
};

}  // namespace zel
