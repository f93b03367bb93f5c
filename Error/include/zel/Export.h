// Symbol visibility for libZELError. The library is built with hidden
// visibility; ZEL_ERROR_API marks the classes and functions that form its
// binary interface.
#pragma once

#if defined(ZEL_ERROR_BUILDING)
#define ZEL_ERROR_API __attribute__((visibility("default")))
#else
#define ZEL_ERROR_API
#endif

// An inline member function that the library still exports, although inline
// functions are hidden by default: for those that moved into a header after a
// release exported them.
#define ZEL_ERROR_INLINE_API __attribute__((visibility("default")))
