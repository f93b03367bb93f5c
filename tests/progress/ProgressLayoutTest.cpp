// The binary layout that applications built against the library rely on:
// virtual slot order, base-class placement and object sizes.
#include <gtest/gtest.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/MidOpProcessor.h>
#include <zel/NullProgressReporterImpl.h>
#include <zel/ProgressBudget.h>
#include <zel/ProgressBudgetBuilder.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressHandler.h>
#include <zel/ProgressOperation.h>
#include <zel/ProgressSubOp.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace zel {
namespace {

#if defined(__x86_64__) && defined(__GLIBCXX__)
// Under the Itanium C++ ABI a pointer to a virtual member function holds
// 1 + the byte offset of its vtable slot.
template <typename... Members>
std::vector<std::int64_t> slotsOf(Members... members) {
  std::vector<std::int64_t> slots;
  for (const auto* member : {static_cast<const void*>(&members)...}) {
    std::int64_t ptr = 0;
    std::memcpy(&ptr, member, sizeof(ptr));
    slots.push_back((ptr - 1) / 8);
  }
  return slots;
}

TEST(ProgressLayout, InterfacesKeepTheirVirtualSlotOrder) {
  using Slots = std::vector<std::int64_t>;
  using ByFunction =
      void (ProgressPredictor::*)(ProgressFunction const&, float);
  using ByName = void (ProgressPredictor::*)(std::string const&, float, float);
  using R = ProgressReporting;
  using P = ProgressProvider;
  EXPECT_EQ(slotsOf(&R::reportProgress, &R::setOperationName, &R::pushWeight,
                    &R::popWeight, &R::startProgress, &R::stopProgress),
            (Slots{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(
      slotsOf(&AnimationProgressReporter::setAnimationProgress,
              &ProgressBoundsControl::imposeBounds, &MidOpProcessor::process),
      (Slots{0, 0, 0}));
  EXPECT_EQ(
      slotsOf(static_cast<ByFunction>(&ProgressPredictor::predictProgress),
              static_cast<ByName>(&ProgressPredictor::predictProgress),
              &ProgressPredictor::cancelPrediction),
      (Slots{0, 1, 2}));
  EXPECT_EQ(slotsOf(&P::getProgress, &P::getProgressPrediction,
                    &P::getOperationName, &P::getAnimationProgress,
                    &P::registerMidOpProcessor, &P::unregisterMidOpProcessor),
            (Slots{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(slotsOf(&ProgressAbortMode::isAborted,
                    &ProgressAbortMode::setSoftAbortMode),
            (Slots{0, 1}));
  // After the two entries of the virtual destructor.
  EXPECT_EQ(slotsOf(&ProgressBudgetBuilder::buildItinerary,
                    &ProgressBudgetBuilder::buildFunctions,
                    &ProgressBudgetBuilder::buildOperations),
            (Slots{2, 3, 4}));
}
#endif

TEST(ProgressLayout, AReporterStartsWithItsProgressReportingPart) {
  ApplicationProgressReporterImpl application;
  NullProgressReporterImpl null;
  for (ProgressReporterImpl* reporter :
       {static_cast<ProgressReporterImpl*>(&application),
        static_cast<ProgressReporterImpl*>(&null)}) {
    EXPECT_EQ(static_cast<void*>(static_cast<ProgressReporting*>(reporter)),
              static_cast<void*>(reporter));
  }
}

#if defined(__x86_64__) && defined(__GLIBCXX__)
TEST(ProgressLayout, ValueClassesHoldTheirMembersInOrder) {
  // name 32, weight 4, totalIncrements 4.
  EXPECT_EQ(sizeof(ProgressSubOp), 40u);
  // vtable pointer 8, m_id, m_numReentries, m_numIncrements 4 each; padded.
  EXPECT_EQ(sizeof(ProgressFunction), 24u);
  // vtable pointer 8, m_type 4; padded.
  EXPECT_EQ(sizeof(ProgressOperation), 16u);
  // m_currentOp 4 + 4 padding, three maps of 48.
  EXPECT_EQ(sizeof(ProgressBudget), 152u);
  // vtable pointer 8, m_operationName 32, m_progress and m_upperBound 4 each,
  // two deques of 80, m_scale 4, four flags 1 each, two floats 4 each.
  EXPECT_EQ(sizeof(ProgressHandler), 8u + 32 + 4 + 4 + 80 + 80 + 4 + 4 + 8);
}
#endif

}  // namespace
}  // namespace zel
