// Input: a message text, then up to 16 values, each a kind byte (int, float,
// C string, std::string) and the value's bytes. Every arg() is checked against
// a model of one fill, its warning included, and against the token invariant.
#include <zel/SystemMsg.h>

#include <algorithm>
#include <iostream>
#include <sstream>

#include "FuzzChecks.h"

namespace zel::fuzz {
namespace {

// Collects what is written to std::cerr while it lives.
class CaptureStandardError {
 public:
  CaptureStandardError() : m_previous(std::cerr.rdbuf(&m_buffer)) {}
  ~CaptureStandardError() { std::cerr.rdbuf(m_previous); }
  std::string take() {
    std::string text = m_buffer.str();
    m_buffer.str("");
    return text;
  }

 private:
  std::stringbuf m_buffer;
  std::streambuf* m_previous;
};

template <typename T>
std::string formatted(const T& value) {
  std::ostringstream stream;
  stream << value;
  return stream.str();
}

}  // namespace

void checkMessageText(const std::uint8_t* data, std::size_t size) {
  CaptureStandardError warnings;
  FuzzInput input(data, size);
  SystemMsg message(input.text());
  // Values that hold tokens can make the text grow fast; a kilobyte of text
  // holds every case.
  for (int n = 1; n <= 16 && !input.done() && message.str().size() <= 1024;
       ++n) {
    const std::string before = message.str();
    std::string value;
    switch (input.byte() % 4) {
      case 0: {
        const int number = input.raw<int>();
        message.arg(number);
        value = formatted(number);
        break;
      }
      case 1: {
        const float number = input.raw<float>();
        message.arg(number);
        value = formatted(number);
        break;
      }
      case 2:
        value = input.text();
        message.arg(value.c_str());
        value.resize(std::char_traits<char>::length(value.c_str()));
        break;
      default:
        value = input.text();
        message.arg(value);
        break;
    }
    // Fill N replaces the first two characters of each "%N" (the whole token
    // for N <= 9; for N >= 10 its further digits stay), resuming the search
    // after the inserted value. Tokens never overlap one another, so every
    // "%N" of the text before the fill is replaced, and a "%N" left in the
    // result must overlap an inserted value or straddle the place of an empty
    // one: it was made by the fill (from a value holding "%N", or a "%" or
    // digits next to a value), never left over from before it.
    const std::string token = "%" + std::to_string(n);
    std::vector<std::size_t> inserted;
    const std::string after = message.str();
    ZEL_FUZZ_REQUIRE(
        after == replaceAll(before, token, value + token.substr(2), &inserted),
        "fill " + token + " of \"" + before + "\" with \"" + value + "\"");
    for (std::size_t p = after.find(token); p != std::string::npos;
         p = after.find(token, p + 1)) {
      // The first inserted value that ends after p is the only candidate.
      const auto at = std::partition_point(
          inserted.begin(), inserted.end(),
          [&](std::size_t a) { return a + value.size() <= p; });
      ZEL_FUZZ_REQUIRE(at != inserted.end() && *at < p + token.size(),
                       token + " left in \"" + after + "\"");
    }
    const std::string warning =
        inserted.empty() ? "Warning: token " + token +
                               " was not used in the message: \"" + value + "\""
                         : "";
    ZEL_FUZZ_REQUIRE(warnings.take() == warning, "warning of fill " + token);
  }
}

}  // namespace zel::fuzz
