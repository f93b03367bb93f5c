// The checks behind the fuzzers. Each takes arbitrary bytes, drives one part
// of the library with them and verifies what that part promises; a broken
// promise throws CheckFailed. The libFuzzer mains (FuzzTarget.cpp) call them
// on generated inputs; the hardening tests replay the checked-in seed and
// regression inputs through the same functions with an ordinary build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace zel::fuzz {

// A ".trx" file and a language: the reader's entries against a model.
void checkTrxReader(const std::uint8_t* data, std::size_t size);
// A message text filled with values of each kind: every fill against a model.
void checkMessageText(const std::uint8_t* data, std::size_t size);
// Reports, masks and takes: the storage and the queue against a model.
void checkMessageQueue(const std::uint8_t* data, std::size_t size);
// Pushes, pops, reports, predictions and cancels with arbitrary floats: the
// progress handler against a model of its stack, back at the top level exactly.
void checkProgressHandler(const std::uint8_t* data, std::size_t size);

struct CheckFailed : std::logic_error {
  using std::logic_error::logic_error;
};

// Throws CheckFailed naming `what` (built only on failure) unless `condition`.
#define ZEL_FUZZ_REQUIRE(condition, what)                                     \
  do {                                                                        \
    if (!(condition))                                                         \
      throw ::zel::fuzz::CheckFailed(std::string("check failed: ") + (what)); \
  } while (false)

// Reads an input front to back; past its end every read yields zeros or "".
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : m_data(data), m_size(size) {}
  bool done() const { return m_size == 0; }
  std::uint8_t byte() {
    return take(1).empty() ? 0 : static_cast<std::uint8_t>(m_last[0]);
  }
  template <typename T>
  T raw() {
    T value{};
    take(sizeof(T));
    std::memcpy(&value, m_last.data(), m_last.size());
    return value;
  }
  // A text of up to 255 bytes, its length in the byte before it.
  std::string text() { return take(byte()); }

 private:
  const std::string& take(std::size_t count) {
    count = count < m_size ? count : m_size;
    m_last.assign(reinterpret_cast<const char*>(m_data), count);
    m_data += count;
    m_size -= count;
    return m_last;
  }
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::string m_last;
};

// `text` with every occurrence of `from` (searched left to right, resuming
// after each match) replaced by `to`; `at`, when given, receives the position
// of each inserted `to` in the result. Written independently of the library's
// string helpers, as the models compare against them.
inline std::string replaceAll(const std::string& text, const std::string& from,
                              const std::string& to,
                              std::vector<std::size_t>* at = nullptr) {
  std::string result;
  std::size_t copied = 0;
  for (std::size_t pos = text.find(from);
       !from.empty() && pos != std::string::npos;
       pos = text.find(from, copied)) {
    result.append(text, copied, pos - copied);
    if (at != nullptr) at->push_back(result.size());
    result += to;
    copied = pos + from.size();
  }
  return result.append(text, copied, std::string::npos);
}

}  // namespace zel::fuzz
