// Input: a sequence of operations on one storage and one queue: reports of
// any type, tag and text (with or without the delimiter), takes with any mask,
// pops, verbose switches and queue copies. A model of the storage and the
// queue predicts every take; after each one the queue must hold the model's
// messages, none twice, and no record may have been lost.
#include <zel/DataError.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorStorage.h>
#include <zel/OutputMessage.h>
#include <zel/OutputMessageQueue.h>
#include <zel/TranslationManager.h>

#include <deque>
#include <iterator>
#include <list>
#include <set>
#include <tuple>
#include <utility>

#include "FuzzChecks.h"

namespace zel::fuzz {
namespace {

// Types and masks of interest; any other byte reads a raw 32-bit value.
constexpr std::int32_t kTypes[] = {0,  1, 2, 4,   8,  16,       32,
                                   64, 3, 9, 125, -1, INT32_MIN};

errorType typeFrom(FuzzInput& input) {
  const std::uint8_t pick = input.byte();
  return static_cast<errorType>(
      pick < std::size(kTypes) ? kTypes[pick] : input.raw<std::int32_t>());
}

bool accepted(errorType type) {
  return type == 1 || type == 4 || type == 8 || type == 16 || type == 32 ||
         type == 64;
}

using Shown = std::tuple<std::int32_t, std::string, ErrorTag::ErrorTagType>;

class Model {
 public:
  explicit Model(ErrorStorage& storage) : m_storage(storage) {}

  void report(const ErrorMsg& record) {
    m_storage.insertMessage(record);
    m_records.push_back(record);
    ++m_reported;
  }

  void take(errorType mask, bool all, OutputMessageQueue& queue) {
    const std::size_t before = m_storage.getMessageCount();
    std::string refused;
    try {
      all ? m_storage.takeMessageQueue(queue)
          : m_storage.takeMessageQueue(mask, queue);
    } catch (const data::invalid& e) {
      refused = e.getClass() + "::" + e.getMethod() + " " +
                std::to_string(int(e.getType())) + ": " + e.getMessage();
    }
    m_taken += before - m_storage.getMessageCount();
    std::string expected;
    for (auto it = m_records.begin(); it != m_records.end();) {
      if ((it->type() & mask) == 0) {
        ++it;
      } else if (!accepted(it->type())) {
        expected = "OutputMessage::makeSeverity 4: ErrorType " +
                   std::to_string(int(it->type())) + " is not recognized.";
        break;
      } else {
        push(*it);
        it = m_records.erase(it);
      }
    }
    ZEL_FUZZ_REQUIRE(
        refused == expected,
        "take refused \"" + refused + "\", expected \"" + expected + "\"");
    ZEL_FUZZ_REQUIRE(m_storage.getMessageCount() == m_records.size(),
                     "records kept");
    ZEL_FUZZ_REQUIRE(m_taken + m_storage.getMessageCount() == m_reported,
                     "no record lost");
    compare(queue);
  }

  void pop(OutputMessageQueue& queue) {
    if (queue.empty()) return;
    ZEL_FUZZ_REQUIRE(
        !m_queue.empty() && m_queue.front() == shown(queue.front()),
        "front of the queue");
    m_popped.push_back(queue.front());
    queue.pop();
    m_queue.pop_front();
  }

  void setVerbose(bool verbose) {
    m_storage.setVerboseMode(verbose);
    m_verbose = verbose;
  }

  // The queue holds the model's messages in order, none twice, and a copy of
  // it refuses each of them again, as well as every message popped before.
  void compare(const OutputMessageQueue& queue) {
    OutputMessageQueue copy(queue);
    std::vector<OutputMessage> queued;
    std::set<std::pair<std::int32_t, std::string>> distinct;
    for (const Shown& expected : m_queue) {
      ZEL_FUZZ_REQUIRE(!copy.empty() && shown(copy.front()) == expected,
                       "queued message");
      ZEL_FUZZ_REQUIRE(
          distinct.emplace(std::get<0>(expected), std::get<1>(expected)).second,
          "a message queued twice");
      queued.push_back(copy.front());
      copy.pop();
    }
    ZEL_FUZZ_REQUIRE(copy.empty(), "no more messages than the model");
    for (const auto* messages : {&queued, &m_popped}) {
      for (const OutputMessage& message : *messages) copy.pushUnique(message);
    }
    ZEL_FUZZ_REQUIRE(copy.empty(), "every message accepted is remembered");
  }

 private:
  static Shown shown(const OutputMessage& message) {
    return {message.getSeverity(), message.getText(), message.getErrorTag()};
  }

  void push(const ErrorMsg& record) {
    std::string text = record.message();
    if (record.type() == typeInternalError) {
      text =
          TranslationManager::translate("Internal error detected:", nullptr) +
          "\n" + text;
    }
    text = text.substr(0, text.find("<untranslated>"));
    if (m_verbose)
      text = record.className() + "::" + record.methodName() + "::" + text;
    if (m_seen.emplace(record.type(), text).second)
      m_queue.emplace_back(record.type(), text, record.errorTag());
  }

  ErrorStorage& m_storage;
  std::list<ErrorMsg> m_records;
  std::set<std::pair<std::int32_t, std::string>> m_seen;
  std::deque<Shown> m_queue;
  std::vector<OutputMessage> m_popped;
  bool m_verbose = false;
  std::size_t m_reported = 0;
  std::size_t m_taken = 0;
};

}  // namespace

void checkMessageQueue(const std::uint8_t* data, std::size_t size) {
  // Internal errors get a translated heading, which needs a dictionary.
  static const bool ready = (TranslationManager::setLanguage("en_GB"), true);
  (void)ready;
  FuzzInput input(data, size);
  ErrorStorage storage;
  OutputMessageQueue queue;
  Model model(storage);
  model.setVerbose(false);
  while (!input.done()) {
    switch (input.byte() % 6) {
      case 0: {
        const errorType type = typeFrom(input);
        std::string className = input.text(), methodName = input.text(),
                    message = input.text();
        if (input.byte() & 1) message += "<untranslated>" + input.text();
        ErrorMsg record(className, methodName, message, type);
        record.setErrorTag(input.raw<ErrorTag::ErrorTagType>());
        model.report(record);
        break;
      }
      case 1:
        model.take(typeFrom(input), false, queue);
        break;
      case 2:
        model.take(allTypes, true, queue);
        break;
      case 3:
        model.pop(queue);
        break;
      case 4:
        model.setVerbose(input.byte() & 1);
        break;
      default: {
        // A copy moved back must be the same queue, memory included.
        OutputMessageQueue copy(queue);
        queue = std::move(copy);
        model.compare(queue);
        break;
      }
    }
  }
}

}  // namespace zel::fuzz
