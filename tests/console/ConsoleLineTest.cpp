// The texts of the console display, apart from any terminal.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "ConsoleLine.h"

namespace zel::console {
namespace {

TEST(ConsoleLine, CutsTextsBetweenCodePointsWithAnEllipsis) {
  struct Case {
    std::string text;
    std::size_t width;
    std::string fitted;
  };
  const Case cases[] = {
      {"Solve", 10, "Solve"},          {"Solve", 5, "Solve"},
      {"Solve", 4, "Sol…"},            {"Lösen", 3, "Lö…"},
      {"Lösen", 2, "L…"},              {"Lösen", 1, "…"},
      {"Lösen", 0, ""},                {"", 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " in " + std::to_string(c.width));
    EXPECT_EQ(fitText(c.text, c.width), c.fitted);
    EXPECT_LE(columns(fitText(c.text, c.width)), c.width);
  }
  EXPECT_EQ(columns("Lösen…"), 6u);
}

TEST(ConsoleLine, WritesDurationsAndPercentages) {
  EXPECT_EQ(formatDuration(0.0), "0:00");
  EXPECT_EQ(formatDuration(4.6), "0:05");
  EXPECT_EQ(formatDuration(59.4), "0:59");
  EXPECT_EQ(formatDuration(3599.4), "59:59");
  EXPECT_EQ(formatDuration(3600.0), "1:00:00");
  EXPECT_EQ(formatDuration(1e12), "99:59:59");
  EXPECT_EQ(formatDuration(-1.0), "-:--");
  EXPECT_EQ(formatDuration(std::numeric_limits<double>::quiet_NaN()), "-:--");

  EXPECT_EQ(percentOf(0.9f), 90);  // 0.899999976
  EXPECT_EQ(percentOf(0.999f), 99) << "100 only once finished";
  EXPECT_EQ(percentOf(1.0f), 100);
  EXPECT_EQ(percentOf(1.05f), 100);
  EXPECT_EQ(percentOf(-0.5f), 0);
  EXPECT_EQ(percentOf(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ConsoleLine, BarLineFitsEveryWidthAndCentresTheNameInTheLabelsField) {
  BarState state;
  state.name = "Factorise";
  state.fraction = 0.5f;
  state.elapsedSeconds = 75.0;
  state.remaining = 80.0;
  for (int width = 1; width <= 250; ++width) {
    SCOPED_TRACE(width);
    const std::string line = barLine(state, width);
    EXPECT_LE(columns(line), static_cast<std::size_t>(std::max(1, width - 3)));
    if (width >= 7) {
      EXPECT_NE(line.find("50%"), std::string::npos) << line;
    }
  }
  // Wide: the name centred as the centred label does it, in 50 columns, then
  // the bar half full and the times.
  const std::string wide = barLine(state, 120);
  EXPECT_EQ(wide.substr(0, 50), std::string(20, ' ') + "Factorise" + std::string(21, ' '));
  EXPECT_EQ(wide.substr(50), " [" + std::string(21, '#') + std::string(21, '-') +
                                 "]  50%  1:15  1:20 left");
  // The bar keeps its length whether or not an estimate is shown.
  state.remaining.reset();
  EXPECT_EQ(barLine(state, 120).find(']'), wide.find(']'));
  state.ending = "cancelled";
  EXPECT_EQ(barLine(state, 120).substr(wide.find(']')), "]  50%  1:15  cancelled");
}

TEST(ConsoleLine, PlainLines) {
  EXPECT_EQ(plainLine(0.4f, "Factorise", 0.1f), "[ 40%] Factorise  ~1 s");
  EXPECT_EQ(plainLine(0.0f, "Load mesh", std::nullopt), "[  0%] Load mesh");
  BarState state;
  state.name = "Iterate";
  state.fraction = 0.523f;
  state.elapsedSeconds = 1.2;
  EXPECT_EQ(plainFinalLine(state), "[ 52%] stopped in Iterate after 0:01");
  state.ending = "cancelled";
  EXPECT_EQ(plainFinalLine(state), "[ 52%] cancelled in Iterate after 0:01");
  state.ending.clear();
  state.fraction = 1.0f;
  EXPECT_EQ(plainFinalLine(state), "[100%] done in 0:01");
}

}  // namespace
}  // namespace zel::console
