// An empty base that takes copying away from the classes deriving from it.
#pragma once

namespace zel {

class NonCopyable {
 public:
  NonCopyable(const NonCopyable&) = delete;
  NonCopyable& operator=(const NonCopyable&) = delete;

 protected:
  constexpr NonCopyable() = default;
  ~NonCopyable() = default;
};

}  // namespace zel
