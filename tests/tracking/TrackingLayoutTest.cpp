#include <gtest/gtest.h>
#include <zel/CentredProgressLabel.h>
#include <zel/ITaskProgress.h>
#include <zel/ProgressTracker.h>
#include <zel/StartProgress.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace zel {
namespace {

TEST(TrackingLayout, ObjectsHoldOnlyTheirDocumentedMembers) {
  EXPECT_EQ(sizeof(ProgressTracker), 2 * sizeof(void*));  // vptr, state
  EXPECT_EQ(sizeof(StartProgress), sizeof(void*));
  EXPECT_EQ(sizeof(CentredProgressLabel), 8 + sizeof(std::string));
}

#if defined(__x86_64__) && defined(__GLIBCXX__)
// Under the Itanium C++ ABI a pointer to a virtual member function holds
// 1 + the byte offset of its slot in the table.
template <typename Member>
std::uintptr_t slotOffset(Member member) {
  std::uintptr_t raw = 0;
  std::memcpy(&raw, &member, sizeof raw);
  return raw - 1;
}

template <typename T>
std::vector<std::uintptr_t> taskProgressSlots() {
  return {
      slotOffset(&T::nextStep),
      slotOffset(static_cast<void (T::*)(std::string const&, int)>(&T::start)),
      slotOffset(static_cast<void (T::*)(std::size_t, int)>(&T::start)),
      slotOffset(static_cast<void (T::*)(std::string const&, int)>(
          &T::setTotalIncrements)),
      slotOffset(
          static_cast<void (T::*)(std::size_t, int)>(&T::setTotalIncrements)),
      slotOffset(&T::setNumIncrements),
      slotOffset(&T::increment),
      slotOffset(static_cast<void (T::*)()>(&T::operator++)),
      slotOffset(static_cast<void (T::*)(int)>(&T::operator++)),
      slotOffset(&T::operator+=)};
}

TEST(TrackingLayout, TaskProgressSlotsFollowTheDestructorInOrder) {
  // The virtual destructor takes the first two entries (complete, deleting).
  std::vector<std::uintptr_t> expected;
  for (std::uintptr_t slot = 2; slot <= 11; ++slot) {
    expected.push_back(slot * sizeof(void*));
  }
  EXPECT_EQ(taskProgressSlots<ITaskProgress>(), expected);
  EXPECT_EQ(taskProgressSlots<ProgressTracker>(), expected);
}
#endif

}  // namespace
}  // namespace zel
