// Conversions between a code page and UTF-16, with the documented Windows contract.
//
// Code pages: CP_ACP (the system's, 1252), CP_OEMCP (437), CP_THREAD_ACP (the calling
// thread's, EmuSetThreadCodePage, default 1252), CP_UTF8, and the Windows code pages
// 437, 850, 852, 866, 874, 1250-1258 (single-byte) and 932, 936, 949, 950 (double-byte),
// whose mappings come from glibc iconv.
//
// With flags 0 a conversion never fails on invalid input:
//  - single-byte code pages: a byte the code page leaves undefined (0x81, 0x8D, 0x8F,
//    0x90, 0x9D in 1252) becomes the code point of the same value (U+0081 ...) and
//    converts back to the same byte;
//  - double-byte code pages: an undefined byte, or a lead byte without a valid trail
//    byte, becomes U+30FB (932) or '?' (936, 949, 950); the byte after such a lead byte
//    is converted on its own;
//  - UTF-8: every maximal invalid subsequence (stray continuation byte, overlong form,
//    encoded surrogate, value above U+10FFFF, truncated sequence) becomes U+FFFD;
//  - towards a code page, a character it lacks becomes the default character ('?', or
//    lpDefaultChar's) and *lpUsedDefaultChar is set; each half of a surrogate pair
//    counts as one such character; towards UTF-8, an unpaired surrogate becomes U+FFFD
//    and a pair becomes one four-byte sequence.
// MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS turn invalid input into a failure with
// ERROR_NO_UNICODE_TRANSLATION.
//
// A source length of -1 converts up to and including the terminator (counted in the
// result); an explicit length converts exactly that many units, zeros included, and
// adds no terminator. An output size of 0 asks for the size needed. A buffer too small
// fails with 0 and ERROR_INSUFFICIENT_BUFFER, and nothing is written to it. Other
// failures: ERROR_INVALID_PARAMETER (unknown code page, null source, source length 0
// or below -1, negative output size, lpDefaultChar/lpUsedDefaultChar with CP_UTF8),
// ERROR_INVALID_FLAGS (other flags than MB_PRECOMPOSED, WC_NO_BEST_FIT_CHARS and the
// error flags; with CP_UTF8 only the error flags).
#pragma once

#include "platform/emu/types.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

PLATFORM_BEGIN_C
PLATFORM_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH source, int sourceBytes,
                                     LPWSTR target, int targetUnits);
PLATFORM_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH source, int sourceUnits,
                                     LPSTR target, int targetBytes, LPCCH defaultChar,
                                     LPBOOL usedDefaultChar);
// The system's ANSI code page.
PLATFORM_API UINT GetACP(void);
PLATFORM_END_C
