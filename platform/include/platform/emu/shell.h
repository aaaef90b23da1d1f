// ShellExecuteW and GetDesktopWindow. The emulation opens nothing: it records the call
// (EmuLastShellExecute... in emu/control.h) and answers the result tests set; a result
// above 32 means success.
#pragma once

#include "platform/emu/types.h"

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOW 5

PLATFORM_BEGIN_C
PLATFORM_API HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                     LPCWSTR directory, INT showCommand);
// A fixed, non-null window.
PLATFORM_API HWND GetDesktopWindow(void);
PLATFORM_END_C
