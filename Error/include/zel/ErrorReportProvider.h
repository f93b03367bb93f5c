#pragma once

#include <zel/ErrorType.h>
#include <zel/Export.h>

namespace zel {

class OutputMessageQueue;

/// Hands stored reports out to the user interface. An errorType argument is a
/// mask: a report is selected when its type ANDed with the mask is not zero.
class ZEL_ERROR_API ErrorReportProvider {
 public:
  /// Moves every stored report of an accepted severity into the queue.
  virtual void takeMessageQueue(OutputMessageQueue& queue) = 0;
  /// Moves the stored reports selected by the mask into the queue.
  virtual void takeMessageQueue(errorType mask, OutputMessageQueue& queue) = 0;
  /// Whether any report is stored, whatever its severity.
  virtual bool hasMessages() const = 0;
  /// Whether a report selected by the mask is stored.
  virtual bool hasMessages(errorType mask) const = 0;
};

}  // namespace zel
