#include <zel/OutputMessage.h>
#include <zel/mpi/MessageGathering.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "MpiCheck.h"

namespace zel::mpi {
namespace {

constexpr const char* kFunction = "gatherMessageQueue";

// One message on the wire: severity, tag and text length as fixed-size
// numbers, then the text's bytes. The ranks of one job share one machine
// architecture, so the numbers travel in the host's byte order.
struct Header {
  std::uint32_t severity;
  std::uint32_t tag;
  std::uint64_t length;
};

void append(std::string& bytes, const OutputMessage& message) {
  const Header header{static_cast<std::uint32_t>(message.getSeverity()),
                      static_cast<std::uint32_t>(message.getErrorTag()), message.getText().size()};
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(message.getText());
}

// Pushes the messages of one rank's bytes into the queue, in their order.
void pushAll(const char* bytes, std::size_t size, OutputMessageQueue& queue) {
  std::size_t at = 0;
  while (at + sizeof(Header) <= size) {
    Header header;
    std::memcpy(&header, bytes + at, sizeof header);
    at += sizeof header;
    if (header.length > size - at) break;  // cut short: cannot come from append()
    queue.pushUnique(OutputMessage(static_cast<errorType>(header.severity),
                                   std::string(bytes + at, header.length),
                                   static_cast<ErrorTag::ErrorTagType>(header.tag)));
    at += header.length;
  }
}

}  // namespace

void gatherMessageQueue(ErrorReportProvider& reporter, errorType mask, OutputMessageQueue& queue,
                        MPI_Comm comm, int root) {
  int size = 0;
  int rank = 0;
  detail::check(MPI_Comm_size(comm, &size), kFunction, kFunction, "MPI_Comm_size");
  detail::check(MPI_Comm_rank(comm, &rank), kFunction, kFunction, "MPI_Comm_rank");
  detail::checkRoot(root, size, kFunction, kFunction);

  // What the reporter hands out before a failure is sent all the same; the
  // failure is rethrown once the other ranks have what they wait for.
  OutputMessageQueue mine;
  std::exception_ptr failure;
  std::string bytes;
  try {
    reporter.takeMessageQueue(mask, mine);
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    for (; !mine.empty(); mine.pop()) append(bytes, mine.front());
  } catch (...) {
    if (!failure) failure = std::current_exception();
    bytes.clear();
  }
  if (bytes.size() > static_cast<std::size_t>(INT_MAX / size)) {
    // The whole must fit one gather: a rank's share is capped, and a rank
    // over the cap sends nothing and reports the loss afterwards.
    bytes.clear();
    if (!failure) {
      failure = std::make_exception_ptr(internal::error(
          kFunction, kFunction,
          SystemMsg("The reports of rank %1 are too large to gather.").arg(rank).str(), typeError));
    }
  }

  const bool isRoot = rank == root;
  int length = static_cast<int>(bytes.size());
  std::vector<int> lengths(isRoot ? static_cast<std::size_t>(size) : 0);
  detail::check(MPI_Gather(&length, 1, MPI_INT, lengths.data(), 1, MPI_INT, root, comm), kFunction,
                kFunction, "MPI_Gather");
  std::vector<int> offsets(lengths.size(), 0);
  std::size_t total = 0;
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    offsets[i] = static_cast<int>(total);
    total += static_cast<std::size_t>(lengths[i]);
  }
  std::vector<char> all(isRoot ? total + 1 : 0);
  detail::check(MPI_Gatherv(bytes.data(), length, MPI_CHAR, all.data(), lengths.data(),
                            offsets.data(), MPI_CHAR, root, comm),
                kFunction, kFunction, "MPI_Gatherv");
  if (failure) std::rethrow_exception(failure);
  if (!isRoot) return;
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    pushAll(all.data() + offsets[i], static_cast<std::size_t>(lengths[i]), queue);
  }
}

}  // namespace zel::mpi
