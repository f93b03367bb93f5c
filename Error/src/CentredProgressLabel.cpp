#include <zel/CentredProgressLabel.h>

#include <utility>

namespace zel {

std::vector<int> CentredProgressLabel::m_fieldWidths;

CentredProgressLabel::CentredProgressLabel(CenteringMode mode,
                                           std::string const& text)
    : m_mode(mode) {
  widths();
  reset(text);
}

CentredProgressLabel::CentredProgressLabel(const CentredProgressLabel& other) =
    default;

CentredProgressLabel& CentredProgressLabel::operator=(
    const CentredProgressLabel& other) {
  m_mode = other.m_mode;
  if (this != &other) m_label = other.m_label;
  return *this;
}

CentredProgressLabel::~CentredProgressLabel() = default;

void CentredProgressLabel::widths() {
  if (m_fieldWidths.empty()) m_fieldWidths.push_back(50);
}

void CentredProgressLabel::reset(std::string const& text) {
  // at() tests the mode: one without a width throws std::out_of_range and
  // leaves the label as it was.
  const int width = m_fieldWidths.at(static_cast<std::size_t>(m_mode));
  const std::size_t length = text.size();
  if (length < static_cast<std::size_t>(width)) {
    std::string label((static_cast<std::size_t>(width) - length) / 2, ' ');
    label += text;
    m_label = std::move(label);
  } else {
    m_label = text;
  }
}

CentredProgressLabel::operator std::string const&() const { return m_label; }

}  // namespace zel
