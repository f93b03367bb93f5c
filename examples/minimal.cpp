// The smallest complete application: start-up in order, a tracked loop, a
// reported message shown to the user, shutdown.
#include <zel/ZELError.h>

#include <iostream>

int main() {
  // 1. Translation, before anything is translated or an internal error shown.
  zel::TranslationManager::initialize();  // language from QEN_LANGUAGE, else en_GB
  // 2. The error reporter: logs, stores and hands out every report.
  zel::ApplicationErrorReporterImpl errors;
  zel::ErrorReporter::instance(&errors);
  // 3. The progress reporter for every tracker.
  zel::ApplicationProgressReporterImpl progress;
  zel::ProgressTracker::setReporter(&progress);
  // 4. A budget, when the application has one (examples/budget.cpp).

  {
    zel::ProgressTracker task("Summing", true);
    task.add("Add", 1.0f, 1000);
    task.start("Add", 1000);
    for (int i = 0; i < 1000; ++i) task.increment();
    task.stop();
  }
  zel::ErrorReporter::instance()->reportError(zel::ErrorMsg(
      "main", "run", zel::SystemMsg("Summed %1 values.").arg(1000), zel::typeWarning));

  zel::OutputMessageQueue queue;
  errors.takeMessageQueue(queue);
  for (; !queue.empty(); queue.pop()) std::cout << queue.getText() << '\n';

  // Shutdown: uninstall what the application owns before it is destroyed.
  zel::ProgressTracker::setReporter(nullptr);
  static zel::NullErrorReporterImpl none;
  zel::ErrorReporter::instance(&none);
  return 0;
}
