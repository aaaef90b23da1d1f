// The automation contract of "Glyvor.Document": its class, its dispatch
// interface and the dispatch identifiers of its three methods. Arguments are
// positional, in this order (Invoke sees them reversed in rgvarg):
//
//   MatchFont (5)    name BSTR, BSTR, BSTR, long, long, BSTR, long,
//                    out identifier BSTR*, out detail BSTR*, out matched VARIANT_BOOL*
//   GetFontState (10) identifier BSTR, out state long*
//   LoadFont (3)     identifier BSTR, long, activate VARIANT_BOOL,
//                    out error BSTR*, out success VARIANT_BOOL*
//
// GetFontState answers a set of bits: 1 when the font is active for the
// session, 2 when it is installed; 0 means it needs loading.
//
// The constant arguments (two empty strings, 0, 0, a null string, 30; the 0 of
// LoadFont) are checked for type only. Output BSTRs are in/out: a value the
// caller left there is freed before a new one is stored, and the caller frees
// what it finds afterwards.
#pragma once

#include "platform/win32.h"

namespace glyvor {

inline constexpr char kProgId[] = "Glyvor.Document";

// The names stay inside the namespace: the plug-in declares its own global
// IID_IGlyvor, and a test may see both.
// {6A1C2E4F-3B7D-4E8A-9C15-2F04D8B7A361}
inline constexpr CLSID CLSID_GlyvorDocument = {
    0x6A1C2E4F, 0x3B7D, 0x4E8A, {0x9C, 0x15, 0x2F, 0x04, 0xD8, 0xB7, 0xA3, 0x61}};
// {6A3E2F41-8C5D-4B7A-9E21-3F0C7D5B9A14}
inline constexpr IID IID_IGlyvor = {
    0x6A3E2F41, 0x8C5D, 0x4B7A, {0x9E, 0x21, 0x3F, 0x0C, 0x7D, 0x5B, 0x9A, 0x14}};

// The type library that describes IGlyvor on Windows, version 1.0.
// {6A4B3C52-9D6E-4F1A-8B32-4E1D8F6C0B25}
inline constexpr GUID LIBID_Glyvor = {
    0x6A4B3C52, 0x9D6E, 0x4F1A, {0x8B, 0x32, 0x4E, 0x1D, 0x8F, 0x6C, 0x0B, 0x25}};
inline constexpr WORD kTypeLibraryMajor = 1;
inline constexpr WORD kTypeLibraryMinor = 0;

inline constexpr DISPID kDispidLoadFont = 3;
inline constexpr DISPID kDispidMatchFont = 5;
inline constexpr DISPID kDispidGetFontState = 10;

}  // namespace glyvor
