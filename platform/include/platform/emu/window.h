// Window messages. The emulated top-level windows are created with
// EmuCreateTopLevelWindow (emu/control.h); a message is delivered by calling the
// window's procedure synchronously on the calling thread.
//
// SendMessageW to a hung window would wait for ever on Windows; the emulation records
// a frozen send (EmuFrozenBroadcastCount) and returns 0 instead of
// blocking. Towards HWND_BROADCAST it delivers in creation order and stops at the first
// hung window, as the real call never gets past it. SendMessageTimeoutW skips a hung
// window at once with SMTO_ABORTIFHUNG, and otherwise records a wait of the full
// timeout for it and goes on.
#pragma once

#include "platform/emu/types.h"

#define HWND_BROADCAST ((HWND)0xffff)
#define WM_NULL 0x0000
#define WM_SETTINGCHANGE 0x001A
#define WM_FONTCHANGE 0x001D

#define SMTO_NORMAL 0x0000
#define SMTO_BLOCK 0x0001
#define SMTO_ABORTIFHUNG 0x0002
#define SMTO_NOTIMEOUTIFNOTHUNG 0x0008

PLATFORM_BEGIN_C
// To one window: the procedure's answer (0 and ERROR_INVALID_WINDOW_HANDLE for an unknown
// window). To HWND_BROADCAST: 0, after every window has handled it.
PLATFORM_API LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Non-zero when the message was delivered (to a broadcast: always); 0 with
// ERROR_TIMEOUT when the one window addressed is hung. *result, when given, receives
// the single window's answer (0 for a broadcast).
PLATFORM_API LRESULT SendMessageTimeoutW(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT flags, UINT timeoutMs, PDWORD_PTR result);
PLATFORM_END_C
