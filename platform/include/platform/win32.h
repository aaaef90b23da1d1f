// The Windows surface the plug-in, the host and the font manager use. On Windows: the
// system headers, plus what Windows lacks. Elsewhere: the emulation in libplatform.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// The order matters: each needs the ones before it.
// clang-format off
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <shellapi.h>
#include <comdef.h>
// clang-format on

// The plug-in object has an operation named DispatchMessage; the user32 macro
// would rename it to DispatchMessageA in some files and not in others.
#ifdef DispatchMessage
#undef DispatchMessage
#endif
// The simulated host's dialog manager has operations of these names too.
#ifdef CreateDialog
#undef CreateDialog
#endif
#ifdef DrawText
#undef DrawText
#endif
#ifdef FindResource
#undef FindResource
#endif
#ifdef LoadIcon
#undef LoadIcon
#endif

#include <cstdio>

// The plug-in's debug-assertion channel: the debugger's output window.
inline void PlatformReportAssertion(const char* expression, const char* source, int line) {
    char text[1024];
    std::snprintf(text, sizeof text, "%s(%d): assertion failed: %s\n", source ? source : "?", line,
                  expression ? expression : "?");
    OutputDebugStringA(text);
}

#else

#include "platform/emu/assertion.h"
#include "platform/emu/bstr.h"
#include "platform/emu/clock.h"
#include "platform/emu/codepage.h"
#include "platform/emu/com.h"
#include "platform/emu/comerror.h"
#include "platform/emu/comutil.h"
#include "platform/emu/dispatch.h"
#include "platform/emu/shell.h"
#include "platform/emu/types.h"
#include "platform/emu/variant.h"
#include "platform/emu/window.h"

#endif
