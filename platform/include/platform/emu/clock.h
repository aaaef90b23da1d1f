// The system clock, in the one form Windows gives at full width on every build:
// FILETIME, 100-nanosecond intervals since 1 January 1601 (UTC), as two 32-bit halves.
#pragma once

#include "platform/emu/types.h"

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

PLATFORM_BEGIN_C
// The current time (UTC); EmuSetSystemTime (emu/control.h) can fix it.
PLATFORM_API void GetSystemTimeAsFileTime(LPFILETIME time);
PLATFORM_END_C
