#pragma once

#include <zel/ErrorReporterImpl.h>
#include <zel/Export.h>

namespace zel {

/// An error reporter that discards every report and never has messages. The
/// front forwards to a built-in one until the application installs its own.
class ZEL_ERROR_API NullErrorReporterImpl : public ErrorReporterImpl {
 public:
  /// constexpr so that the built-in object needs no dynamic initialisation.
  constexpr NullErrorReporterImpl() = default;
  ~NullErrorReporterImpl() override;

  void reportError(const Error& error, errorType type) override;
  void reportError(const Error& error) override;
  /// Discards the record.
  void reportError(const ErrorMsg& message) override;
  void setVerboseMode(bool verbose) override;
  void registerErrorTagIF(const ErrorTagIF* provider) override;
  void takeMessageQueue(OutputMessageQueue& queue) override;
  void takeMessageQueue(errorType mask, OutputMessageQueue& queue) override;
  bool hasMessages() const override;
  bool hasMessages(errorType mask) const override;
};

}  // namespace zel
