// Symbol visibility for libZELMPI. The library is built with hidden
// visibility; ZEL_MPI_API marks the classes and functions of its interface.
#pragma once

#if defined(ZEL_MPI_BUILDING)
#define ZEL_MPI_API __attribute__((visibility("default")))
#else
#define ZEL_MPI_API
#endif
