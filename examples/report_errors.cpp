// Report errors and show them: the start-up that must come before the first
// report, messages and caught exceptions reported from working code, and the
// stored reports shown to the user by severity.
#include <zel/ZELError.h>

#include <iostream>

namespace {

// Working code: reports what it finds and goes on.
void loadMesh() {
  zel::ErrorReporter::instance()->reportError(zel::ErrorMsg(
      "Mesh", "load",
      zel::SystemMsg("Mesh %1 has %2 degenerate elements.").arg("wing.msh").arg(3),
      zel::typeWarning));
  try {
    throw zel::data::notFound("Mesh", "open", "File loads.csv not found.", zel::typeError);
  } catch (const zel::Error& e) {
    zel::ErrorReporter::instance()->reportError(e);  // keeps the exception's type
  }
  zel::ErrorReporter::instance()->reportError(zel::ErrorMsg(
      "Mesh", "check", "Element 1742 has a negative Jacobian.", zel::typeInternalError));
}

// The user interface: takes the stored reports, severity by severity.
void showReports(zel::ErrorReportProvider& reports) {
  const std::pair<zel::errorType, const char*> sections[] = {
      {zel::typeInternalError, "Internal errors"},
      {zel::typeError, "Errors"},
      {zel::typeWarning, "Warnings"}};
  zel::OutputMessageQueue queue;  // one queue: no message is shown twice
  for (const auto& [severity, heading] : sections) {
    if (!reports.hasMessages(severity)) continue;
    reports.takeMessageQueue(severity, queue);
    std::cout << heading << ":\n";
    for (; !queue.empty(); queue.pop()) std::cout << "  - " << queue.getText() << '\n';
  }
}

}  // namespace

int main() {
  // 1. Translation first: an internal error is shown under a translated
  //    heading. This program shows English only, so it switches translation
  //    off (see translate.cpp for dictionaries).
  zel::TranslationManager::disableTranslations();

  // 2. The error reporter, owned by the application and installed behind the
  //    process-wide front. Each report is also logged at once on standard
  //    error (or in the file named by ZEL_ERROR_LOG).
  zel::ApplicationErrorReporterImpl reporter;
  zel::ErrorReporter::instance(&reporter);

  loadMesh();
  showReports(reporter);

  // Shutdown: put a reporter in place that outlives this one.
  static zel::NullErrorReporterImpl discard;
  zel::ErrorReporter::instance(&discard);
  return 0;
}
