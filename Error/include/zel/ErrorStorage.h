#pragma once

#include <cstddef>
#include <list>

#include <zel/ErrorMsg.h>
#include <zel/ErrorType.h>
#include <zel/Export.h>

namespace zel {

class OutputMessageQueue;

/// The stored reports of an application error reporter, in order of arrival,
/// and the verbose mode with which they are handed out.
///
/// Verbose mode starts on when the environment variable "ZEL_VERBOSE_MESSAGE_ON"
/// exists (an empty value counts) at construction; it is read then only.
class ZEL_ERROR_API ErrorStorage {
 public:
  ErrorStorage();
  ErrorStorage(const ErrorStorage& other);  ///< Copies `other`.
  ErrorStorage& operator=(const ErrorStorage& other);  ///< Assigns a copy of `other`.
  ~ErrorStorage();

  /// Appends a copy of the record.
  void insertMessage(const ErrorMsg& record);
  /// All stored records, type 0 included.
  std::size_t getMessageCount() const;
  /// The stored records whose type ANDed with the mask is not zero.
  std::size_t getMessageCount(errorType mask) const;
  /// In verbose mode the display texts start with the class and method name.
  void setVerboseMode(bool verbose);

  /// Moves every stored record of an accepted severity into the queue.
  void takeMessageQueue(OutputMessageQueue& queue);
  /// Walks oldest to newest; moves each selected record into the queue and
  /// removes it. A record the queue refuses as a duplicate is removed too; one
  /// of an unaccepted type throws data::invalid and stays, with every later one.
  void takeMessageQueue(errorType mask, OutputMessageQueue& queue);

 private:
  std::list<ErrorMsg> m_messages;
  bool m_verbose;
};

}  // namespace zel
