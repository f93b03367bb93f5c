// The reporter an application installs, with one processor that counts its
// calls: the setting of every benchmark that counts through trackers.
#pragma once

#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/MidOpProcessor.h>
#include <zel/ProgressTracker.h>

namespace zel {
namespace bench {

// Counts the reporter's calls to the application.
class CountingProcessor final : public MidOpProcessor {
 public:
  int process() override {
    ++calls;
    return 0;
  }
  int calls = 0;
};

// An application reporter with one counting processor, installed for the
// lifetime of this object.
struct InstalledReporter {
  ApplicationProgressReporterImpl reporter;
  CountingProcessor processor;
  InstalledReporter() {
    reporter.registerMidOpProcessor(&processor);
    ProgressTracker::setReporter(&reporter);
  }
  ~InstalledReporter() { ProgressTracker::setReporter(nullptr); }
  InstalledReporter(const InstalledReporter&) = delete;
  InstalledReporter& operator=(const InstalledReporter&) = delete;
};

}  // namespace bench
}  // namespace zel
