// A test double of the font manager's automation object: records exactly what each
// Invoke received (member, flags, argument count, types and values in call order) and
// answers from scripted tables. Reference counted like a real object; tests check the
// count returns to their own single reference.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fontmanager/GlyvorAutomation.h"
#include "platform/win32.h"

struct RecordedArgument {
    VARTYPE vt = VT_EMPTY;
    // By value: the BSTR's units (full length) and whether it was null.
    bool bstrIsNull = true;
    std::u16string bstr;
    LONG lVal = 0;
    VARIANT_BOOL boolVal = 0;
    // By reference: what the slot held when the call arrived.
    bool outBstrWasNull = false;
    LONG outLongWas = -1;
    VARIANT_BOOL outBoolWas = -2;
};

struct RecordedCall {
    DISPID member = 0;
    WORD flags = 0;
    bool riidIsNull = false;
    bool resultRequested = false;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
    // Argument 1 first (rgvarg read back to front).
    std::vector<RecordedArgument> arguments;
};

struct MatchAnswer {
    std::u16string fontId;
    std::u16string detail;
};

struct LoadAnswer {
    bool succeeded = false;
    std::u16string error;
};

// How a careless server answers an output argument: it writes a value of the wrong
// type over the argument instead of through its reference (VT_I4, VT_EMPTY), writes
// a null BSTR, or a BSTR of kHugeBstrUnits units.
enum class OutputFault { None, WritesI4, WritesEmpty, NullBstr, HugeBstr };
constexpr size_t kHugeBstrUnits = 1u << 20;

class FakeGlyvor final : public IGlyvor {
public:
    FakeGlyvor() = default;

    // IUnknown: IUnknown, IDispatch and IGlyvor all answer with this object.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    ULONG refs() const { return m_refs; }
    const std::vector<RecordedCall>& calls() const { return m_calls; }
    size_t CallsTo(DISPID member) const;

    // Scripted answers.
    std::map<std::u16string, MatchAnswer> matches;  // by font name
    std::map<std::u16string, LONG> states;          // by font identifier
    std::map<std::u16string, LoadAnswer> loads;     // by font identifier
    // Write both MatchFont outputs even when there is no match, as a sloppy server may.
    bool fillOutputsOnMiss = false;
    // From this call on (1 = the first) Invoke answers failHr; 0 never.
    size_t failFromCall = 0;
    HRESULT failHr = DISP_E_EXCEPTION;
    // Fill EXCEPINFO's strings when failing, as a server raising an exception does.
    bool failWithExceptionInfo = false;
    // A careless server: a match whose identifier and detail are null BSTRs; the
    // flags it writes for a match and for a loaded font (VARIANT_TRUE unless set,
    // e.g. 1); a failed load whose reason is a null BSTR.
    bool nullMatchOutputs = false;
    VARIANT_BOOL matchedAnswer = VARIANT_TRUE;
    VARIANT_BOOL loadedAnswer = VARIANT_TRUE;
    bool nullLoadError = false;
    // By member and argument position (1-based): how the output there is answered.
    std::map<std::pair<DISPID, UINT>, OutputFault> outputFaults;

private:
    OutputFault FaultAt(DISPID member, UINT position) const;
    void PutBstr(DISPID member, UINT position, VARIANTARG* out, const std::u16string& text);
    void PutBool(DISPID member, UINT position, VARIANTARG* out, VARIANT_BOOL value);
    void PutLong(DISPID member, UINT position, VARIANTARG* out, LONG value);

    ULONG m_refs = 1;
    std::vector<RecordedCall> m_calls;
};

std::u16string ToU16(const std::wstring& text);
