#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/NullProgressReporterImpl.h>
#include <zel/ParallelProgress.h>
#include <zel/ProgressAbortMode.h>
#include <zel/ProgressReporting.h>
#include <zel/ProgressTracker.h>
#include <zel/SystemMsg.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <thread>

namespace zel {

using parallel_detail::CounterSlot;
using parallel_detail::t_counter;
using parallel_detail::ThreadCounter;

namespace {

// Held by the one thread that is making a report of any ParallelProgress: the
// installed reporter is one for the whole process. Workers take it without
// waiting; only the owning threads wait for it.
std::atomic<bool> s_reporting{false};

bool tryLockReports() { return !s_reporting.exchange(true, std::memory_order_acquire); }

void lockReports() {
  while (!tryLockReports()) std::this_thread::yield();
}

// Releases the report lock however its holder leaves.
struct ReportLock {
  ReportLock() = default;
  ReportLock(const ReportLock&) = delete;
  ReportLock& operator=(const ReportLock&) = delete;
  ~ReportLock() { s_reporting.store(false, std::memory_order_release); }
};

// Every ParallelProgress gets an identity of its own, never reused, so that a
// thread's cached counter never names a destroyed object's successor.
std::atomic<unsigned long long> s_nextId{0};

// A tracker's notify step (frequency 100): reports every total x step
// increments, the product in single precision, cut towards zero.
constexpr float kNotifyStep = 0.01f;
// A thread publishes its count at least every so many increments.
constexpr long long kMaxBatch = 4096;

long long wholePart(float value) {
  if (value >= 9.2e18f) return LLONG_MAX;
  if (value <= 0.0f) return 0;
  return static_cast<long long>(value);
}

std::size_t slotCapacity() {
  const std::size_t cores = std::thread::hardware_concurrency();
  return std::clamp<std::size_t>(4 * cores, 64, 1024);
}

}  // namespace

struct ParallelProgress::State {
  std::string name;
  long long total = 0;
  // Increments between two reports, and between two publications of one
  // thread's count.
  long long interval = 0;
  long long batch = 1;
  // The reporter installed at construction, and its abort side if it has one.
  ProgressReporting* reporter = nullptr;
  ProgressAbortMode* abortMode = nullptr;

  // Changed only by the thread holding the report lock (or the owner before any
  // worker runs):
  bool startedReporting = false;
  bool pushedWeight = false;
  bool closed = false;
  // What the first failing report threw (fail() runs in a handler, so it is
  // never null once set); null while no report has failed.
  std::exception_ptr failure;
  // Every thread's count, summed when finish() closes the step; -1 before.
  std::atomic<long long> finalCount{-1};

  // The threads' own counters, claimed one per thread; threads beyond them
  // count straight into `overflow` and the shared total.
  std::unique_ptr<CounterSlot[]> slots;
  std::size_t capacity = 0;
  alignas(64) std::atomic<std::size_t> claimed{0};
  std::atomic<long long> overflow{0};
  // The counts the threads have published: the shared total.
  alignas(64) std::atomic<long long> published{0};
  // Read by every publishing thread, written by the reporting one.
  alignas(64) std::atomic<long long> nextDue{0};
  CounterSlot* claim(const void* thread) {
    const std::size_t used = std::min(claimed.load(std::memory_order_acquire), capacity);
    for (std::size_t i = 0; i < used; ++i) {
      if (slots[i].owner.load(std::memory_order_relaxed) == thread) return &slots[i];
    }
    const std::size_t index = claimed.fetch_add(1, std::memory_order_acq_rel);
    if (index >= capacity) return nullptr;
    slots[index].owner.store(thread, std::memory_order_relaxed);
    return &slots[index];
  }

  long long countAll() const {
    long long sum = overflow.load(std::memory_order_relaxed);
    const std::size_t used = std::min(claimed.load(std::memory_order_acquire), capacity);
    for (std::size_t i = 0; i < used; ++i) {
      sum += slots[i].base.load(std::memory_order_relaxed) -
             slots[i].remaining.load(std::memory_order_relaxed);
    }
    return sum;
  }

  // How many increments a thread that has just published counts before it
  // publishes again: a batch, or fewer when the next report is nearer.
  long long nextPublication() const {
    const long long distance =
        nextDue.load(std::memory_order_relaxed) - published.load(std::memory_order_relaxed);
    return distance > 0 && distance < batch ? distance : batch;
  }
};

ParallelProgress::ParallelProgress(const std::string& name, long long total)
    : m_id(s_nextId.fetch_add(1, std::memory_order_relaxed) + 1), m_state(new State) {
  State& s = *m_state;
  try {
    s.name = name;
    s.total = total;
    s.interval = wholePart(static_cast<float>(total) * kNotifyStep);
    s.batch = std::clamp<long long>(s.interval / 8, 1, kMaxBatch);
    // Like a tracker whose entry has no increments, a step without a positive
    // total counts nothing and reports only its start and its end.
    s.nextDue.store(total > 0 ? s.interval : LLONG_MAX, std::memory_order_relaxed);
    s.capacity = slotCapacity();
    s.slots.reset(new CounterSlot[s.capacity]);
    s.reporter = ProgressTracker::getReporter();
    if (s.reporter == nullptr) s.reporter = &NullProgressReporterImpl::processWide();
    s.abortMode = dynamic_cast<ProgressAbortMode*>(s.reporter);
  } catch (...) {
    delete m_state;
    throw;
  }
  // The calls of a tracker's start-up and of starting its one entry, once
  // no worker of another ParallelProgress is reporting.
  lockReports();
  ReportLock lock;
  try {
    if (s.reporter->startProgress()) {
      s.startedReporting = true;
      s.reporter->setOperationName(name);
      s.reporter->reportProgress(0.0f);
    }
    s.reporter->pushWeight(1.0f);
    s.pushedWeight = true;
    s.reporter->setOperationName(name);
    s.reporter->reportProgress(0.0f);
    followAbort();
  } catch (...) {
    fail();
  }
}

ParallelProgress::~ParallelProgress() {
  try {
    finish();
  } catch (...) {
    try {
      ErrorReporter::instance()->reportError(ErrorMsg("ParallelProgress", "~ParallelProgress",
                                                      SystemMsg("Caught exception").str(),
                                                      typeUnspecified));
    } catch (...) {
    }
  }
  delete m_state;
}

void ParallelProgress::incrementSlow(long long n) {
  if (n <= 0) return;
  State& s = *m_state;
  ThreadCounter& counter = t_counter;
  if (counter.progress != m_id) {
    CounterSlot* slot = s.claim(&counter);
    if (slot == nullptr) {
      s.overflow.fetch_add(n, std::memory_order_relaxed);
      const long long total = s.published.fetch_add(n, std::memory_order_relaxed) + n;
      if (total >= s.nextDue.load(std::memory_order_relaxed)) reportDue();
      return;
    }
    // The first count after taking the slot up is published at once.
    slot->base.store(slot->base.load(std::memory_order_relaxed) -
                         slot->remaining.load(std::memory_order_relaxed),
                     std::memory_order_relaxed);
    slot->remaining.store(0, std::memory_order_relaxed);
    counter.progress = m_id;
    counter.slot = slot;
  }
  increment(n);
}

namespace {

// Sets a slot's count to `count`, with `step` increments to go before the
// thread publishes again. Only the slot's thread calls it.
void restart(CounterSlot& slot, long long count, long long step) {
  slot.base.store(count + step, std::memory_order_relaxed);
  slot.remaining.store(step, std::memory_order_relaxed);
}

long long countIn(const CounterSlot& slot) {
  return slot.base.load(std::memory_order_relaxed) -
         slot.remaining.load(std::memory_order_relaxed);
}

// Keeps a thread from publishing again while it reports.
constexpr long long kHold = LLONG_MAX / 4;

}  // namespace

void ParallelProgress::publish() {
  State& s = *m_state;
  CounterSlot& slot = *t_counter.slot;
  const long long count = countIn(slot);
  const long long delta = count - slot.published.load(std::memory_order_relaxed);
  slot.published.store(count, std::memory_order_relaxed);
  restart(slot, count, kHold);
  const long long total = s.published.fetch_add(delta, std::memory_order_relaxed) + delta;
  if (total >= s.nextDue.load(std::memory_order_relaxed)) reportDue();
  // A processor on this thread may have counted here meanwhile.
  restart(slot, countIn(slot), s.nextPublication());
}

void ParallelProgress::reportDue() {
  State& s = *m_state;
  if (!tryLockReports()) return;  // another thread reports; the next publication looks again
  ReportLock lock;
  // Threads that found this thread reporting went on counting: a report they
  // made due meanwhile is made before the lock is given back.
  while (!s.closed && !s.failure) {
    const long long count = std::min(s.published.load(std::memory_order_relaxed), s.total);
    if (count < s.nextDue.load(std::memory_order_relaxed)) return;
    s.nextDue.store(count + std::max(s.interval, 1LL), std::memory_order_relaxed);
    try {
      s.reporter->reportProgress(static_cast<float>(count) / static_cast<float>(s.total));
      followAbort();
    } catch (...) {
      fail();
    }
  }
}

void ParallelProgress::fail() {
  State& s = *m_state;
  if (!s.failure) s.failure = std::current_exception();
  m_cancelled.store(true, std::memory_order_relaxed);
}

void ParallelProgress::followAbort() {
  State& s = *m_state;
  if (s.abortMode != nullptr && s.abortMode->isAborted()) {
    m_cancelled.store(true, std::memory_order_relaxed);
  }
}

void ParallelProgress::cancel() { m_cancelled.store(true, std::memory_order_relaxed); }

void ParallelProgress::finish() {
  State& s = *m_state;
  // A worker may still be inside a report: wait for it, the one wait there is.
  lockReports();
  {
    ReportLock lock;
    if (s.closed) return;
    s.closed = true;
    s.finalCount.store(s.countAll(), std::memory_order_release);
    // What a tracker does at its last increments and when it stops: the report
    // then due, the step brought to 1, closed, and the reporting stopped.
    if (!s.failure && s.total > 0) {
      const long long count = std::min(s.finalCount.load(std::memory_order_relaxed), s.total);
      if (count >= s.nextDue.load(std::memory_order_relaxed)) {
        try {
          s.reporter->reportProgress(static_cast<float>(count) / static_cast<float>(s.total));
        } catch (...) {
          fail();
        }
      }
    }
    if (!s.failure) {
      try {
        s.reporter->reportProgress(1.0f);
      } catch (...) {
        fail();
      }
    }
    // Closing never reports, so it is done whatever failed before.
    if (s.pushedWeight) {
      try {
        s.reporter->popWeight();
      } catch (...) {
        fail();
      }
    }
    if (s.startedReporting) {
      try {
        s.reporter->stopProgress();
      } catch (...) {
        fail();
      }
    }
  }
  if (s.failure) std::rethrow_exception(s.failure);
}

long long ParallelProgress::count() const {
  const State& s = *m_state;
  const long long final = s.finalCount.load(std::memory_order_acquire);
  return final >= 0 ? final : s.published.load(std::memory_order_relaxed);
}

long long ParallelProgress::total() const { return m_state->total; }

}  // namespace zel
