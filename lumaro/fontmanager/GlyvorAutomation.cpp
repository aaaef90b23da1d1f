#include "fontmanager/GlyvorAutomation.h"

#include <cstddef>

namespace {

// Builds the reversed argument array: callers list arguments in their natural order
// and Invoke receives the last one first.
template <size_t Count>
class Arguments {
public:
    // Position counts from 1, as the interface's argument lists do.
    VARIANTARG& At(size_t position) { return m_reversed[Count - position]; }

    void Bstr(size_t position, BSTR value) {
        At(position).vt = VT_BSTR;
        At(position).bstrVal = value;
    }
    void Long(size_t position, LONG value) {
        At(position).vt = VT_I4;
        At(position).lVal = value;
    }
    void Bool(size_t position, VARIANT_BOOL value) {
        At(position).vt = VT_BOOL;
        At(position).boolVal = value;
    }
    void BstrOut(size_t position, UniqueBstr& slot) {
        At(position).vt = VT_BYREF | VT_BSTR;
        At(position).pbstrVal = slot.Put();
    }
    void LongOut(size_t position, LONG& slot) {
        slot = 0;
        At(position).vt = VT_BYREF | VT_I4;
        At(position).plVal = &slot;
    }
    void BoolOut(size_t position, VARIANT_BOOL& slot) {
        slot = VARIANT_FALSE;
        At(position).vt = VT_BYREF | VT_BOOL;
        At(position).pboolVal = &slot;
    }

    // The arguments own nothing (the BSTRs belong to the caller's holders), so there
    // is nothing to clear afterwards.
    void Invoke(IGlyvor* glyvor, DISPID member) {
        DISPPARAMS params = {m_reversed, nullptr, static_cast<UINT>(Count), 0};
        EXCEPINFO exception = {};
        UINT argumentError = 0;
        const HRESULT hr = glyvor->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                          &params, nullptr, &exception, &argumentError);
        // A server that raised an exception filled these; they are ours to free.
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (FAILED(hr)) throw _com_error(hr);
    }

private:
    // Zero bytes are VT_EMPTY; every position is set before the call.
    VARIANTARG m_reversed[Count] = {};
};

BSTR NewEmptyBstr() {
    BSTR empty = SysAllocStringLen(nullptr, 0);
    if (empty == nullptr) throw _com_error(E_OUTOFMEMORY);
    return empty;
}

}  // namespace

void GlyvorMatchFont(IGlyvor* glyvor, BSTR name, UniqueBstr& fontId, UniqueBstr& detail,
                     VARIANT_BOOL& matched) {
    UniqueBstr empty1(NewEmptyBstr());
    UniqueBstr empty2(NewEmptyBstr());
    Arguments<10> arguments;
    arguments.Bstr(1, name);
    arguments.Bstr(2, empty1.Get());
    arguments.Bstr(3, empty2.Get());
    arguments.Long(4, 0);
    arguments.Long(5, 0);
    arguments.Bstr(6, nullptr);
    arguments.Long(7, kMatchFontArgument7);
    arguments.BstrOut(8, fontId);
    arguments.BstrOut(9, detail);
    arguments.BoolOut(10, matched);
    arguments.Invoke(glyvor, kDispIdMatchFont);
}

void GlyvorGetFontState(IGlyvor* glyvor, BSTR fontId, LONG& state) {
    Arguments<2> arguments;
    arguments.Bstr(1, fontId);
    arguments.LongOut(2, state);
    arguments.Invoke(glyvor, kDispIdGetFontState);
}

void GlyvorLoadFont(IGlyvor* glyvor, BSTR fontId, bool activate, UniqueBstr& error,
                    VARIANT_BOOL& succeeded) {
    Arguments<5> arguments;
    arguments.Bstr(1, fontId);
    arguments.Long(2, 0);
    arguments.Bool(3, activate ? VARIANT_TRUE : VARIANT_FALSE);
    arguments.BstrOut(4, error);
    arguments.BoolOut(5, succeeded);
    arguments.Invoke(glyvor, kDispIdLoadFont);
}
