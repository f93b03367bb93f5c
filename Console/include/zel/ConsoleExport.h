// Symbol visibility for libZELConsole: everything is hidden unless marked.
#pragma once

#if defined(ZEL_CONSOLE_BUILDING)
#define ZEL_CONSOLE_API __attribute__((visibility("default")))
#else
#define ZEL_CONSOLE_API
#endif
