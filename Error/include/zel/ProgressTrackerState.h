// The private state record of a ProgressTracker. Applications never use it:
// it is in a header only so that ProgressTracker::increment(), which every
// counting loop calls, can be compiled inline into the caller. The fields
// increment() reads (m_incrementCount, m_nextNotification, m_countLimit) are
// part of the binary interface from then on and keep their places; new
// fields go at the end, as only the library creates the record.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <vector>

#include <zel/ProgressSubOp.h>

namespace zel {

/// \cond INTERNAL
// The whole state of one tracker, owned by it alone (left out of the API
// reference: applications never use it).
struct ProgressTrackerState {
  // Index of the started entry; -1 when none is started.
  int m_currentEntry = -1;
  // The last fraction set or computed for the started entry.
  float m_progress = 0.0f;
  // Increments counted in the started entry.
  int m_incrementCount = -1;
  // Count at which the next report is due.
  int m_nextNotification = 0;
  // Share of an entry's increments between two reports (1 ÷ frequency).
  float m_notifyStep = 0.01f;
  // Operation name given to the reporter when this tracker starts reporting.
  std::string m_name;
  // This tracker started the reporting, so it stops it again.
  bool m_startedReporting = false;
  // Starting an entry names the operation after the entry.
  bool m_announceEntries = false;
  std::vector<ProgressSubOp> m_entries;

  // Kept beside the fields above and derived from them:
  // the frequency m_notifyStep was derived from, handed back as set;
  int m_notifyFrequency = 100;
  // the count at which counting stops: the started entry's total, or INT_MIN
  // while no entry is started, so that increment() decides with one
  // comparison. Kept by setCurrentEntry() and refreshCountLimit().
  int m_countLimit = INT_MIN;
  // The reporter refused the started entry's pushWeight (it threw), so there
  // is no weight of this entry to pop. Cleared whenever the cursor moves.
  bool m_pushRefused = false;

  // The entry an index names, or null: an index names an entry when, taken
  // as an int, it lies within the list.
  const ProgressSubOp* entry(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) {
      return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(index)];
  }
  ProgressSubOp* entry(int index) {
    return const_cast<ProgressSubOp*>(
        static_cast<const ProgressTrackerState*>(this)->entry(index));
  }
  const ProgressSubOp* entry(std::size_t index) const {
    return entry(static_cast<int>(index));
  }
  ProgressSubOp* entry(std::size_t index) {
    return entry(static_cast<int>(index));
  }

  // Weight and total of the started entry, 0 when it names none.
  float currentWeight() const {
    const ProgressSubOp* started = entry(m_currentEntry);
    return started != nullptr ? started->weight : 0.0f;
  }
  int currentTotal() const {
    const ProgressSubOp* started = entry(m_currentEntry);
    return started != nullptr ? started->totalIncrements : 0;
  }

  void setCurrentEntry(int index) {
    m_currentEntry = index;
    m_pushRefused = false;
    refreshCountLimit();
  }
  // Called after every change of the entries.
  void refreshCountLimit() {
    m_countLimit = m_currentEntry == -1 ? INT_MIN : currentTotal();
  }
};
/// \endcond

}  // namespace zel
