// Helpers shared by the tests: capture the error log, set environment
// variables for one scope, and check an exception's class and texts in one line.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <zel/Error.h>
#include <zel/ErrorLogFile.h>

namespace zel::test {

// Captures every error-log entry while it lives, then restores the sink.
class LogCapture {
 public:
  LogCapture()
      : m_previous(ErrorLogFile::setSink(
            [this](const std::string& entry) { m_entries.push_back(entry); })) {}
  ~LogCapture() { ErrorLogFile::setSink(std::move(m_previous)); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<std::string>& entries() const { return m_entries; }

 private:
  std::vector<std::string> m_entries;
  ErrorLogFile::Sink m_previous;
};

// Sets (or, with std::nullopt, removes) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value)
      : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) m_old = old;
    apply(value);
  }
  ~ScopedEnv() { apply(m_old); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void apply(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(m_name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(m_name.c_str());
    }
  }
  std::string m_name;
  std::optional<std::string> m_old;
};

// The class name, method name, message and type an exception carries.
struct ErrorTexts {
  std::string className;
  std::string methodName;
  std::string message;
  int type;
  bool operator==(const ErrorTexts& o) const {
    return className == o.className && methodName == o.methodName &&
           message == o.message && type == o.type;
  }
};

inline std::ostream& operator<<(std::ostream& os, const ErrorTexts& t) {
  return os << "{\"" << t.className << "\", \"" << t.methodName << "\", \""
            << t.message << "\", " << t.type << "}";
}

inline ErrorTexts textsOf(const Error& e) {
  return {e.getClass(), e.getMethod(), e.getMessage(), static_cast<int>(e.getType())};
}

}  // namespace zel::test

// Expects `statement` to throw exactly `ExceptionClass` (or a class derived
// from it) carrying the given class name, method name, message and type.
#define EXPECT_ZEL_THROW(statement, ExceptionClass, cls, method, msg, type)   \
  do {                                                                        \
    bool zelThrown_ = false;                                                  \
    try {                                                                     \
      statement;                                                              \
    } catch (const ExceptionClass& zelError_) {                               \
      zelThrown_ = true;                                                      \
      EXPECT_EQ(::zel::test::textsOf(zelError_),                              \
                (::zel::test::ErrorTexts{cls, method, msg, type}));           \
    }                                                                         \
    EXPECT_TRUE(zelThrown_) << "expected " #ExceptionClass " from " #statement; \
  } while (false)
