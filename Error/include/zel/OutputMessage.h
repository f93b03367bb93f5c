#pragma once

#include <string>

#include <zel/ErrorTag.h>
#include <zel/ErrorType.h>
#include <zel/Export.h>

namespace zel {

class ErrorMsg;

/// One message as the user interface shows it: a severity, the display text and
/// the tag of the record it was made from.
///
/// The display text of a record: for typeInternalError the translated heading
/// "Internal error detected:" and a line feed go first; the text is then cut
/// at the first "<untranslated>" delimiter; in verbose mode "<class>::<method>::"
/// goes in front. Only the severities 1, 4, 8, 16, 32 and 64 are accepted.
///
/// Messages are ordered by severity, then text; the tag takes no part, so two
/// messages that differ only in their tag are equal.
class ZEL_ERROR_API OutputMessage {
 public:
  /// Throws data::invalid "ErrorType %1 is not recognized." for a type outside
  /// the accepted severities.
  OutputMessage(const ErrorMsg& record, bool verbose);
  /// A message whose display text is already made, as one that travelled from
  /// another process: the text is taken as it is. Throws data::invalid for a
  /// severity outside the accepted ones, like the constructor above.
  OutputMessage(errorType severity, std::string text, ErrorTag::ErrorTagType tag);
  /// The same, taking the record's text over when it is shown as it stands
  /// (no heading, no delimiter, not verbose); otherwise the record is not
  /// changed. Throws as the other, then leaving the record as it was.
  OutputMessage(ErrorMsg&& record, bool verbose);
  OutputMessage(const OutputMessage& other);  ///< Copies `other`.
  OutputMessage(OutputMessage&& other) noexcept;  ///< Moves from `other`.
  OutputMessage& operator=(const OutputMessage& other);  ///< Assigns a copy of `other`.
  OutputMessage& operator=(OutputMessage&& other) noexcept;  ///< Moves `other` into this object.
  /// Releases the text.
  ~OutputMessage();

  /// The severity the message is shown under.
  errorType getSeverity() const { return m_severity; }
  /// The text the user sees.
  const std::string& getText() const { return m_text; }
  /// The tag of the record.
  ErrorTag::ErrorTagType getErrorTag() const { return m_errorTag; }

  /// By severity as a signed integer, then by text byte by byte.
  bool operator<(const OutputMessage& other) const;

 private:
  friend class OutputMessageQueue;

  /// Whether the record's text is shown as it stands.
  static bool showsTextAsItStands(const ErrorMsg& record, bool verbose);
  static errorType makeSeverity(errorType type);
  static std::string makeText(const ErrorMsg& record, bool verbose);

  errorType m_severity;
  std::string m_text;
  ErrorTag::ErrorTagType m_errorTag;
};

}  // namespace zel
