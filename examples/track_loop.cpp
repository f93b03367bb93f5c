// Track a loop: a progress reporter with a processor that shows the progress,
// and a tracker whose entries are counted in increments.
#include <zel/ZELError.h>

#include <cstdio>

namespace {

// Called by the reporter at each report, on the reporting thread. It prints
// a line whenever the whole has advanced by a tenth; returning 1 would
// interrupt the work with zel::Interrupt.
class PrintProgress : public zel::MidOpProcessor {
 public:
  explicit PrintProgress(const zel::ProgressProvider& progress) : m_progress(progress) {}

  int process() override {
    const int percent = static_cast<int>(m_progress.getProgress() * 100.0f + 0.5f);
    if (percent >= m_next) {
      std::printf("[%3d%%] %s\n", percent, m_progress.getOperationName().c_str());
      m_next = percent / 10 * 10 + 10;
    }
    return 0;
  }

 private:
  const zel::ProgressProvider& m_progress;
  int m_next = 0;
};

}  // namespace

int main() {
  zel::TranslationManager::disableTranslations();
  zel::ApplicationErrorReporterImpl errors;
  zel::ErrorReporter::instance(&errors);

  // The progress reporter for every tracker, and the processor it calls.
  zel::ApplicationProgressReporterImpl progress;
  zel::ProgressTracker::setReporter(&progress);
  PrintProgress printer(progress);
  progress.registerMidOpProcessor(&printer);

  {
    // Two entries: smoothing is worth 30 % of the task, 1000 increments;
    // refining 70 %, 400 increments. The tracker starts reporting, as none
    // runs yet, and stops it when it goes out of scope.
    zel::ProgressTracker task("Smoothing", true);
    task.add("Smooth", 0.3f, 1000);
    task.add("Refine", 0.7f, 400);
    task.start("Smooth", 1000);
    for (int i = 0; i < 1000; ++i) task.increment();
    task.nextStep(400);  // completes "Smooth", starts "Refine"
    for (int i = 0; i < 400; ++i) ++task;
    task.stop();
  }

  // Shutdown: uninstall before destroying.
  progress.unregisterMidOpProcessor(&printer);
  zel::ProgressTracker::setReporter(nullptr);
  static zel::NullErrorReporterImpl discard;
  zel::ErrorReporter::instance(&discard);
  return 0;
}
