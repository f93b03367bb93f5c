#pragma once

namespace zel {

/// An empty base that takes copying away from the classes deriving from it.
class NonCopyable {
 public:
  NonCopyable(const NonCopyable&) = delete;  ///< Copies the object.
  NonCopyable& operator=(const NonCopyable&) = delete;  ///< Assigns a copy.

 protected:
  constexpr NonCopyable() = default;
  ~NonCopyable() = default;
};

}  // namespace zel
