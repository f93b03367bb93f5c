#pragma once

#include <zel/Export.h>

namespace zel {

class ErrorTagIF;

/// How an error reporter treats reports: verbose display texts, and the tag
/// provider that marks stored messages.
class ZEL_ERROR_API ReportModeControl {
 public:
  /// Verbose display texts name the reporting class and method.
  virtual void setVerboseMode(bool verbose) = 0;
  /// Registers the tag provider; the reporter takes ownership. Null unregisters.
  virtual void registerErrorTagIF(const ErrorTagIF* provider) = 0;
};

}  // namespace zel
