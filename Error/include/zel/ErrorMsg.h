// The record of one reported error or notice: who reported it (class and
// method name), its text, its severity and a tag.
//
// logError() writes the record's log line through ErrorLogFile:
//   ["Severe: "]<class>::<method> - <text>
// where the prefix appears for typeSevere and <text> is the part of the
// message after the first "<untranslated>" delimiter, or the whole message.
#pragma once

#include <string>

#include <zel/Error.h>
#include <zel/ErrorTag.h>
#include <zel/ErrorType.h>
#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API ErrorMsg {
 public:
  ErrorMsg();
  ErrorMsg(std::string className, std::string methodName, std::string message,
           errorType type);
  // Takes class, method and message from the exception; a type of 0 takes the
  // exception's own type.
  ErrorMsg(const Error& error, errorType type);
  ErrorMsg(const ErrorMsg& other);
  ErrorMsg(ErrorMsg&& other) noexcept;
  ErrorMsg& operator=(const ErrorMsg& other);
  ErrorMsg& operator=(ErrorMsg&& other) noexcept;
  ~ErrorMsg();

  std::string className() const;
  std::string methodName() const;
  std::string message() const;
  errorType type() const;
  ErrorTag::ErrorTagType errorTag() const;
  void setErrorTag(ErrorTag::ErrorTagType tag);

  void logError() const;

 private:
  std::string m_className;
  std::string m_methodName;
  std::string m_message;
  errorType m_type;
  ErrorTag::ErrorTagType m_errorTag;
};

}  // namespace zel
