// Symbol visibility for libZELUtilities: everything is hidden unless marked.
#pragma once

#if defined(ZEL_UTILITIES_BUILDING)
#define ZEL_UTILITIES_API __attribute__((visibility("default")))
#else
#define ZEL_UTILITIES_API
#endif
