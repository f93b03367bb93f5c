#include <zel/ErrorMsg.h>
#include <zel/OutputMessageQueue.h>

#include <utility>

namespace zel {

OutputMessageQueue::OutputMessageQueue() = default;
OutputMessageQueue::OutputMessageQueue(const OutputMessageQueue& other) =
    default;

// The containers' own moves may leave the source holding anything; clearing
// it keeps the promise that a moved-from queue is empty and remembers nothing.
OutputMessageQueue::OutputMessageQueue(OutputMessageQueue&& other) noexcept
    : m_queue(std::move(other.m_queue)), m_seen(std::move(other.m_seen)) {
  other.m_queue.clear();
  other.m_seen.clear();
}

OutputMessageQueue& OutputMessageQueue::operator=(
    const OutputMessageQueue& other) = default;

OutputMessageQueue& OutputMessageQueue::operator=(
    OutputMessageQueue&& other) noexcept {
  if (this != &other) {
    m_queue = std::move(other.m_queue);
    m_seen = std::move(other.m_seen);
    other.m_queue.clear();
    other.m_seen.clear();
  }
  return *this;
}

OutputMessageQueue::~OutputMessageQueue() = default;

void OutputMessageQueue::pushUnique(const ErrorMsg& record, bool verbose) {
  // Built before anything is touched: a refused type leaves the queue alone.
  OutputMessage message(record, verbose);
  // As doPushUnique, but the queue takes the new message over, not a copy.
  const auto remembered = m_seen.insert(message);
  if (!remembered.second) return;
  try {
    m_queue.push_back(std::move(message));
  } catch (...) {
    // Not queued, so not remembered either: a later push may bring it.
    m_seen.erase(remembered.first);
    throw;
  }
}

void OutputMessageQueue::pushUnique(ErrorMsg&& record, bool verbose) {
  if (!OutputMessage::showsTextAsItStands(record, verbose)) {
    pushUnique(static_cast<const ErrorMsg&>(record), verbose);
    return;
  }
  // Takes the record's text; a refused type throws before it is taken.
  OutputMessage message(std::move(record), verbose);
  try {
    const auto remembered = m_seen.insert(message);
    if (remembered.second) {
      try {
        m_queue.push_back(std::move(message));
      } catch (...) {
        m_seen.erase(remembered.first);
        throw;
      }
    }
  } catch (...) {
    // Neither container kept it: the text goes back where it came from.
    record.m_message = std::move(message.m_text);
    throw;
  }
}

void OutputMessageQueue::pushUnique(const OutputMessage& message) {
  doPushUnique(message);
}

void OutputMessageQueue::doPushUnique(const OutputMessage& message) {
  // m_seen never forgets, so a message popped long ago is still refused.
  const auto remembered = m_seen.insert(message);
  if (!remembered.second) return;
  try {
    m_queue.push_back(message);
  } catch (...) {
    m_seen.erase(remembered.first);
    throw;
  }
}

bool OutputMessageQueue::empty() const { return m_queue.empty(); }
const OutputMessage& OutputMessageQueue::front() const {
  return m_queue.front();
}
const std::string& OutputMessageQueue::getText() const {
  return m_queue.front().getText();
}
errorType OutputMessageQueue::getSeverity() const {
  return m_queue.front().getSeverity();
}
ErrorTag::ErrorTagType OutputMessageQueue::getErrorTag() const {
  return m_queue.front().getErrorTag();
}
void OutputMessageQueue::pop() { m_queue.pop_front(); }

}  // namespace zel
