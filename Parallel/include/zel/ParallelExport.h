// Symbol visibility for libZELParallel. The library is built with hidden
// visibility; ZEL_PARALLEL_API marks what forms its binary interface.
#pragma once

#if defined(ZEL_PARALLEL_BUILDING)
#define ZEL_PARALLEL_API __attribute__((visibility("default")))
#else
#define ZEL_PARALLEL_API
#endif
