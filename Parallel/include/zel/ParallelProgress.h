#pragma once

#include <atomic>
#include <string>

#include <zel/ParallelExport.h>

namespace zel {

namespace parallel_detail {

/// Where one thread keeps its count of one ParallelProgress, on a cache line
/// of its own: written by that thread only, read by the thread that reports
/// and by the owning thread in finish().
struct alignas(64) CounterSlot {
  /// The thread's count is base - remaining: counting lowers `remaining`,
  /// and the thread publishes when it reaches 0.
  std::atomic<long long> remaining{0};
  std::atomic<long long> base{0};  ///< See `remaining`.
  /// The part of the count already added to the shared total.
  std::atomic<long long> published{0};
  /// The thread that counts here, by the address of its ThreadCounter.
  std::atomic<const void*> owner{nullptr};
};

/// The calling thread's current counter: the ParallelProgress it counted for
/// last (by identity) and its slot there.
struct ThreadCounter {
  unsigned long long progress;  ///< The ParallelProgress's identity; 0 for none.
  CounterSlot* slot;            ///< This thread's slot in it.
};

/// One per thread in the whole process: defined in every module that counts
/// (so that the module reaches it without an indirection) and merged into one
/// by the dynamic linker, which its default visibility allows.
__attribute__((visibility("default"))) inline thread_local ThreadCounter t_counter{0, nullptr};

}  // namespace parallel_detail

/// Counts one task's progress on many threads and reports it through the
/// installed progress reporter, one thread at a time:
///
///   zel::ParallelProgress progress("Assemble", nElements);  // owning thread
///   \#pragma omp parallel for
///   for (long long e = 0; e < nElements; ++e) {
///     if (progress.cancelled()) continue;                    // any thread
///     assemble(e);
///     progress.increment();                                  // any thread
///   }
///   progress.finish();  // owning thread, after the loop: throws what a report threw
///
/// It reports as a ProgressTracker named `name` with announced entries and one
/// entry (`name`, weight 1, `total` increments) would: inside a running
/// operation it is one weighted step of it, otherwise it starts reporting and
/// stops it in finish(). Reports are throttled to about 100 per run and their
/// values never decrease.
///
/// Threads: the constructor, finish() and the destructor belong to the owning
/// thread; increment(), cancel() and cancelled() are safe on any thread. No
/// thread waits for another: whichever thread makes a report due and finds no
/// report in progress makes it, so the reporter's mid-operation processors run
/// on a WORKER thread, never two at once, also when several ParallelProgress
/// objects count at the same time: one lock for the whole process guards their
/// reports, and only the constructor and finish() wait for it (so neither may
/// run inside a processor). The reporter is not otherwise synchronised: while
/// workers count, no other code may call it.
///
/// Cancel: when a report throws (a processor's Interrupt or anything else),
/// the exception is kept, cancelled() turns true on every thread at once, no
/// further report is made, and finish() rethrows it after closing what the
/// constructor opened. With the reporter in soft abort mode nothing is thrown;
/// cancelled() then turns true once the reporter's isAborted() does (it is read
/// after each report).
///
/// Counting costs a few nanoseconds and writes no cache line shared with other
/// threads: each thread counts in a slot of its own and adds its count to the
/// shared total about eight times per report interval (at most every 4096
/// increments), or sooner when a report is near. The constructor takes the
/// reporter installed at that moment; it must stay installed until finish()
/// or the destructor.
class ZEL_PARALLEL_API ParallelProgress {
 public:
  /// Starts the step (and the reporting, if none runs) on the owning thread.
  /// What the first reports throw is kept for finish(), as during counting.
  ParallelProgress(const std::string& name, long long total);
  /// Never throws: closes what finish() would have closed, and reports an
  /// exception it catches (or one kept and never rethrown) to the error
  /// reporter front as "Caught exception".
  ~ParallelProgress();
  ParallelProgress(const ParallelProgress&) = delete;  ///< Not copyable.
  ParallelProgress& operator=(const ParallelProgress&) = delete;  ///< Not copyable.

  /// Counts n increments (n <= 0 counts nothing); increments beyond the total
  /// are not reported. Any thread.
  void increment(long long n = 1) {
    const parallel_detail::ThreadCounter& counter = parallel_detail::t_counter;
    if (counter.progress != m_id || n <= 0) {
      incrementSlow(n);
      return;
    }
    std::atomic<long long>& remaining = counter.slot->remaining;
    const long long left = remaining.load(std::memory_order_relaxed) - n;
    remaining.store(left, std::memory_order_relaxed);
    if (left <= 0) publish();
  }

  /// Whether the workers should stop: a report threw, cancel() was called, or
  /// in soft abort mode the reporter's isAborted(). Any thread.
  bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

  /// Asks every worker to stop, as a processor's interrupt would, but with
  /// nothing for finish() to throw. Any thread.
  void cancel();

  /// Owning thread, after every worker has stopped counting: makes the report
  /// the last increments made due, completes the step (a report of 1 unless a
  /// report threw), closes it and stops the reporting this object started.
  /// Then rethrows what a report threw. Later calls do nothing.
  void finish();

  /// Increments counted by every thread: after finish(), all of them; before,
  /// those the threads have published so far (at most a few thousand fewer
  /// per thread).
  long long count() const;
  /// The total given to the constructor.
  long long total() const;

 private:
  struct State;

  void incrementSlow(long long n);
  void publish();
  void reportDue();
  void fail();
  void followAbort();

  const unsigned long long m_id;
  std::atomic<bool> m_cancelled{false};
  State* const m_state;
};

}  // namespace zel
