// A recording error reporter for tests: every report, whichever overload
// received it, is kept as an ErrorMsg in the order of arrival, beside the name
// of the overload. ScopedErrorReporter installs a reporter as the process-wide
// front for one scope and leaves a null reporter behind, so that no test sees
// what another one installed.
//
//   RecordingErrorReporter reporter;
//   ScopedErrorReporter installed(reporter);
//   ... code under test ...
//   EXPECT_EQ(reporter.records().at(0).type(), typeWarning);
#pragma once

#include <zel/Error.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/ErrorReporterImpl.h>
#include <zel/ErrorTagIF.h>
#include <zel/NullErrorReporterImpl.h>

#include <string>
#include <vector>

namespace zel::test {

class RecordingErrorReporter : public ErrorReporterImpl {
 public:
  RecordingErrorReporter() = default;
  RecordingErrorReporter(const RecordingErrorReporter&) = delete;
  RecordingErrorReporter& operator=(const RecordingErrorReporter&) = delete;
  ~RecordingErrorReporter() override { delete m_provider; }

  // An exception is recorded with the type it was reported with: its own, or
  // the one given (0 stays 0).
  void reportError(const Error& error, errorType type) override {
    record("reportError(Error, errorType)",
           ErrorMsg(error.getClass(), error.getMethod(), error.getMessage(),
                    type));
  }
  void reportError(const Error& error) override {
    record("reportError(Error)", ErrorMsg(error.getClass(), error.getMethod(),
                                          error.getMessage(), error.getType()));
  }
  void reportError(const ErrorMsg& message) override {
    record("reportError(ErrorMsg)", message);
  }

  void setVerboseMode(bool verbose) override { m_verbose = verbose; }
  // Owns the provider, as an application reporter does.
  void registerErrorTagIF(const ErrorTagIF* provider) override {
    m_provider = provider;
  }

  // Hands nothing out: tests read records() instead.
  void takeMessageQueue(OutputMessageQueue&) override {}
  void takeMessageQueue(errorType, OutputMessageQueue&) override {}
  bool hasMessages() const override { return !m_records.empty(); }
  bool hasMessages(errorType mask) const override {
    for (const ErrorMsg& r : m_records) {
      if ((r.type() & mask) != 0) return true;
    }
    return false;
  }

  const std::vector<ErrorMsg>& records() const { return m_records; }
  // The overload that received each report, in the same order as records().
  const std::vector<std::string>& calls() const { return m_calls; }
  bool verbose() const { return m_verbose; }

 private:
  void record(const char* call, const ErrorMsg& message) {
    m_calls.push_back(call);
    m_records.push_back(message);
  }

  std::vector<ErrorMsg> m_records;
  std::vector<std::string> m_calls;
  bool m_verbose = false;
  const ErrorTagIF* m_provider = nullptr;
};

// Installs `impl` as the front's implementation for one scope. Afterwards the
// front forwards to a null reporter owned by the tests, which behaves as the
// library's built-in one.
class ScopedErrorReporter {
 public:
  explicit ScopedErrorReporter(ErrorReporting& impl) {
    ErrorReporter::instance(&impl);
  }
  ~ScopedErrorReporter() { ErrorReporter::instance(&nullReporter()); }
  ScopedErrorReporter(const ScopedErrorReporter&) = delete;
  ScopedErrorReporter& operator=(const ScopedErrorReporter&) = delete;

  static NullErrorReporterImpl& nullReporter() {
    static NullErrorReporterImpl reporter;
    return reporter;
  }
};

}  // namespace zel::test
