// The three methods of IGlyvor as the server checks and describes them: the
// dispatch object's Invoke checks every call against this table, and on Windows
// the type library is written from it.
#pragma once

#include "glyvor/automation.h"
#include "platform/win32.h"

namespace glyvor {

struct MethodParameter {
    VARTYPE type;  // VT_BYREF marks an output
    const char16_t* name;
};

struct Method {
    DISPID id;
    const char16_t* name;
    UINT count;
    // Positional parameters, first argument first.
    MethodParameter parameters[10];
};

inline constexpr VARTYPE kOutBstr = VT_BYREF | VT_BSTR;
inline constexpr VARTYPE kOutLong = VT_BYREF | VT_I4;
inline constexpr VARTYPE kOutBool = VT_BYREF | VT_BOOL;

// The constant arguments mean nothing to this server; their names say so.
inline constexpr Method kMethods[] = {
    {kDispidMatchFont,
     u"MatchFont",
     10,
     {{VT_BSTR, u"name"},
      {VT_BSTR, u"reserved2"},
      {VT_BSTR, u"reserved3"},
      {VT_I4, u"reserved4"},
      {VT_I4, u"reserved5"},
      {VT_BSTR, u"reserved6"},
      {VT_I4, u"reserved7"},
      {kOutBstr, u"identifier"},
      {kOutBstr, u"detail"},
      {kOutBool, u"matched"}}},
    {kDispidGetFontState, u"GetFontState", 2, {{VT_BSTR, u"identifier"}, {kOutLong, u"state"}}},
    {kDispidLoadFont,
     u"LoadFont",
     5,
     {{VT_BSTR, u"identifier"},
      {VT_I4, u"reserved2"},
      {VT_BOOL, u"activate"},
      {kOutBstr, u"error"},
      {kOutBool, u"success"}}},
};

}  // namespace glyvor
