#pragma once

#include <functional>
#include <string>

#include <zel/ExceptionExport.h>

namespace zel {

/// The process's error log. Each logEntry() appends one entry.
///
/// Default destination: the file named by the environment variable
/// "ZEL_ERROR_LOG" (appended to, one line per entry) when it is set, standard
/// error otherwise. The variable is read at every entry. An entry that cannot
/// be written to that file (a full disk, a missing folder, no permission, a
/// FIFO that no process reads) goes to standard error instead; the first such
/// entry of the process is preceded by one line naming the file and the reason.
/// Opening the file never waits.
///
/// setSink() installs another destination and returns the previous one; an
/// empty function restores the default. Tests and embedding applications use
/// it to capture entries. Not synchronised: set it up before other threads log.
class ZEL_EXCEPTION_API ErrorLogFile {
 public:
  /// A destination of log entries.
  using Sink = std::function<void(const std::string&)>;

  /// Appends `entry` to the log as one entry.
  static void logEntry(const std::string& entry);
  /// Installs `sink` as the destination and returns the previous one; an empty
  /// function restores the default.
  static Sink setSink(Sink sink);
  /// Writes `entry` to the default destination, whatever sink is installed:
  /// for a sink that adds something around the default rather than replacing it.
  static void logDefault(const std::string& entry);
};

}  // namespace zel
