#pragma once

#include <cstddef>
#include <string>

#include <zel/Export.h>
#include <zel/ITaskProgress.h>
#include <zel/ProgressTrackerState.h>

namespace zel {

class ProgressFunction;
class ProgressReporting;

/// Divides one task into named, weighted entries and reports their progress to
/// the process-wide progress reporter:
///
///   ProgressTracker solve("Solve", true);    // starts reporting if none runs
///   solve.add("Assemble", 0.25f, 200);
///   solve.add("Factorise", 0.75f, 50);
///   solve.start("Assemble", 200);            // pushWeight(0.25), report 0.0
///   for (...) solve.increment();             // reports about 100 times
///   solve.nextStep(0);                        // completes Assemble, starts Factorise
///
/// Each started entry is a sub-operation (pushWeight … popWeight) in which the
/// tracker reports count ÷ total, throttled to the notify frequency (100 by
/// default). The tracker that started reporting stops it when destroyed.
/// Lookups by name throw internal::error when the name is missing; lookups by
/// index never fail. An entry can only be started when 0 ≤ weight ≤ 1.
/// The destructor never throws: it reports what it catches as "Caught exception".
///
/// Copies take a copy of the entries and the counting state, but neither the
/// started entry nor the duty to stop reporting: only the original closes what
/// it opened. Used from one thread at a time.
class ZEL_ERROR_API ProgressTracker : public ITaskProgress {
 public:
  /// Never starts or stops reporting.
  ProgressTracker();
  /// A tracker named `name` without entries; starts reporting if none runs
  /// (and then names the operation `name` and reports 0). With `announceEntries`,
  /// each started entry names the operation.
  ProgressTracker(std::string const& name, bool announceEntries);
  /// Named by the function's label, with one entry for the function; always
  /// announces its entries.
  ProgressTracker(ProgressFunction const& function, bool announceEntries);
  ProgressTracker(const ProgressTracker& other);  ///< Copies `other`.
  ProgressTracker& operator=(const ProgressTracker& other);  ///< Assigns a copy of `other`.
  /// Closes what the tracker opened; never throws.
  ~ProgressTracker() override;

  /// Installs the reporter for every tracker; null restores the null reporter.
  /// Never owned.
  static void setReporter(ProgressReporting* reporter);
  /// The reporter installed with setReporter, or null while none is.
  static ProgressReporting* getReporter();

  /// Adds an entry `name` worth `weight`, complete after `totalIncrements`.
  void add(std::string const& name, float weight, int totalIncrements);
  /// Adds an entry with the function's label, weight and increments.
  void add(ProgressFunction const& function);
  /// The number of entries.
  std::size_t size() const;
  /// The entry's name; "" for an index that names nothing.
  std::string getName(std::size_t index) const;
  /// Renames the entry; nothing for an index that names nothing.
  void setName(std::size_t index, std::string const& name);
  /// The entry's weight; 0 for an index that names nothing.
  float getWeight(std::size_t index) const;
  /// The weight of the entry `name`; throws internal::error when missing.
  float getWeight(std::string const& name) const;
  /// Sets the entry's weight; nothing for an index that names nothing.
  void setWeight(std::size_t index, float weight);
  /// Sets the weight of the entry `name`; throws internal::error when missing.
  void setWeight(std::string const& name, float weight);
  /// The entry's increments; 0 for an index that names nothing.
  int getTotalIncrements(std::size_t index) const;
  /// The increments of the entry `name`; throws internal::error when missing.
  int getTotalIncrements(std::string const& name) const;
  void setTotalIncrements(std::size_t index, int total) override;
  void setTotalIncrements(std::string const& name, int total) override;
  void setNumIncrements(int total) override;

  void start(std::size_t index, int increments) override;
  /// Starts the entry at `index` unless the index names nothing.
  void startSafe(std::size_t index, int increments);
  void start(std::string const& name, int increments) override;
  void nextStep(int increments) override;
  /// Counts one increment of the started entry and reports when a report is
  /// due. Inline, as counting is on the hot path of every caller: a count that
  /// is not due for a report costs two integer comparisons and no call. With
  /// no entry started the limit is INT_MIN, so nothing is counted. The library
  /// still exports it, for the virtual table and for callers built before.
  ZEL_ERROR_INLINE_API void increment() override {
    ProgressTrackerState& state = *m_state;
    if (state.m_incrementCount >= state.m_countLimit) return;
    ++state.m_incrementCount;
    if (state.m_incrementCount < state.m_nextNotification) return;
    updateProgress();
  }
  void operator++() override;
  void operator++(int) override;
  void operator+=(int count) override;
  /// Completes the started entry and closes its sub-operation.
  void stop();
  /// Sets the started entry's fraction; reports it when forced or when a report
  /// is due. Throws internal::error for a reported value below 0.
  void setProgress(float fraction, bool force);
  /// The started entry's fraction.
  float getProgress() const;
  /// Reports every total ÷ frequency increments; ignored for frequency ≤ 0.
  void setNotifyFrequency(int frequency);
  /// How many reports a whole entry makes at most.
  int getNotifyFrequency() const;
  /// Stops the reporting this tracker started (the destructor asks again).
  void release();

 private:
  void init();
  void updateProgress();
  std::size_t findEntry(std::string const& name) const;
  static ProgressReporting& reporting();

  ProgressTrackerState* m_state;
  static ProgressReporting* s_progressReporting;
};

}  // namespace zel
