// The arguments of one call of an IGlyvor method, checked against its entry in
// the method table and read by position, first argument first.
//
// What automation clients send is taken as DispInvoke takes it: an input of
// another type is coerced (VariantChangeType), a variable passed by reference
// (VT_BYREF | VT_VARIANT) is read through; an output is either a reference of
// its exact type or a reference to a VARIANT, which receives a value of that
// type. The plug-in's exactly typed arguments are read in place, not copied.
#pragma once

#include "methods.h"
#include "platform/win32.h"

namespace glyvor {

class MethodArguments {
public:
    // `params` holds as many arguments as the method takes.
    MethodArguments(const Method& method, const DISPPARAMS& params);
    ~MethodArguments();
    MethodArguments(const MethodArguments&) = delete;
    MethodArguments& operator=(const MethodArguments&) = delete;

    // Checks every argument before anything is written: DISP_E_TYPEMISMATCH (or
    // DISP_E_OVERFLOW) for one that cannot be coerced or an output that is not a
    // reference, DISP_E_PARAMNOTOPTIONAL for one left out, E_POINTER for a null
    // reference; *argumentError (when given) is then its index in rgvarg.
    HRESULT Check(UINT* argumentError);

    // Inputs, once checked.
    BSTR Text(UINT position) const { return m_inputs[position].bstrVal; }
    LONG Long(UINT position) const { return m_inputs[position].lVal; }
    bool Flag(UINT position) const { return m_inputs[position].boolVal != VARIANT_FALSE; }

    // Outputs: what the caller left there is freed first. StoreText takes `fresh`.
    HRESULT StoreText(UINT position, BSTR fresh);
    HRESULT StoreLong(UINT position, LONG value);
    HRESULT StoreFlag(UINT position, bool value);

private:
    VARIANTARG& Arg(UINT position) const;
    HRESULT CheckInput(UINT position, VARTYPE type);
    HRESULT CheckOutput(UINT position, VARTYPE type);
    // The VARIANT an output by VT_BYREF | VT_VARIANT receives, emptied; null for
    // an output of the exact type.
    HRESULT EmptiedVariant(UINT position, VARIANT** variant);

    static constexpr UINT kMaxArguments = sizeof(Method::parameters) / sizeof(MethodParameter);
    const Method& m_method;
    const DISPPARAMS& m_params;
    VARIANTARG m_inputs[kMaxArguments];
    bool m_owned[kMaxArguments] = {};
};

}  // namespace glyvor
