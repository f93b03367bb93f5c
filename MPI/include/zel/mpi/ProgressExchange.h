// The progress of a whole MPI job, and a cancel that reaches every rank.
#pragma once

#include <mpi.h>
#include <zel/MidOpProcessor.h>
#include <zel/ProgressProvider.h>
#include <zel/mpi/MPIExport.h>

#include <chrono>
#include <memory>

/// The MPI companion: progress, interrupts and stored reports of the ranks of
/// an MPI job brought together.
namespace zel::mpi {

/// Brings the progress of every rank of an MPI job to one rank, and an
/// interrupt requested on any rank to every rank.
///
/// Each rank makes one ProgressExchange over the same communicator (a
/// collective call) and hands it the progress reporter of that rank; the
/// exchange registers itself there as a mid-operation processor. At each
/// progress report of its rank it publishes the rank's overall progress to the
/// root rank without blocking and without any collective call, at most about
/// once per publish interval (the first value and a value of 1 go out at once).
/// The root reads the job's progress with jobProgress(): the smallest latest
/// value over the ranks, never decreasing.
///
/// requestInterrupt(), on any rank, makes process() return 1 on every rank at
/// its next report once the request has arrived (see setPollInterval()), so
/// each rank's reporter raises its interrupt (Interrupt, or isAborted() in the
/// soft abort mode). Ranks then leave their loop together:
///
/// ```cpp
/// try { work(); } catch (const zel::Interrupt&) { exchange.requestInterrupt(); }
/// if (exchange.agreeOnInterrupt()) { /* every rank stops here */ }
/// ```
///
/// close() is collective: it takes in every message still under way and frees
/// the exchange's communicator, so that MPI_Finalize follows cleanly. The
/// exchange works on its own duplicate of the communicator, so its messages
/// never match the application's.
///
/// An interrupt of the job stays in force until close(): a job that goes on
/// after one makes a new exchange. The exchange must be destroyed before the
/// reporter it is registered with.
///
/// An exchange is used from the thread that reports progress on its rank, like
/// the reporter it serves. All ranks call the collective operations
/// (constructor, agreeOnInterrupt(), close()) in the same order.
class ZEL_MPI_API ProgressExchange : public MidOpProcessor {
 public:
  /// Collective over `comm`. Registers the exchange as a processor of `local`.
  /// Throws internal::badParam when `root` is not a rank of `comm`, and
  /// internal::error when an MPI call fails.
  ProgressExchange(MPI_Comm comm, ProgressProvider& local, int root = 0);
  /// Unregisters from the reporter. An exchange that was not closed frees what
  /// it can without any collective call (messages under way are left to MPI).
  ~ProgressExchange();

  ProgressExchange(const ProgressExchange&) = delete;             ///< Not copyable.
  ProgressExchange& operator=(const ProgressExchange&) = delete;  ///< Not copyable.

  /// Called by the rank's reporter at each report: publishes the progress when
  /// due, takes in the messages that arrived (at most once per poll interval),
  /// and returns 1 once an interrupt of the job is known here (0 otherwise,
  /// and always 0 after close()).
  int process() override;

  /// On the root: the smallest latest progress over all ranks (0 for a rank not
  /// heard from), never smaller than a value returned before. Takes in pending
  /// updates without blocking; on another rank it returns 0.
  float jobProgress();
  /// On the root: the latest progress of one rank (0 when not heard from or out
  /// of range); on any rank, its own latest progress. Takes in pending updates
  /// like jobProgress().
  float rankProgress(int rank);
  /// Sends this rank's progress of its last report now, whatever the interval:
  /// for a rank whose last report fell within the interval and that reports no
  /// more.
  void publish();
  /// This rank's work is done: publishes 1 for it at once, whatever its last
  /// report said (a rank's last report need not reach 1). For a root that polls
  /// jobProgress() until the job is done.
  void markFinished();

  /// Interrupts the job: this rank's next report, and every other rank's next
  /// report after the request has reached it, return 1. Not collective; does
  /// nothing when this rank knows of an interrupt already.
  void requestInterrupt();
  /// Whether this rank knows of an interrupt of the job (its own request, or
  /// one that reached it). Takes in pending messages without blocking.
  bool interruptRequested();
  /// Collective: true on every rank when any rank requested an interrupt,
  /// passed `interruptedHere` as true, or has a reporter in the soft abort mode
  /// that recorded an abort. When true, every later report of every rank
  /// returns 1. Throws internal::error on a closed exchange.
  bool agreeOnInterrupt(bool interruptedHere = false);

  /// Collective: publishes each rank's last progress, takes in every message
  /// still under way (so that jobProgress() and rankProgress() stay exact
  /// afterwards), completes every request and frees the communicator, then
  /// unregisters from the reporter. Further calls do nothing.
  void close();
  /// Whether close() has run.
  bool isClosed() const;

  /// The shortest time between two publications of a rank (default 10 ms).
  void setPublishInterval(std::chrono::microseconds interval);
  /// The shortest time between two looks for arrived messages at reports
  /// (default 0.2 ms): an interrupt takes effect at the first report after that
  /// time. Where ranks share cores, each look lets MPI yield the processor; 0
  /// looks at every report. jobProgress(), rankProgress() and
  /// interruptRequested() always look.
  void setPollInterval(std::chrono::microseconds interval);

  int rank() const;     ///< This rank's number in the communicator.
  int size() const;     ///< The number of ranks.
  int root() const;     ///< The root's number.
  bool isRoot() const;  ///< Whether this rank is the root.

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace zel::mpi
