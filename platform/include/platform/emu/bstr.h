// BSTRs: a 32-bit byte length in front of the first unit, a 16-bit NUL after the last;
// the pointer addresses the first unit. Embedded zeros are allowed, and a null BSTR
// counts as the empty string everywhere. Every live BSTR is counted (EmuLiveBstrCount).
#pragma once

#include "platform/emu/types.h"

PLATFORM_BEGIN_C
// Copies `text` up to its terminator; null gives null.
PLATFORM_API BSTR SysAllocString(const OLECHAR* text);
// `length` units from `text`, or zero-filled units when `text` is null. Null when
// the length cannot be represented or memory is refused.
PLATFORM_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// `length` bytes from `bytes` (zero-filled when null); an odd length is allowed.
PLATFORM_API BSTR SysAllocStringByteLen(const char* bytes, UINT length);
// Replace *target with a copy of `text` (up to its terminator / `length` units).
// FALSE, and *target unchanged, when memory is refused.
PLATFORM_API INT SysReAllocString(BSTR* target, const OLECHAR* text);
PLATFORM_API INT SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length);
// Null does nothing.
PLATFORM_API void SysFreeString(BSTR text);
// Length in units (bytes / 2, rounded down) and in bytes; 0 for null.
PLATFORM_API UINT SysStringLen(BSTR text);
PLATFORM_API UINT SysStringByteLen(BSTR text);
PLATFORM_END_C
