// Symbol visibility for libZELError. The library is built with hidden
// visibility; ZEL_ERROR_API marks the classes and functions that form its
// binary interface.
#pragma once

#if defined(ZEL_ERROR_BUILDING)
#define ZEL_ERROR_API __attribute__((visibility("default")))
#else
#define ZEL_ERROR_API
#endif
