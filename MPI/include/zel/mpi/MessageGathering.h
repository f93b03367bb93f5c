// Brings the stored reports of every rank of an MPI job to one queue.
#pragma once

#include <mpi.h>
#include <zel/ErrorReportProvider.h>
#include <zel/ErrorType.h>
#include <zel/OutputMessageQueue.h>
#include <zel/mpi/MPIExport.h>

namespace zel::mpi {

/// Collective over `comm`: brings the stored reports of every rank to the
/// root's queue.
///
/// Every rank takes its stored reports selected by `mask` from `reporter`
/// (they leave its storage, as with takeMessageQueue); the root's `queue`
/// receives them all, rank by rank in rank order, each with its severity,
/// display text and tag, through the queue's own rule: a text that several
/// ranks reported (same severity and text) appears once, and one the queue
/// accepted before does not appear again. The queues of the other ranks are
/// left untouched.
///
/// A rank whose reporter throws while handing out its reports still takes
/// part, with the reports it handed out before the failure, and rethrows
/// afterwards, so the other ranks never wait for it. Throws internal::badParam
/// when `root` is not a rank of `comm` (on every rank alike, before any
/// communication) and internal::error when an MPI call fails.
ZEL_MPI_API void gatherMessageQueue(ErrorReportProvider& reporter, errorType mask,
                                    OutputMessageQueue& queue, MPI_Comm comm, int root = 0);

}  // namespace zel::mpi
