#pragma once

#include <string>

#include <zel/Error.h>
#include <zel/ErrorTag.h>
#include <zel/ErrorType.h>
#include <zel/Export.h>

namespace zel {

/// The record of one reported error or notice: who reported it (class and
/// method name), its text, its severity and a tag.
///
/// logError() writes the record's log line through ErrorLogFile:
/// `["Severe: "]<class>::<method> - <text>`, where the prefix appears for
/// typeSevere and `<text>` is the part of the message after the first
/// "<untranslated>" delimiter, or the whole message.
class ZEL_ERROR_API ErrorMsg {
 public:
  /// An empty record: no names, no text, type 0, tag 0.
  ErrorMsg();
  /// The record of a report by `methodName` of `className`; tag 0.
  ErrorMsg(std::string className, std::string methodName, std::string message,
           errorType type);
  /// Takes class, method and message from the exception; a type of 0 takes the
  /// exception's own type.
  ErrorMsg(const Error& error, errorType type);
  ErrorMsg(const ErrorMsg& other);  ///< Copies `other`.
  ErrorMsg(ErrorMsg&& other) noexcept;  ///< Moves from `other`.
  ErrorMsg& operator=(const ErrorMsg& other);  ///< Assigns a copy of `other`.
  ErrorMsg& operator=(ErrorMsg&& other) noexcept;  ///< Moves `other` into this object.
  /// Releases the texts.
  ~ErrorMsg();

  /// The name of the reporting class.
  std::string className() const;
  /// The name of the reporting method.
  std::string methodName() const;
  /// The message text.
  std::string message() const;
  /// The severity.
  errorType type() const;
  /// The tag; 0 until an error reporter stamps it.
  ErrorTag::ErrorTagType errorTag() const;
  /// Replaces the tag.
  void setErrorTag(ErrorTag::ErrorTagType tag);

  /// Writes the record's log line through ErrorLogFile::logEntry().
  void logError() const;

 private:
  /// Take the text of a record that is handed on as it is.
  friend class OutputMessage;
  friend class OutputMessageQueue;

  std::string m_className;
  std::string m_methodName;
  std::string m_message;
  errorType m_type;
  ErrorTag::ErrorTagType m_errorTag;
};

}  // namespace zel
