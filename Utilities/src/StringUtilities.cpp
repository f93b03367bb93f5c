#include <zel/StringUtilities.h>

namespace zel {
namespace {
constexpr const char* kWhitespace = " \t\r\n\v\f";
}  // namespace

std::string StringUtilities::removeWhitespace(const std::string& text) {
  const std::size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(kWhitespace);
  return text.substr(first, last - first + 1);
}

std::string StringUtilities::replaceSubstring(const std::string& text,
                                              const std::string& from,
                                              const std::string& to) {
  if (from.empty()) return text;
  std::size_t pos = text.find(from);
  if (pos == std::string::npos) return text;
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  while (pos != std::string::npos) {
    result.append(text, copied, pos - copied);
    result.append(to);
    copied = pos + from.size();
    pos = text.find(from, copied);
  }
  result.append(text, copied, std::string::npos);
  return result;
}

}  // namespace zel
