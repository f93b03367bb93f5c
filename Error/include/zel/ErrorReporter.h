#pragma once

#include <zel/ErrorReporting.h>
#include <zel/Export.h>
#include <zel/NonCopyable.h>

namespace zel {

/// The process-wide front to which all code reports errors:
///
///   ErrorReporter::instance()->reportError(ErrorMsg(cls, method, text, typeWarning));
///
/// The front forwards each report to the installed implementation; until the
/// application installs one with instance(impl), a built-in null reporter
/// discards the reports. Installing creates a new front and deletes the
/// previous front (never the implementation it forwarded to), so call
/// instance() anew for each report instead of keeping the pointer.
/// The caller keeps ownership of the implementation, which must stay alive
/// while installed. Installing a null pointer is not allowed. Not synchronised:
/// install before other threads report.
class ZEL_ERROR_API ErrorReporter final : public ErrorReporting,
                                          public NonCopyable {
 public:
  /// The current front; created, forwarding to the null reporter, if none yet.
  static ErrorReporter* instance();
  /// Installs a new front forwarding to `impl`, deletes the previous front.
  static ErrorReporter* instance(ErrorReporting* impl);

  ~ErrorReporter();

  void reportError(const Error& error, errorType type) override;
  void reportError(const Error& error) override;
  /// Forwards the record to the installed reporter.
  void reportError(const ErrorMsg& message) override;

 private:
  explicit ErrorReporter(ErrorReporting* impl);

  ErrorReporting* m_impl;
  static ErrorReporter* m_instance;
};

}  // namespace zel
