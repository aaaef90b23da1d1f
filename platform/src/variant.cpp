#include "platform/emu/variant.h"

#include "platform/emu/bstr.h"
#include "platform/emu/dispatch.h"

namespace {

// Types a VARIANT may hold by value without owning anything.
bool IsPlainValue(VARTYPE vt) {
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_BOOL:
        case VT_ERROR:
            return true;
        default:
            return false;
    }
}

bool IsValidByRef(VARTYPE vt) {
    const VARTYPE base = vt & ~VARTYPE{VT_BYREF};
    return (vt & VT_BYREF) != 0 && base != VT_EMPTY && base != VT_NULL &&
           (IsPlainValue(base) || base == VT_BSTR || base == VT_UNKNOWN || base == VT_DISPATCH ||
            base == VT_VARIANT || base == VT_DECIMAL);
}

}  // namespace

void VariantInit(VARIANTARG* variant) {
    if (variant == nullptr) return;
    variant->vt = VT_EMPTY;
    variant->wReserved1 = variant->wReserved2 = variant->wReserved3 = 0;
}

HRESULT VariantClear(VARIANTARG* variant) {
    if (variant == nullptr) return E_INVALIDARG;
    const VARTYPE vt = variant->vt;
    if (vt == VT_BSTR) {
        SysFreeString(variant->bstrVal);
    } else if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
        // Both members share the slot; IDispatch derives from IUnknown.
        IUnknown* object = vt == VT_UNKNOWN ? variant->punkVal : variant->pdispVal;
        if (object != nullptr) object->Release();
    } else if (!IsPlainValue(vt) && !IsValidByRef(vt)) {
        return DISP_E_BADVARTYPE;
    }
    variant->vt = VT_EMPTY;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* target, const VARIANTARG* source) {
    if (target == nullptr || source == nullptr) return E_INVALIDARG;
    if (target == source) return S_OK;
    const VARTYPE vt = source->vt;
    if (!IsPlainValue(vt) && !IsValidByRef(vt) && vt != VT_BSTR && vt != VT_UNKNOWN &&
        vt != VT_DISPATCH)
        return DISP_E_BADVARTYPE;
    HRESULT hr = VariantClear(target);
    if (FAILED(hr)) return hr;
    if (vt == VT_BSTR && source->bstrVal != nullptr) {
        // Full length: a BSTR may hold zeros.
        BSTR copy = SysAllocStringByteLen(reinterpret_cast<const char*>(source->bstrVal),
                                          SysStringByteLen(source->bstrVal));
        if (copy == nullptr) return E_OUTOFMEMORY;
        *target = *source;
        target->bstrVal = copy;
        return S_OK;
    }
    *target = *source;
    if (vt == VT_UNKNOWN && target->punkVal != nullptr) target->punkVal->AddRef();
    if (vt == VT_DISPATCH && target->pdispVal != nullptr) target->pdispVal->AddRef();
    return S_OK;
}
