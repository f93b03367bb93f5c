// The text of the console progress display, apart from any terminal: widths
// of UTF-8 texts, durations, the bar line for a given width and the plain
// lines written where there is no terminal. Internal to libZELConsole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zel::console {

// Columns a UTF-8 text takes on a terminal: one per code point.
std::size_t columns(const std::string& text);

// The text cut to at most `width` columns; a text that had to be cut ends
// with an ellipsis. Cuts fall between code points.
std::string fitText(const std::string& text, std::size_t width);

// "m:ss" below an hour, "h:mm:ss" from an hour on; "-:--" for a time that is
// negative or not finite.
std::string formatDuration(double seconds);

// The whole percentage of a progress fraction, clamped to 0 ... 100; 100 only
// once the fraction has reached 1, so that an unfinished run never shows it.
int percentOf(float fraction);

// What one drawing of the bar line shows.
struct BarState {
  std::string name;                 // the operation name
  float fraction = 0.0f;            // overall progress
  double elapsedSeconds = 0.0;      // since the run's first report
  std::optional<double> remaining;  // estimated seconds left, when known
  std::string ending;               // shown in place of the estimate ("cancelled")
};

// Field width of the operation name on a wide terminal: that of the centred
// progress label.
constexpr std::size_t kNameField = 50;

// The bar line for a terminal `width` columns wide: the name centred (or cut
// with an ellipsis) in its field, the bar in the remaining width, then the
// percentage, the elapsed time and the estimate or ending. It never takes
// more than width - 3 columns (at least one): writing into the last column
// makes some terminals wrap, and an echoed "^C" must stay on the bar's row.
// On narrow terminals the elapsed time, then the name, then the bar are left
// out.
std::string barLine(const BarState& state, int width);

// The plain line written for a new operation where there is no terminal:
// "[ 40%] Factorise", with "  ~1 s" for a step with a predicted duration.
std::string plainLine(float fraction, const std::string& name,
                      std::optional<float> predictedSeconds);

// The plain line that ends a run: "[100%] done in 0:03", "[ 52%] cancelled in
// Iterate after 0:01", or "[ 80%] stopped in Solve after 0:02" for a run that
// was finished before it was complete.
std::string plainFinalLine(const BarState& state);

}  // namespace zel::console
