// Turns the result of an MPI call into a zel exception.
#pragma once

#include <mpi.h>
#include <zel/InternalError.h>
#include <zel/SystemMsg.h>

#include <string>

namespace zel::mpi::detail {

// Throws internal::error "MPI call %1 failed: %2" when result is not
// MPI_SUCCESS. The message names the call and MPI's own text of the error.
inline void check(int result, const char* className, const char* method, const char* call) {
  if (result == MPI_SUCCESS) return;
  char text[MPI_MAX_ERROR_STRING] = {};
  int length = 0;
  if (MPI_Error_string(result, text, &length) != MPI_SUCCESS) length = 0;
  throw internal::error(className, method,
                        SystemMsg("MPI call %1 failed: %2")
                            .arg(call)
                            .arg(std::string(text, static_cast<std::size_t>(length)))
                            .str(),
                        typeError);
}

// Throws internal::badParam when root is not a rank of a communicator of
// `size` ranks.
inline void checkRoot(int root, int size, const char* className, const char* method) {
  if (root >= 0 && root < size) return;
  throw internal::badParam(
      className, method,
      SystemMsg("Root %1 is not a rank of the communicator of %2 ranks.").arg(root).arg(size).str(),
      typeError);
}

}  // namespace zel::mpi::detail
