#pragma once

#include <iosfwd>
#include <string>

#include <zel/ErrorType.h>
#include <zel/ExceptionExport.h>

namespace zel {

/// The polymorphic base of every exception that the ZEL libraries throw or
/// accept. An Error carries who threw it (class and method name), a message
/// text, a severity and an integer. getClass(), getMethod(), getMessage() and
/// getType() return exactly what the constructor was given: message records
/// copy them verbatim.
///
/// The order of the virtual functions is part of the binary interface.
class ZEL_EXCEPTION_API Error {
 public:
  Error(const Error& other);  ///< Copies `other`.
  Error& operator=(const Error& other);  ///< Assigns a copy of `other`.
  /// Deletes an exception through its base.
  virtual ~Error();

  /// The severity given at construction.
  virtual errorType getType() const;
  /// Writes errorMessage() to the stream.
  virtual void write(std::ostream& stream) const;
  /// The name of the throwing class.
  virtual std::string getClass() const;
  /// The name of the throwing method.
  virtual std::string getMethod() const;
  /// "<kind> in <class>::<method>: <message>".
  virtual std::string errorMessage() const;
  /// The message text given at construction.
  virtual std::string getMessage() const;

  /// The integer given at construction; the library passes 0.
  int getCode() const { return m_code; }

 protected:
  /// An empty exception: no names, no text, type 0.
  Error();
  /// kind: the name of the concrete exception class, e.g. "data::invalid".
  Error(const std::string& kind, const std::string& className,
        const std::string& methodName, const std::string& message,
        errorType type, int code);

 private:
  std::string m_kind;
  std::string m_className;
  std::string m_methodName;
  std::string m_message;
  errorType m_type;
  int m_code;
};

}  // namespace zel
