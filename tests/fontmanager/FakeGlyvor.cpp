#include "FakeGlyvor.h"

namespace {

BSTR NewBstr(const std::u16string& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

RecordedArgument Record(const VARIANTARG& argument) {
    RecordedArgument recorded;
    recorded.vt = argument.vt;
    switch (argument.vt) {
        case VT_BSTR:
            recorded.bstrIsNull = argument.bstrVal == nullptr;
            if (argument.bstrVal != nullptr)
                recorded.bstr.assign(argument.bstrVal, SysStringLen(argument.bstrVal));
            break;
        case VT_I4:
            recorded.lVal = argument.lVal;
            break;
        case VT_BOOL:
            recorded.boolVal = argument.boolVal;
            break;
        case VT_BYREF | VT_BSTR:
            recorded.outBstrWasNull = *argument.pbstrVal == nullptr;
            break;
        case VT_BYREF | VT_I4:
            recorded.outLongWas = *argument.plVal;
            break;
        case VT_BYREF | VT_BOOL:
            recorded.outBoolWas = *argument.pboolVal;
            break;
        default:
            break;
    }
    return recorded;
}

// The argument at 1-based position, if the call has it with the expected type.
VARIANTARG* Argument(DISPPARAMS* params, UINT position, VARTYPE vt) {
    if (position == 0 || position > params->cArgs) return nullptr;
    VARIANTARG* argument = &params->rgvarg[params->cArgs - position];
    return argument->vt == vt ? argument : nullptr;
}

std::u16string BstrText(VARIANTARG* argument) {
    if (argument == nullptr || argument->bstrVal == nullptr) return std::u16string();
    return std::u16string(argument->bstrVal, SysStringLen(argument->bstrVal));
}

}  // namespace

std::u16string ToU16(const std::wstring& text) {
    std::u16string units;
    for (wchar_t unit : text) units.push_back(static_cast<char16_t>(unit));
    return units;
}

HRESULT FakeGlyvor::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IGlyvor) {
        *object = static_cast<IGlyvor*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FakeGlyvor::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT FakeGlyvor::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return S_OK;
}

HRESULT FakeGlyvor::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT FakeGlyvor::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

OutputFault FakeGlyvor::FaultAt(DISPID member, UINT position) const {
    const auto it = outputFaults.find({member, position});
    return it != outputFaults.end() ? it->second : OutputFault::None;
}

// The wrong type goes over the argument itself; the caller's slot is left as it was.
static bool Retyped(OutputFault fault, VARIANTARG* out) {
    if (fault == OutputFault::WritesI4) {
        out->vt = VT_I4;
        out->lVal = 1;
        return true;
    }
    if (fault == OutputFault::WritesEmpty) {
        out->vt = VT_EMPTY;
        out->llVal = 0;
        return true;
    }
    return false;
}

void FakeGlyvor::PutBstr(DISPID member, UINT position, VARIANTARG* out,
                         const std::u16string& text) {
    const OutputFault fault = FaultAt(member, position);
    if (Retyped(fault, out)) return;
    if (fault == OutputFault::NullBstr) {
        *out->pbstrVal = nullptr;
    } else if (fault == OutputFault::HugeBstr) {
        *out->pbstrVal = NewBstr(std::u16string(kHugeBstrUnits, u'x'));
    } else {
        *out->pbstrVal = NewBstr(text);
    }
}

void FakeGlyvor::PutBool(DISPID member, UINT position, VARIANTARG* out, VARIANT_BOOL value) {
    if (!Retyped(FaultAt(member, position), out)) *out->pboolVal = value;
}

void FakeGlyvor::PutLong(DISPID member, UINT position, VARIANTARG* out, LONG value) {
    if (!Retyped(FaultAt(member, position), out)) *out->plVal = value;
}

size_t FakeGlyvor::CallsTo(DISPID member) const {
    size_t count = 0;
    for (const RecordedCall& call : m_calls) count += call.member == member ? 1 : 0;
    return count;
}

HRESULT FakeGlyvor::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT*) {
    RecordedCall call;
    call.member = member;
    call.flags = flags;
    call.riidIsNull = riid == IID_NULL;
    call.resultRequested = result != nullptr;
    if (params != nullptr) {
        call.cArgs = params->cArgs;
        call.cNamedArgs = params->cNamedArgs;
        for (UINT i = params->cArgs; i > 0; --i)
            call.arguments.push_back(Record(params->rgvarg[i - 1]));
    }
    m_calls.push_back(call);

    if (failFromCall != 0 && m_calls.size() >= failFromCall) {
        if (failWithExceptionInfo && exception != nullptr) {
            exception->bstrSource = SysAllocString(OLESTR("Glyvor"));
            exception->bstrDescription = SysAllocString(OLESTR("The font manager stopped"));
        }
        return failHr;
    }
    if (params == nullptr) return DISP_E_BADPARAMCOUNT;

    switch (member) {
        case kDispIdMatchFont: {
            VARIANTARG* id = Argument(params, 8, VT_BYREF | VT_BSTR);
            VARIANTARG* detail = Argument(params, 9, VT_BYREF | VT_BSTR);
            VARIANTARG* matched = Argument(params, 10, VT_BYREF | VT_BOOL);
            if (params->cArgs != 10 || !id || !detail || !matched) return DISP_E_TYPEMISMATCH;
            auto answer = matches.find(BstrText(Argument(params, 1, VT_BSTR)));
            if (answer != matches.end()) {
                if (!nullMatchOutputs) {
                    PutBstr(member, 8, id, answer->second.fontId);
                    PutBstr(member, 9, detail, answer->second.detail);
                }
                PutBool(member, 10, matched, matchedAnswer);
            } else if (fillOutputsOnMiss) {
                *id->pbstrVal = NewBstr(u"unused id");
                *detail->pbstrVal = NewBstr(u"unused detail");
            }
            return S_OK;
        }
        case kDispIdGetFontState: {
            VARIANTARG* state = Argument(params, 2, VT_BYREF | VT_I4);
            if (params->cArgs != 2 || !state) return DISP_E_TYPEMISMATCH;
            auto answer = states.find(BstrText(Argument(params, 1, VT_BSTR)));
            if (answer != states.end()) PutLong(member, 2, state, answer->second);
            return S_OK;
        }
        case kDispIdLoadFont: {
            VARIANTARG* error = Argument(params, 4, VT_BYREF | VT_BSTR);
            VARIANTARG* succeeded = Argument(params, 5, VT_BYREF | VT_BOOL);
            if (params->cArgs != 5 || !error || !succeeded) return DISP_E_TYPEMISMATCH;
            auto answer = loads.find(BstrText(Argument(params, 1, VT_BSTR)));
            if (answer == loads.end()) {
                PutBstr(member, 4, error, u"unknown font");
            } else if (answer->second.succeeded) {
                PutBool(member, 5, succeeded, loadedAnswer);
            } else if (!nullLoadError) {
                PutBstr(member, 4, error, answer->second.error);
            }
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}
