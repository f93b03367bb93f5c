// A recording error reporter for tests: every report, whichever overload
// received it, is kept as an ErrorMsg in the order of arrival, beside the name
// of the overload. It hands no queue out and takes no tag provider over.
// ScopedErrorReporter installs a reporter as the process-wide front for one
// scope and leaves a null reporter behind, so that no test sees what another
// one installed.
//
//   RecordingErrorReporter reporter;
//   ScopedErrorReporter installed(reporter);
//   ... code under test ...
//   EXPECT_EQ(reporter.records().at(0).type(), typeWarning);
#pragma once

#include <zel/Error.h>
#include <zel/ErrorReporter.h>
#include <zel/ErrorReporterImpl.h>
#include <zel/NonCopyable.h>
#include <zel/NullErrorReporterImpl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zel::test {

class RecordingErrorReporter : public ErrorReporterImpl {
 public:
  // An exception is recorded with the type it was reported with: its own, or
  // the one given (0 stays 0).
  void reportError(const Error& error, errorType type) override {
    record("reportError(Error, errorType)",
           ErrorMsg(error.getClass(), error.getMethod(), error.getMessage(), type));
  }
  void reportError(const Error& error) override {
    record("reportError(Error)", ErrorMsg(error, error.getType()));
  }
  void reportError(const ErrorMsg& message) override { record("reportError(ErrorMsg)", message); }

  void setVerboseMode(bool) override {}
  void registerErrorTagIF(const ErrorTagIF*) override {}
  void takeMessageQueue(OutputMessageQueue&) override {}
  void takeMessageQueue(errorType, OutputMessageQueue&) override {}
  bool hasMessages() const override { return !m_records.empty(); }
  bool hasMessages(errorType mask) const override {
    return std::any_of(m_records.begin(), m_records.end(),
                       [mask](const ErrorMsg& r) { return (r.type() & mask) != 0; });
  }

  const std::vector<ErrorMsg>& records() const { return m_records; }
  // The overload that received each report, in the same order as records().
  const std::vector<std::string>& calls() const { return m_calls; }

 private:
  void record(const char* call, const ErrorMsg& message) {
    m_calls.push_back(call);
    m_records.push_back(message);
  }

  std::vector<ErrorMsg> m_records;
  std::vector<std::string> m_calls;
};

// Installs `impl` as the front's implementation for one scope; afterwards the
// front forwards to a null reporter, as the library's built-in one does.
struct ScopedErrorReporter : NonCopyable {
  explicit ScopedErrorReporter(ErrorReporting& impl) { ErrorReporter::instance(&impl); }
  ~ScopedErrorReporter() { ErrorReporter::instance(&s_afterwards); }
  static inline NullErrorReporterImpl s_afterwards;
};

}  // namespace zel::test
