#include "ConsoleLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include <zel/CentredProgressLabel.h>

namespace zel::console {
namespace {

constexpr const char* kEllipsis = "\xE2\x80\xA6";  // U+2026, one column
constexpr std::size_t kMinName = 8;                 // below this the name is left out
constexpr std::size_t kMinBar = 5;                  // bar cells below which it is left out
constexpr std::size_t kLastSlot = 9;                // "0:00 left", "cancelled"
// Columns left free at the end of the bar line: writing into the last column
// makes some terminals wrap, and the terminal echoes Ctrl-C as "^C" at the
// cursor; kept on the bar's row, the echo is erased with it.
constexpr int kFreeColumns = 3;

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string percentText(float fraction) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d%%", percentOf(fraction));
  return text;
}

// The name centred in a field of `field` columns and padded to fill it. The
// label's own field is centred by CentredProgressLabel; narrower fields the
// same way, counting columns.
std::string nameField(const std::string& name, std::size_t field) {
  std::string text;
  if (field == kNameField) {
    const CentredProgressLabel label(CentredProgressLabel::centreInField, name);
    text = label;
  } else {
    const std::size_t used = columns(name);
    text = used < field ? std::string((field - used) / 2, ' ') + name : name;
  }
  if (columns(text) > field) text = fitText(name, field);
  return text + std::string(field - columns(text), ' ');
}

std::string bar(float fraction, std::size_t cells) {
  const float clamped = std::clamp(std::isnan(fraction) ? 0.0f : fraction, 0.0f, 1.0f);
  const auto filled = std::min(cells, static_cast<std::size_t>(clamped * static_cast<float>(cells)));
  return "[" + std::string(filled, '#') + std::string(cells - filled, '-') + "]";
}

}  // namespace

std::size_t columns(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(),
                                                [](char c) { return !isContinuation(c); }));
}

std::string fitText(const std::string& text, std::size_t width) {
  if (columns(text) <= width) return text;
  if (width == 0) return std::string();
  // Keep width - 1 code points and the ellipsis.
  std::size_t kept = 0;
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t next = end + 1;
    while (next < text.size() && isContinuation(text[next])) ++next;
    if (kept + 1 > width - 1) break;
    ++kept;
    end = next;
  }
  return text.substr(0, end) + kEllipsis;
}

std::string formatDuration(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0.0) return "-:--";
  const long total = static_cast<long>(std::min(seconds, 359999.0) + 0.5);
  char text[24];
  if (total < 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                  total % 60);
  }
  return text;
}

int percentOf(float fraction) {
  if (!(fraction > 0.0f)) return 0;
  if (fraction >= 1.0f) return 100;
  // Rounded (0.9f is 0.899999976), but 100 is kept for a finished run.
  return std::min(99, static_cast<int>(fraction * 100.0f + 0.5f));
}

std::string barLine(const BarState& state, int width) {
  const std::size_t limit = width > kFreeColumns ? static_cast<std::size_t>(width - kFreeColumns) : 1;
  const std::string percent = percentText(state.fraction);
  const std::string elapsed = formatDuration(state.elapsedSeconds);
  std::string last;
  if (!state.ending.empty()) {
    last = state.ending;
  } else if (state.remaining) {
    last = formatDuration(*state.remaining) + " left";
  }

  // The estimate or ending has a slot of its own, kept while the estimate
  // comes and goes, so that the bar does not change its length.
  last += std::string(kLastSlot - std::min(kLastSlot, columns(last)), ' ');

  // What follows the bar, richest first.
  const std::vector<std::string> tails = {percent + "  " + elapsed + "  " + last,
                                          percent + "  " + last, percent};

  for (const std::string& tail : tails) {
    const std::size_t tailColumns = columns(tail);
    // name, blank, [bar], blank, tail
    if (limit < tailColumns + 4 + kMinName + kMinBar) continue;
    const std::size_t rest = limit - tailColumns - 4;
    const std::size_t field = std::min(kNameField, rest - std::max(kMinBar, rest / 3));
    return nameField(state.name, field) + " " + bar(state.fraction, rest - field) + " " +
           tail;
  }
  // Too narrow for a name: the bar and the percentage, or the percentage alone.
  if (limit >= percent.size() + 3 + kMinBar) {
    return bar(state.fraction, limit - percent.size() - 3) + " " + percent;
  }
  return fitText(percent, limit);
}

std::string plainLine(float fraction, const std::string& name,
                      std::optional<float> predictedSeconds) {
  std::string line = "[" + percentText(fraction) + "] " + name;
  if (predictedSeconds) {
    line += "  ~" + std::to_string(static_cast<long>(std::ceil(*predictedSeconds))) + " s";
  }
  return line;
}

std::string plainFinalLine(const BarState& state) {
  const std::string head = "[" + percentText(state.fraction) + "] ";
  const std::string elapsed = formatDuration(state.elapsedSeconds);
  if (!state.ending.empty()) {
    return head + state.ending + " in " + state.name + " after " + elapsed;
  }
  if (percentOf(state.fraction) == 100) return head + "done in " + elapsed;
  return head + "stopped in " + state.name + " after " + elapsed;
}

}  // namespace zel::console
