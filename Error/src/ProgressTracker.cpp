#include <zel/ITaskProgress.h>
#include <zel/InternalError.h>
#include <zel/NullProgressReporterImpl.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressSubOp.h>
#include <zel/ProgressTracker.h>
#include <zel/ProgressTrackerState.h>
#include <zel/SystemMsg.h>

#include <climits>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "CaughtException.h"

namespace zel {

ITaskProgress::~ITaskProgress() = default;

namespace {

// The whole part of a single-precision value, cut towards zero; values past
// the range of int stay at its ends instead of wrapping.
int wholePart(float value) {
  if (value >= 2147483648.0f) return INT_MAX;
  if (value <= -2147483648.0f) return INT_MIN;
  return static_cast<int>(value);
}

int saturatingSum(int a, int b) {
  const long long sum = static_cast<long long>(a) + b;
  if (sum > INT_MAX) return INT_MAX;
  if (sum < INT_MIN) return INT_MIN;
  return static_cast<int>(sum);
}

}  // namespace

ProgressReporting* ProgressTracker::s_progressReporting = nullptr;

ProgressTracker::ProgressTracker() : m_state(new ProgressTrackerState) {}

ProgressTracker::ProgressTracker(std::string const& name, bool announceEntries)
    : m_state(new ProgressTrackerState) {
  try {
    m_state->m_name = name;
    m_state->m_announceEntries = announceEntries;
    init();
  } catch (...) {
    // No object comes into being, so no destructor frees the record.
    delete m_state;
    throw;
  }
}

// A tracker built from a function always announces its entries: its one entry
// carries the function's label, which is what the user should see.
ProgressTracker::ProgressTracker(ProgressFunction const& function,
                                 bool /*announceEntries*/)
    : m_state(new ProgressTrackerState) {
  try {
    m_state->m_name = function.getLabel();
    m_state->m_announceEntries = true;
    init();
    add(function);
  } catch (...) {
    delete m_state;
    throw;
  }
}

// A copy takes the entries, the name and the counting settings, but neither
// the started entry nor the reporting: the sub-operation of the started entry
// and the reporting this tracker started are closed by this tracker alone, so
// that nothing is popped or stopped twice.
ProgressTracker::ProgressTracker(const ProgressTracker& other)
    : ITaskProgress(other), m_state(new ProgressTrackerState(*other.m_state)) {
  m_state->setCurrentEntry(-1);
  m_state->m_startedReporting = false;
}

// The target first closes its own started entry; it keeps its own duty to stop
// the reporting it started.
ProgressTracker& ProgressTracker::operator=(const ProgressTracker& other) {
  if (this == &other) return *this;
  stop();
  const bool startedReporting = m_state->m_startedReporting;
  ProgressTrackerState copy(*other.m_state);
  *m_state = std::move(copy);
  m_state->setCurrentEntry(-1);
  m_state->m_startedReporting = startedReporting;
  return *this;
}

// The documented closing sequence (stop the started entry: report 1.0 and pop
// its weight; then stop the reporting this tracker started), each step guarded
// on its own: when the report throws (an Interrupt, a processor's exception,
// the reporter's refusal), the weight is popped and the reporting stopped all
// the same, so that nothing this tracker opened stays open. What was caught is
// reported once.
ProgressTracker::~ProgressTracker() {
  ProgressTrackerState& state = *m_state;
  bool caught = false;
  const auto guarded = [&caught](auto step) {
    try {
      step();
    } catch (...) {
      caught = true;
    }
  };
  if (state.m_currentEntry != -1) {
    if (state.currentWeight() > 0.0f) {
      guarded([this] { setProgress(1.0f, true); });
      if (!state.m_pushRefused) guarded([] { reporting().popWeight(); });
    }
    state.setCurrentEntry(-1);
  }
  if (state.m_startedReporting) guarded([] { reporting().stopProgress(); });
  if (caught) reportCaughtException();
  delete m_state;
}

void ProgressTracker::setReporter(ProgressReporting* reporter) {
  s_progressReporting = reporter;
}

ProgressReporting* ProgressTracker::getReporter() { return s_progressReporting; }

ProgressReporting& ProgressTracker::reporting() {
  if (s_progressReporting != nullptr) return *s_progressReporting;
  return NullProgressReporterImpl::processWide();
}

void ProgressTracker::init() {
  if (!reporting().startProgress()) return;  // an outer owner runs it
  reporting().setOperationName(m_state->m_name);
  reporting().reportProgress(0.0f);
  m_state->m_startedReporting = true;
}

// Entries.

void ProgressTracker::add(std::string const& name, float weight,
                          int totalIncrements) {
  m_state->m_entries.emplace_back(name, weight, totalIncrements);
  m_state->refreshCountLimit();
}

void ProgressTracker::add(ProgressFunction const& function) {
  m_state->m_entries.push_back(static_cast<ProgressSubOp>(function));
  m_state->refreshCountLimit();
}

std::size_t ProgressTracker::size() const { return m_state->m_entries.size(); }

std::string ProgressTracker::getName(std::size_t index) const {
  const ProgressSubOp* found = m_state->entry(index);
  return found != nullptr ? found->name : std::string();
}

void ProgressTracker::setName(std::size_t index, std::string const& name) {
  if (ProgressSubOp* found = m_state->entry(index)) found->name = name;
}

float ProgressTracker::getWeight(std::size_t index) const {
  const ProgressSubOp* found = m_state->entry(index);
  return found != nullptr ? found->weight : 0.0f;
}

float ProgressTracker::getWeight(std::string const& name) const {
  return getWeight(findEntry(name));
}

void ProgressTracker::setWeight(std::size_t index, float weight) {
  if (ProgressSubOp* found = m_state->entry(index)) found->weight = weight;
}

void ProgressTracker::setWeight(std::string const& name, float weight) {
  setWeight(findEntry(name), weight);
}

int ProgressTracker::getTotalIncrements(std::size_t index) const {
  const ProgressSubOp* found = m_state->entry(index);
  return found != nullptr ? found->totalIncrements : 0;
}

int ProgressTracker::getTotalIncrements(std::string const& name) const {
  return getTotalIncrements(findEntry(name));
}

void ProgressTracker::setTotalIncrements(std::size_t index, int total) {
  if (ProgressSubOp* found = m_state->entry(index)) {
    found->totalIncrements = total;
    m_state->refreshCountLimit();
  }
}

void ProgressTracker::setTotalIncrements(std::string const& name, int total) {
  setTotalIncrements(findEntry(name), total);
}

void ProgressTracker::setNumIncrements(int total) {
  // With no entry started, -1 names no entry and nothing changes.
  setTotalIncrements(static_cast<std::size_t>(m_state->m_currentEntry), total);
}

std::size_t ProgressTracker::findEntry(std::string const& name) const {
  const std::vector<ProgressSubOp>& entries = m_state->m_entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].name == name) return i;
  }
  // Every lookup by name reports itself as "startNext".
  throw internal::error(
      "ProgressTracker", "startNext",
      SystemMsg("Unable to find tracker name '%1'.").arg(name).str(),
      typeError);
}

// Progress.

void ProgressTracker::start(std::size_t index, int increments) {
  startSafe(index, increments);
}

void ProgressTracker::startSafe(std::size_t index, int increments) {
  ProgressTrackerState& state = *m_state;
  // Past the last entry, start over with the first.
  if (index >= state.m_entries.size()) index = 0;
  if (const ProgressSubOp* found = state.entry(index)) {
    if (found->weight < 0.0f || found->weight > 1.0f) return;
  }
  if (increments > 0) setTotalIncrements(index, increments);
  state.m_incrementCount = 0;
  stop();
  state.setCurrentEntry(static_cast<int>(index));
  const float weight = getWeight(index);
  if (weight > 0.0f) {
    try {
      reporting().pushWeight(weight);
    } catch (...) {
      // Nothing was pushed: closing this entry must not pop an outer weight.
      state.m_pushRefused = true;
      throw;
    }
  }
  // The argument, not the entry's total: with no increments given the first
  // report is due at once.
  const float firstInterval =
      static_cast<float>(increments) * state.m_notifyStep;
  state.m_nextNotification = wholePart(firstInterval);
  if (state.m_announceEntries) reporting().setOperationName(getName(index));
  setProgress(0.0f, true);
}

void ProgressTracker::start(std::string const& name, int increments) {
  start(findEntry(name), increments);
}

void ProgressTracker::nextStep(int increments) {
  startSafe(static_cast<std::size_t>(m_state->m_currentEntry + 1), increments);
}

void ProgressTracker::updateProgress() {
  ProgressTrackerState& state = *m_state;
  if (state.m_incrementCount < state.m_nextNotification) return;
  const int total = state.currentTotal();
  const float interval = static_cast<float>(total) * state.m_notifyStep;
  state.m_nextNotification =
      saturatingSum(state.m_incrementCount, wholePart(interval));
  state.m_progress =
      static_cast<float>(state.m_incrementCount) / static_cast<float>(total);
  if (state.currentWeight() > 0.0f) {
    reporting().reportProgress(state.m_progress);
  }
}

void ProgressTracker::operator++() { increment(); }

void ProgressTracker::operator++(int) { increment(); }

// Counts `count` increments, of which only those up to the started entry's
// total can count. A tracker of this very class skips straight from one due
// report to the next, reporting exactly what increment() one by one would
// report, so the cost is one step per report, not per increment. A derived
// class may override increment(): it gets one call for each increment that
// can still count.
void ProgressTracker::operator+=(int count) {
  ProgressTrackerState& state = *m_state;
  if (typeid(*this) != typeid(ProgressTracker)) {
    for (; count > 0 && state.m_incrementCount < state.m_countLimit; --count) {
      increment();
    }
    return;
  }
  while (count > 0 && state.m_incrementCount < state.m_countLimit) {
    // The increments before the next due report report nothing: count them,
    // and the one that is due, in one step.
    const long long untilDue =
        static_cast<long long>(state.m_nextNotification) - state.m_incrementCount;
    long long step = untilDue > 1 ? untilDue : 1;
    const long long room =
        static_cast<long long>(state.m_countLimit) - state.m_incrementCount;
    if (step > room) step = room;
    if (step > count) step = count;
    state.m_incrementCount += static_cast<int>(step);
    count -= static_cast<int>(step);
    updateProgress();  // reports only when the count reached the due one
  }
}

void ProgressTracker::stop() {
  ProgressTrackerState& state = *m_state;
  if (state.m_currentEntry == -1) return;
  // Bring the sub-operation to its end before closing it: popWeight leaves
  // the overall progress where the last report put it.
  if (state.currentWeight() > 0.0f) {
    setProgress(1.0f, true);
    if (!state.m_pushRefused) reporting().popWeight();
  }
  state.setCurrentEntry(-1);
}

void ProgressTracker::setProgress(float fraction, bool force) {
  ProgressTrackerState& state = *m_state;
  state.m_progress = fraction;
  if (!force) {
    const float reached = static_cast<float>(state.currentTotal()) * fraction;
    if (reached < static_cast<float>(state.m_nextNotification)) return;
  }
  if (state.m_progress < 0.0f) {
    throw internal::error(
        "ProgressTracker", "setProgress",
        SystemMsg("Progress report should be between 0 and 1. It is %1.")
            .arg(state.m_progress)
            .str(),
        typeError);
  }
  if (state.currentWeight() > 0.0f) {
    reporting().reportProgress(state.m_progress);
  }
}

float ProgressTracker::getProgress() const { return m_state->m_progress; }

void ProgressTracker::setNotifyFrequency(int frequency) {
  if (frequency <= 0) return;
  m_state->m_notifyStep = static_cast<float>(1.0 / frequency);
  m_state->m_notifyFrequency = frequency;
}

int ProgressTracker::getNotifyFrequency() const {
  return m_state->m_notifyFrequency;
}

void ProgressTracker::release() {
  if (m_state->m_startedReporting) reporting().stopProgress();
}

}  // namespace zel
