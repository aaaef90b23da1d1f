// The font manager's automation interface, IGlyvor, as the plug-in calls it: three
// methods reached through IDispatch::Invoke by fixed dispatch identifier, positional
// arguments only, no result. Output slots are nulled (or zeroed) before each call and
// the caller's holders free the BSTRs after it. A failing Invoke throws _com_error.
#pragma once

#include "fontmanager/UniqueBstr.h"
#include "platform/win32.h"

// A dispatch interface: its vtable is IDispatch's.
struct IGlyvor : IDispatch {};

// Fixed by the font manager's registration: {6A3E2F41-8C5D-4B7A-9E21-3F0C7D5B9A14}.
constexpr IID IID_IGlyvor = {
    0x6A3E2F41, 0x8C5D, 0x4B7A, {0x9E, 0x21, 0x3F, 0x0C, 0x7D, 0x5B, 0x9A, 0x14}};

enum GlyvorDispatchId : DISPID {
    kDispIdLoadFont = 3,
    kDispIdMatchFont = 5,
    kDispIdGetFontState = 10,
};

// MatchFont's seventh argument, a constant whose meaning is the server's.
constexpr LONG kMatchFontArgument7 = 30;

// IGlyvor::MatchFont. `matched` non-zero means fontId and detail hold the answer.
void GlyvorMatchFont(IGlyvor* glyvor, BSTR name, UniqueBstr& fontId, UniqueBstr& detail,
                     VARIANT_BOOL& matched);

// IGlyvor::GetFontState. Non-zero: the font needs no loading.
void GlyvorGetFontState(IGlyvor* glyvor, BSTR fontId, LONG& state);

// IGlyvor::LoadFont: activate (true) or install (false). `succeeded` zero means `error`
// holds the server's reason.
void GlyvorLoadFont(IGlyvor* glyvor, BSTR fontId, bool activate, UniqueBstr& error,
                    VARIANT_BOOL& succeeded);
