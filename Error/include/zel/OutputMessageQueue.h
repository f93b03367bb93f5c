#pragma once

#include <deque>
#include <set>
#include <string>

#include <zel/ErrorTag.h>
#include <zel/ErrorType.h>
#include <zel/Export.h>
#include <zel/OutputMessage.h>

namespace zel {

class ErrorMsg;

/// A queue of display messages that never repeats itself: it remembers every
/// message it ever accepted, and a message equal to one of them (same severity
/// and text) is refused, also after the first was popped.
///
/// Read it with: while (!q.empty()) { use q.getText(), q.getSeverity(),
/// q.getErrorTag() or q.front(); q.pop(); }. front(), the getters and pop()
/// require a non-empty queue.
class ZEL_ERROR_API OutputMessageQueue {
 public:
  /// An empty queue that remembers nothing.
  OutputMessageQueue();
  OutputMessageQueue(const OutputMessageQueue& other);  ///< Copies `other`.
  /// Takes both containers over and leaves the source empty.
  OutputMessageQueue(OutputMessageQueue&& other) noexcept;
  OutputMessageQueue& operator=(const OutputMessageQueue& other);  ///< Assigns a copy of `other`.
  /// Moves `other` into this object.
  OutputMessageQueue& operator=(OutputMessageQueue&& other) noexcept;
  /// Releases the messages.
  ~OutputMessageQueue();

  /// Builds the display message of the record; throws data::invalid for a
  /// record whose type is not an accepted severity, leaving the queue as it was.
  void pushUnique(const ErrorMsg& record, bool verbose);
  /// The same, taking the record's text over where the display message shows
  /// it as it stands. When it throws, the record is as it was.
  void pushUnique(ErrorMsg&& record, bool verbose);
  /// Appends the message unless the queue ever held an equal one.
  void pushUnique(const OutputMessage& message);

  /// True when no message waits.
  bool empty() const;
  /// The oldest waiting message.
  const OutputMessage& front() const;
  /// The oldest waiting message's text.
  const std::string& getText() const;
  /// The oldest waiting message's severity.
  errorType getSeverity() const;
  /// The oldest waiting message's tag.
  ErrorTag::ErrorTagType getErrorTag() const;
  /// Removes the oldest message; the queue still remembers it.
  void pop();

 private:
  void doPushUnique(const OutputMessage& message);

  std::deque<OutputMessage> m_queue;
  std::set<OutputMessage> m_seen;
};

}  // namespace zel
