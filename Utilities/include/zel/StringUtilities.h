#pragma once

#include <string>

#include <zel/UtilitiesExport.h>

namespace zel {

/// Small string helpers shared by the ZEL libraries.
class ZEL_UTILITIES_API StringUtilities {
 public:
  /// The text without blanks, tabs, carriage returns, line feeds, vertical tabs
  /// and form feeds at its two ends; the inside is left unchanged.
  static std::string removeWhitespace(const std::string& text);

  /// The text with every occurrence of `from` replaced by `to`, left to right.
  /// The search resumes after each inserted replacement, so a replacement that
  /// contains `from` is never replaced again. An empty `from` changes nothing.
  static std::string replaceSubstring(const std::string& text,
                                      const std::string& from,
                                      const std::string& to);
};

}  // namespace zel
