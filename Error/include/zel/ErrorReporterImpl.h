#pragma once

#include <zel/ErrorReportProvider.h>
#include <zel/ErrorReporting.h>
#include <zel/Export.h>
#include <zel/ReportModeControl.h>

namespace zel {

/// The abstract error reporter: the reporting, mode and provider sides joined,
/// in this order, with a virtual destructor. Implementations are deleted
/// through this class or their own, never through one of the three interfaces.
class ZEL_ERROR_API ErrorReporterImpl : public ErrorReporting,
                                        public ReportModeControl,
                                        public ErrorReportProvider {
 public:
  constexpr ErrorReporterImpl() = default;
  ErrorReporterImpl(const ErrorReporterImpl&) = default;  ///< Copies the object.
  ErrorReporterImpl& operator=(const ErrorReporterImpl&) = default;  ///< Assigns a copy.
  virtual ~ErrorReporterImpl();
};

}  // namespace zel
