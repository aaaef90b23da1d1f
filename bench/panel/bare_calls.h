// The font manager's automation calls as the plug-in makes them, with nothing of the
// plug-in around them: the baselines of both benchmark programs are made of these.
#pragma once

#include "glyvor/automation.h"
#include "platform/win32.h"

namespace bench {

// IGlyvor::MatchFont with the plug-in's arguments; the outputs freed as the caller
// must. True on a match.
inline bool MatchFontCall(IDispatch* glyvor, BSTR name, BSTR empty1, BSTR empty2) {
    BSTR id = nullptr, detail = nullptr;
    VARIANT_BOOL matched = VARIANT_FALSE;
    VARIANTARG args[10] = {};
    args[9].vt = VT_BSTR, args[9].bstrVal = name;
    args[8].vt = VT_BSTR, args[8].bstrVal = empty1;
    args[7].vt = VT_BSTR, args[7].bstrVal = empty2;
    args[6].vt = VT_I4, args[6].lVal = 0;
    args[5].vt = VT_I4, args[5].lVal = 0;
    args[4].vt = VT_BSTR, args[4].bstrVal = nullptr;
    args[3].vt = VT_I4, args[3].lVal = 30;
    args[2].vt = VT_BYREF | VT_BSTR, args[2].pbstrVal = &id;
    args[1].vt = VT_BYREF | VT_BSTR, args[1].pbstrVal = &detail;
    args[0].vt = VT_BYREF | VT_BOOL, args[0].pboolVal = &matched;
    DISPPARAMS params{args, nullptr, 10, 0};
    const bool found =
        SUCCEEDED(glyvor->Invoke(glyvor::kDispidMatchFont, IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_METHOD, &params, nullptr, nullptr, nullptr)) &&
        matched != VARIANT_FALSE;
    SysFreeString(id);
    SysFreeString(detail);
    return found;
}

// IGlyvor::GetFontState, and IGlyvor::LoadFont when the font needs loading. True
// when the font is active afterwards.
inline bool ActivateCall(IDispatch* glyvor, BSTR id) {
    LONG state = 0;
    VARIANTARG stateArgs[2] = {};
    stateArgs[1].vt = VT_BSTR, stateArgs[1].bstrVal = id;
    stateArgs[0].vt = VT_BYREF | VT_I4, stateArgs[0].plVal = &state;
    DISPPARAMS stateParams{stateArgs, nullptr, 2, 0};
    if (FAILED(glyvor->Invoke(glyvor::kDispidGetFontState, IID_NULL, LOCALE_USER_DEFAULT,
                              DISPATCH_METHOD, &stateParams, nullptr, nullptr, nullptr)))
        return false;
    if (state != 0) return true;
    BSTR error = nullptr;
    VARIANT_BOOL ok = VARIANT_FALSE;
    VARIANTARG loadArgs[5] = {};
    loadArgs[4].vt = VT_BSTR, loadArgs[4].bstrVal = id;
    loadArgs[3].vt = VT_I4, loadArgs[3].lVal = 0;
    loadArgs[2].vt = VT_BOOL, loadArgs[2].boolVal = VARIANT_TRUE;
    loadArgs[1].vt = VT_BYREF | VT_BSTR, loadArgs[1].pbstrVal = &error;
    loadArgs[0].vt = VT_BYREF | VT_BOOL, loadArgs[0].pboolVal = &ok;
    DISPPARAMS loadParams{loadArgs, nullptr, 5, 0};
    const bool done =
        SUCCEEDED(glyvor->Invoke(glyvor::kDispidLoadFont, IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_METHOD, &loadParams, nullptr, nullptr, nullptr)) &&
        ok != VARIANT_FALSE;
    SysFreeString(error);
    return done;
}

}  // namespace bench
