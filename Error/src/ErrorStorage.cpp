#include <zel/ErrorStorage.h>
#include <zel/OutputMessageQueue.h>

#include <algorithm>
#include <cstdlib>

namespace zel {

namespace {
bool selected(const ErrorMsg& record, errorType mask) {
  return (record.type() & mask) != 0;
}
}  // namespace

// The environment is read here only: copies take the mode of their source.
ErrorStorage::ErrorStorage()
    : m_verbose(std::getenv("ZEL_VERBOSE_MESSAGE_ON") != nullptr) {}
ErrorStorage::ErrorStorage(const ErrorStorage& other) = default;
ErrorStorage& ErrorStorage::operator=(const ErrorStorage& other) = default;
ErrorStorage::~ErrorStorage() = default;

void ErrorStorage::insertMessage(const ErrorMsg& record) {
  m_messages.push_back(record);
}

std::size_t ErrorStorage::getMessageCount() const { return m_messages.size(); }

std::size_t ErrorStorage::getMessageCount(errorType mask) const {
  return static_cast<std::size_t>(std::count_if(
      m_messages.begin(), m_messages.end(),
      [mask](const ErrorMsg& record) { return selected(record, mask); }));
}

void ErrorStorage::setVerboseMode(bool verbose) { m_verbose = verbose; }

void ErrorStorage::takeMessageQueue(OutputMessageQueue& queue) {
  takeMessageQueue(allTypes, queue);
}

void ErrorStorage::takeMessageQueue(errorType mask, OutputMessageQueue& queue) {
  auto it = m_messages.begin();
  while (it != m_messages.end()) {
    if (!selected(*it, mask)) {
      ++it;
      continue;
    }
    // Removed only once the queue has it (or refused it as a duplicate): if
    // the push throws, this record and all later ones stay stored, as they
    // were. The record is about to go, so the queue may take its text.
    queue.pushUnique(std::move(*it), m_verbose);
    it = m_messages.erase(it);
  }
}

}  // namespace zel
