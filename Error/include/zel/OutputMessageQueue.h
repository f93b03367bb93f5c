// A queue of display messages that never repeats itself: it remembers every
// message it ever accepted, and a message equal to one of them (same severity
// and text) is refused, also after the first was popped.
//
// Read it with: while (!q.empty()) { use q.getText(), q.getSeverity(),
// q.getErrorTag() or q.front(); q.pop(); }. front(), the getters and pop()
// require a non-empty queue.
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

class ZEL_ERROR_API OutputMessageQueue {
 public:
  OutputMessageQueue();
  OutputMessageQueue(const OutputMessageQueue& other);
  // Takes both containers over and leaves the source empty.
  OutputMessageQueue(OutputMessageQueue&& other) noexcept;
  OutputMessageQueue& operator=(const OutputMessageQueue& other);
  OutputMessageQueue& operator=(OutputMessageQueue&& other) noexcept;
  ~OutputMessageQueue();

  // Builds the display message of the record; throws data::invalid for a
  // record whose type is not an accepted severity, leaving the queue as it was.
  void pushUnique(const ErrorMsg& record, bool verbose);
  void pushUnique(const OutputMessage& message);

  bool empty() const;
  const OutputMessage& front() const;
  const std::string& getText() const;
  errorType getSeverity() const;
  ErrorTag::ErrorTagType getErrorTag() const;
  // Removes the oldest message; the queue still remembers it.
  void pop();

 private:
  void doPushUnique(const OutputMessage& message);

  std::deque<OutputMessage> m_queue;
  std::set<OutputMessage> m_seen;
};

}  // namespace zel
