#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <zel/Export.h>

namespace zel {

/// A progress label centred in a field of fixed width by blanks in front of the
/// text. The width comes from a process-wide table indexed by the centring mode;
/// only mode 0 has a width (50). A mode without a width throws std::out_of_range.
class ZEL_ERROR_API CentredProgressLabel {
 public:
  /// How a label is centred; each mode has a field width (centreInField: 50).
  enum CenteringMode : std::int32_t { centreInField = 0 };

  /// A label of `text` centred in the field of `mode`; throws
  /// std::out_of_range for a mode without a width.
  CentredProgressLabel(CenteringMode mode = centreInField,  // NOLINT
                       std::string const& text = std::string());
  CentredProgressLabel(const CentredProgressLabel& other);  ///< Copies `other`.
  /// Assigns a copy of `other`.
  CentredProgressLabel& operator=(const CentredProgressLabel& other);
  ~CentredProgressLabel();

  /// Replaces the label by the centred form of `text`: (width − length) ÷ 2
  /// blanks and the text, or the text alone when it fills the field.
  void reset(std::string const& text);
  /// The centred label.
  operator std::string const&() const;  // NOLINT(google-explicit-constructor)

 private:
  /// Fills the width table on first use.
  static void widths();

  CenteringMode m_mode;
  std::string m_label;
  static std::vector<int> m_fieldWidths;
};

}  // namespace zel
