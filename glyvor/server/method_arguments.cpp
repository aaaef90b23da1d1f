#include "method_arguments.h"

namespace glyvor {

namespace {

constexpr VARTYPE kVariantRef = VT_BYREF | VT_VARIANT;

}  // namespace

MethodArguments::MethodArguments(const Method& method, const DISPPARAMS& params)
    : m_method(method), m_params(params) {
    for (VARIANTARG& v : m_inputs) VariantInit(&v);
}

MethodArguments::~MethodArguments() {
    for (UINT i = 0; i < kMaxArguments; ++i) {
        if (m_owned[i]) VariantClear(&m_inputs[i]);
    }
}

// rgvarg holds the arguments last first.
VARIANTARG& MethodArguments::Arg(UINT position) const {
    return m_params.rgvarg[m_params.cArgs - 1 - position];
}

HRESULT MethodArguments::Check(UINT* argumentError) {
    for (UINT position = 0; position < m_method.count; ++position) {
        const VARTYPE type = m_method.parameters[position].type;
        const HRESULT hr =
            (type & VT_BYREF) != 0 ? CheckOutput(position, type) : CheckInput(position, type);
        if (FAILED(hr)) {
            if (argumentError != nullptr) *argumentError = m_params.cArgs - 1 - position;
            return hr;
        }
    }
    return S_OK;
}

HRESULT MethodArguments::CheckInput(UINT position, VARTYPE type) {
    // Not const: Windows declares VariantChangeType's source without it.
    VARIANTARG& arg = Arg(position);
    if (arg.vt == kVariantRef && arg.pvarVal == nullptr) return E_POINTER;
    const VARIANTARG& value = arg.vt == kVariantRef ? *arg.pvarVal : arg;
    if (value.vt == type) {
        m_inputs[position] = value;  // read in place
        return S_OK;
    }
    if (value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND) return DISP_E_PARAMNOTOPTIONAL;
    const HRESULT hr = VariantChangeType(&m_inputs[position], &arg, 0, type);
    if (FAILED(hr)) {
        return hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
    }
    m_owned[position] = true;
    return S_OK;
}

HRESULT MethodArguments::CheckOutput(UINT position, VARTYPE type) {
    const VARIANTARG& arg = Arg(position);
    if (arg.vt != type && arg.vt != kVariantRef) return DISP_E_TYPEMISMATCH;
    return arg.byref == nullptr ? E_POINTER : S_OK;
}

HRESULT MethodArguments::EmptiedVariant(UINT position, VARIANT** variant) {
    VARIANTARG& arg = Arg(position);
    *variant = arg.vt == kVariantRef ? arg.pvarVal : nullptr;
    return *variant != nullptr ? VariantClear(*variant) : S_OK;
}

HRESULT MethodArguments::StoreText(UINT position, BSTR fresh) {
    VARIANT* variant = nullptr;
    const HRESULT hr = EmptiedVariant(position, &variant);
    if (FAILED(hr)) {
        SysFreeString(fresh);
        return hr;
    }
    if (variant != nullptr) {
        variant->vt = VT_BSTR;
        variant->bstrVal = fresh;
    } else {
        BSTR* target = Arg(position).pbstrVal;
        SysFreeString(*target);
        *target = fresh;
    }
    return S_OK;
}

HRESULT MethodArguments::StoreLong(UINT position, LONG value) {
    VARIANT* variant = nullptr;
    const HRESULT hr = EmptiedVariant(position, &variant);
    if (FAILED(hr)) return hr;
    if (variant != nullptr) {
        variant->vt = VT_I4;
        variant->lVal = value;
    } else {
        *Arg(position).plVal = value;
    }
    return S_OK;
}

HRESULT MethodArguments::StoreFlag(UINT position, bool value) {
    VARIANT* variant = nullptr;
    const HRESULT hr = EmptiedVariant(position, &variant);
    if (FAILED(hr)) return hr;
    const VARIANT_BOOL flag = value ? VARIANT_TRUE : VARIANT_FALSE;
    if (variant != nullptr) {
        variant->vt = VT_BOOL;
        variant->boolVal = flag;
    } else {
        *Arg(position).pboolVal = flag;
    }
    return S_OK;
}

}  // namespace glyvor
