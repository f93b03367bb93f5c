#include <gtest/gtest.h>
#include <zel/CentredProgressLabel.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace zel {
namespace {

using Label = CentredProgressLabel;

TEST(CentredProgressLabel, PutsHalfTheFreeWidthInFront) {
  // Text length in bytes, blanks put in front.
  const std::pair<std::size_t, std::size_t> cases[] = {
      {0, 25}, {7, 21}, {11, 19}, {48, 1}, {49, 0}, {50, 0}, {120, 0}};
  for (auto [length, blanks] : cases) {
    SCOPED_TRACE(length);
    const std::string text(length, 'x');
    EXPECT_EQ(std::string(Label(Label::centreInField, text)),
              std::string(blanks, ' ') + text);
  }
  Label label;
  EXPECT_EQ(std::string(label), std::string(25, ' '));
  label.reset("Solving");  // replaces the whole previous label
  EXPECT_EQ(std::string(label), std::string(21, ' ') + "Solving");
}

TEST(CentredProgressLabel, OnlyModeZeroHasAWidth) {
  for (int round = 0; round < 3; ++round) {
    for (int mode : {1, -1}) {
      SCOPED_TRACE(mode);
      EXPECT_THROW(Label(static_cast<Label::CenteringMode>(mode), "text"),
                   std::out_of_range);
    }
    // Constructions leave the table at its one width.
    EXPECT_EQ(std::string(Label()).size(), 25u);
  }
}

}  // namespace
}  // namespace zel
