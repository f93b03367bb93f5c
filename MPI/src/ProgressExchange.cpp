#include <zel/ProgressAbortMode.h>
#include <zel/mpi/ProgressExchange.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "MpiCheck.h"

namespace zel::mpi {
namespace {

constexpr const char* kClassName = "ProgressExchange";

// Every message of the exchange: a rank's progress for the root, or an
// interrupt of the job for every rank. One tag on the private communicator,
// so that one receive, posted at all times, takes in both kinds.
struct Message {
  std::int32_t kind;
  float value;
};
enum : std::int32_t { kProgress = 0, kInterrupt = 1 };
constexpr int kTag = 7;

// A progress value as the job counts it: within 0 ... 1, and a value that is
// not a number as no progress.
float bounded(float progress) {
  if (!(progress > 0.0f)) return 0.0f;
  return std::min(progress, 1.0f);
}

// The send buffers of exchanges destroyed with sends under way.
std::vector<std::unique_ptr<std::deque<Message>>>& abandonedBuffers() {
  static std::vector<std::unique_ptr<std::deque<Message>>> buffers;
  return buffers;
}

}  // namespace

struct ProgressExchange::State {
  ProgressProvider* local = nullptr;
  MPI_Comm comm = MPI_COMM_NULL;
  int root = 0;
  int rank = 0;
  int size = 1;
  bool closed = false;
  bool interrupted = false;

  // The receive that is always posted, and the messages taken in per source.
  Message incoming{};
  MPI_Request receive = MPI_REQUEST_NULL;
  std::vector<long long> received;

  // Sends under way. A deque keeps each buffer in place while MPI reads it;
  // a slot whose request is null is free.
  std::vector<MPI_Request> sends;
  std::deque<Message> sendBuffers;
  std::vector<long long> sent;  // messages sent per destination

  // This rank's progress at its last report, and the last value published.
  float lastSeen = 0.0f;
  float lastSent = -1.0f;
  bool seen = false;
  std::chrono::steady_clock::time_point lastPublish{};
  std::chrono::microseconds interval{10000};
  // When arrived messages were last taken in at a report, and how often.
  std::chrono::steady_clock::time_point lastDrain{};
  std::chrono::microseconds pollInterval{200};

  // On the root: each rank's latest progress, and the job's progress so far.
  std::vector<float> latest;
  float job = 0.0f;

  void postReceive() {
    detail::check(
        MPI_Irecv(&incoming, sizeof(Message), MPI_BYTE, MPI_ANY_SOURCE, kTag, comm, &receive),
        kClassName, "postReceive", "MPI_Irecv");
  }

  void handle(const MPI_Status& status) {
    const int source = status.MPI_SOURCE;
    if (source >= 0 && source < size) ++received[static_cast<std::size_t>(source)];
    if (incoming.kind == kInterrupt) {
      interrupted = true;
    } else if (incoming.kind == kProgress && rank == root && source >= 0 && source < size) {
      latest[static_cast<std::size_t>(source)] = bounded(incoming.value);
    }
  }

  // Takes in every message that has arrived, without blocking.
  void drain() {
    while (receive != MPI_REQUEST_NULL) {
      int done = 0;
      MPI_Status status;
      detail::check(MPI_Test(&receive, &done, &status), kClassName, "drain", "MPI_Test");
      if (!done) return;
      handle(status);
      postReceive();
    }
  }

  void send(int destination, std::int32_t kind, float value) {
    // Reuse the slot of a finished send; small messages finish at once.
    std::size_t slot = sends.size();
    for (std::size_t i = 0; i < sends.size(); ++i) {
      if (sends[i] != MPI_REQUEST_NULL) {
        int done = 0;
        detail::check(MPI_Test(&sends[i], &done, MPI_STATUS_IGNORE), kClassName, "send",
                      "MPI_Test");
      }
      if (sends[i] == MPI_REQUEST_NULL) {
        slot = i;
        break;
      }
    }
    if (slot == sends.size()) {
      sends.push_back(MPI_REQUEST_NULL);
      sendBuffers.push_back(Message{});
    }
    sendBuffers[slot] = Message{kind, value};
    detail::check(MPI_Isend(&sendBuffers[slot], sizeof(Message), MPI_BYTE, destination, kTag, comm,
                            &sends[slot]),
                  kClassName, "send", "MPI_Isend");
    ++sent[static_cast<std::size_t>(destination)];
  }

  void publish(float progress,
               std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now()) {
    send(root, kProgress, progress);
    lastSent = progress;
    lastPublish = now;
  }

  void interruptJob() {
    interrupted = true;
    for (int other = 0; other < size; ++other) {
      if (other != rank) send(other, kInterrupt, 0.0f);
    }
  }

  bool abortedHere() const {
    const auto* mode = dynamic_cast<const ProgressAbortMode*>(local);
    return mode != nullptr && mode->isAborted();
  }

  // Frees what needs no other rank: the posted receive is cancelled, finished
  // sends are released, unfinished ones are left to MPI with their buffers.
  void abandon() noexcept {
    int finalized = 0;
    if (MPI_Finalized(&finalized) != MPI_SUCCESS || finalized) return;
    if (receive != MPI_REQUEST_NULL) {
      MPI_Cancel(&receive);
      MPI_Wait(&receive, MPI_STATUS_IGNORE);
    }
    bool pending = false;
    for (MPI_Request& request : sends) {
      if (request == MPI_REQUEST_NULL) continue;
      int done = 0;
      MPI_Test(&request, &done, MPI_STATUS_IGNORE);
      if (!done) {
        MPI_Request_free(&request);
        pending = true;
      }
    }
    // MPI may still read the buffers of the sends it finishes on its own:
    // they are kept until the process ends. Freeing the communicator would
    // be a collective call; MPI_Finalize reclaims it.
    if (pending)
      abandonedBuffers().push_back(std::make_unique<std::deque<Message>>(std::move(sendBuffers)));
  }
};

ProgressExchange::ProgressExchange(MPI_Comm comm, ProgressProvider& local, int root)
    : m_state(std::make_unique<State>()) {
  State& s = *m_state;
  s.local = &local;
  s.root = root;
  detail::check(MPI_Comm_size(comm, &s.size), kClassName, kClassName, "MPI_Comm_size");
  detail::check(MPI_Comm_rank(comm, &s.rank), kClassName, kClassName, "MPI_Comm_rank");
  detail::checkRoot(root, s.size, kClassName, kClassName);
  detail::check(MPI_Comm_dup(comm, &s.comm), kClassName, kClassName, "MPI_Comm_dup");
  // Failures of the exchange's own calls come back as results and are thrown.
  MPI_Comm_set_errhandler(s.comm, MPI_ERRORS_RETURN);
  try {
    s.received.assign(static_cast<std::size_t>(s.size), 0);
    s.sent.assign(static_cast<std::size_t>(s.size), 0);
    if (s.rank == s.root) s.latest.assign(static_cast<std::size_t>(s.size), 0.0f);
    s.postReceive();
    local.registerMidOpProcessor(this);
  } catch (...) {
    // No destructor runs for an exchange whose constructor throws: the
    // receive posted into the state about to be freed is cancelled here, so
    // that a message arriving later is not written into freed memory.
    s.abandon();
    throw;
  }
}

ProgressExchange::~ProgressExchange() {
  State& s = *m_state;
  s.local->unregisterMidOpProcessor(this);
  if (!s.closed) s.abandon();
}

int ProgressExchange::process() {
  State& s = *m_state;
  if (s.closed) return 0;
  // One look at the clock per report. Asking MPI for arrived messages costs
  // little on a rank of its own core, but where ranks share cores MPI yields
  // the processor at each such call: the messages are taken in at most once
  // per poll interval.
  const auto now = std::chrono::steady_clock::now();
  if (now - s.lastDrain >= s.pollInterval) {
    s.drain();
    s.lastDrain = now;
  }
  const float progress = bounded(s.local->getProgress());
  s.lastSeen = progress;
  s.seen = true;
  if (s.rank == s.root) {
    s.latest[static_cast<std::size_t>(s.rank)] = progress;
  } else if (progress != s.lastSent) {
    // The first value and the end of a rank's work always go out; other
    // values at most once per interval.
    if (progress >= 1.0f || s.lastSent < 0.0f || now - s.lastPublish >= s.interval) {
      s.publish(progress, now);
    }
  }
  return s.interrupted ? 1 : 0;
}

float ProgressExchange::jobProgress() {
  State& s = *m_state;
  if (s.rank != s.root) return 0.0f;
  if (!s.closed) s.drain();
  const float smallest = *std::min_element(s.latest.begin(), s.latest.end());
  s.job = std::max(s.job, smallest);
  return s.job;
}

float ProgressExchange::rankProgress(int rank) {
  State& s = *m_state;
  if (rank == s.rank) return s.lastSeen;
  if (s.rank != s.root || rank < 0 || rank >= s.size) return 0.0f;
  if (!s.closed) s.drain();
  return s.latest[static_cast<std::size_t>(rank)];
}

void ProgressExchange::publish() {
  State& s = *m_state;
  if (s.closed || !s.seen || s.rank == s.root || s.lastSeen == s.lastSent) return;
  s.publish(s.lastSeen);
}

void ProgressExchange::markFinished() {
  State& s = *m_state;
  if (s.closed) return;
  s.lastSeen = 1.0f;
  s.seen = true;
  if (s.rank == s.root) {
    s.latest[static_cast<std::size_t>(s.rank)] = 1.0f;
  } else if (s.lastSent != 1.0f) {
    s.publish(1.0f);
  }
}

void ProgressExchange::requestInterrupt() {
  State& s = *m_state;
  if (s.closed) return;
  s.drain();
  // A rank that already knows of an interrupt sends nothing: the rank that
  // requested it first has told every rank.
  if (!s.interrupted) s.interruptJob();
}

bool ProgressExchange::interruptRequested() {
  State& s = *m_state;
  if (!s.closed) s.drain();
  return s.interrupted;
}

bool ProgressExchange::agreeOnInterrupt(bool interruptedHere) {
  State& s = *m_state;
  if (s.closed) {
    throw internal::error(kClassName, "agreeOnInterrupt",
                          SystemMsg("The progress exchange is closed.").str(), typeError);
  }
  s.drain();
  int flag = (s.interrupted || interruptedHere || s.abortedHere()) ? 1 : 0;
  detail::check(MPI_Allreduce(MPI_IN_PLACE, &flag, 1, MPI_INT, MPI_LOR, s.comm), kClassName,
                "agreeOnInterrupt", "MPI_Allreduce");
  if (flag) s.interrupted = true;
  return flag != 0;
}

void ProgressExchange::close() {
  State& s = *m_state;
  if (s.closed) return;
  s.drain();
  if (s.rank != s.root && s.seen && s.lastSeen != s.lastSent) s.publish(s.lastSeen);

  // Each rank learns how many messages every other rank sent it, and takes in
  // those still under way; then nothing can match the posted receive.
  std::vector<long long> expected(static_cast<std::size_t>(s.size), 0);
  detail::check(
      MPI_Alltoall(s.sent.data(), 1, MPI_LONG_LONG, expected.data(), 1, MPI_LONG_LONG, s.comm),
      kClassName, "close", "MPI_Alltoall");
  for (int source = 0; source < s.size; ++source) {
    const auto at = static_cast<std::size_t>(source);
    while (s.received[at] < expected[at]) {
      MPI_Status status;
      detail::check(MPI_Wait(&s.receive, &status), kClassName, "close", "MPI_Wait");
      s.handle(status);
      s.postReceive();
    }
  }
  detail::check(MPI_Cancel(&s.receive), kClassName, "close", "MPI_Cancel");
  detail::check(MPI_Wait(&s.receive, MPI_STATUS_IGNORE), kClassName, "close", "MPI_Wait");
  detail::check(MPI_Waitall(static_cast<int>(s.sends.size()), s.sends.data(), MPI_STATUSES_IGNORE),
                kClassName, "close", "MPI_Waitall");
  if (s.rank == s.root) jobProgress();
  detail::check(MPI_Comm_free(&s.comm), kClassName, "close", "MPI_Comm_free");
  s.closed = true;
  s.local->unregisterMidOpProcessor(this);
}

bool ProgressExchange::isClosed() const { return m_state->closed; }

void ProgressExchange::setPublishInterval(std::chrono::microseconds interval) {
  m_state->interval = interval;
}

void ProgressExchange::setPollInterval(std::chrono::microseconds interval) {
  m_state->pollInterval = interval;
}

int ProgressExchange::rank() const { return m_state->rank; }
int ProgressExchange::size() const { return m_state->size; }
int ProgressExchange::root() const { return m_state->root; }
bool ProgressExchange::isRoot() const { return m_state->rank == m_state->root; }

}  // namespace zel::mpi
