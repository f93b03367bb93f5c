// Symbol visibility for libZELException: everything is hidden unless marked.
#pragma once

#if defined(ZEL_EXCEPTION_BUILDING)
#define ZEL_EXCEPTION_API __attribute__((visibility("default")))
#else
#define ZEL_EXCEPTION_API
#endif
