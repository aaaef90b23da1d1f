#include <gtest/gtest.h>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

// A counting object, to see VARIANTs take and give back references.
class Counted final : public IDispatch {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

TEST(Variant, ClearFreesWhatTheVariantOwns) {
    const LONG bstrs = EmuLiveBstrCount();
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(OLESTR("x"));
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(EmuLiveBstrCount(), bstrs);

    Counted object;
    object.AddRef();
    v.vt = VT_DISPATCH;
    v.pdispVal = &object;
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(object.refs, 1u);

    // By reference: the pointee stays the caller's.
    BSTR owned = SysAllocString(OLESTR("mine"));
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = &owned;
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(std::u16string(owned), u"mine");
    SysFreeString(owned);

    v.vt = VT_BSTR;
    v.bstrVal = nullptr;  // a null BSTR is legal
    EXPECT_EQ(VariantClear(&v), S_OK);

    v.vt = 0x0FFF;  // no such type
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
    EXPECT_EQ(v.vt, 0x0FFF) << "left as it was";
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Variant, CopyDuplicatesBstrsAndAddsReferences) {
    const LONG bstrs = EmuLiveBstrCount();
    VARIANT source, target;
    VariantInit(&source);
    VariantInit(&target);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(OLESTR("a\0b"), 3);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(OLESTR("overwritten"));
    ASSERT_EQ(VariantCopy(&target, &source), S_OK);
    EXPECT_NE(target.bstrVal, source.bstrVal);
    EXPECT_EQ(SysStringLen(target.bstrVal), 3u) << "embedded zeros are copied";
    EXPECT_EQ(EmuLiveBstrCount(), bstrs + 2) << "the target's old text was freed";
    VariantClear(&source);
    VariantClear(&target);
    EXPECT_EQ(EmuLiveBstrCount(), bstrs);

    Counted object;
    source.vt = VT_UNKNOWN;
    source.punkVal = &object;
    ASSERT_EQ(VariantCopy(&target, &source), S_OK);
    EXPECT_EQ(object.refs, 2u);
    VariantClear(&target);
    EXPECT_EQ(object.refs, 1u);

    LONG number = 5;
    source.vt = VT_BYREF | VT_I4;
    source.plVal = &number;
    ASSERT_EQ(VariantCopy(&target, &source), S_OK);
    EXPECT_EQ(target.plVal, &number);

    source.vt = VT_VARIANT;  // only legal by reference
    EXPECT_EQ(VariantCopy(&target, &source), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantCopy(nullptr, &source), E_INVALIDARG);
}

TEST(ComError, CarriesTheHresultAndManagesTheErrorObject) {
    struct Info final : IErrorInfo {
        ULONG refs = 1;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
        ULONG STDMETHODCALLTYPE Release() override { return --refs; }
        HRESULT STDMETHODCALLTYPE GetGUID(GUID*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetSource(BSTR*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetDescription(BSTR*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD*) override { return E_NOTIMPL; }
    } info;
    {
        _com_error owning(DISP_E_EXCEPTION, &info, true);
        EXPECT_EQ(info.refs, 2u);
        _com_error copy = owning;
        EXPECT_EQ(info.refs, 3u);
        EXPECT_EQ(copy.Error(), DISP_E_EXCEPTION);
        _com_error plain(E_FAIL);
        plain = copy;
        EXPECT_EQ(info.refs, 4u);
        IErrorInfo* got = plain.ErrorInfo();
        EXPECT_EQ(got, &info);
        got->Release();
        plain = plain;  // self-assignment keeps the count
        EXPECT_EQ(info.refs, 4u);
    }
    EXPECT_EQ(info.refs, 1u);

    try {
        _com_issue_error(RPC_E_DISCONNECTED);
        FAIL() << "no exception";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), RPC_E_DISCONNECTED);
        EXPECT_EQ(error.ErrorInfo(), nullptr);
    }
    EXPECT_EQ(_com_error(static_cast<HRESULT>(0x80040205L)).WCode(), 5);
    EXPECT_EQ(_com_error(E_FAIL).WCode(), 0);
}

// What script clients pass, converted as DispInvoke converts it.
TEST(Variant, ChangeTypeCoercesScriptValuesAndRefusesWhatHasNoSuchForm) {
    const LONG bstrs = EmuLiveBstrCount();
    const struct {
        VARTYPE from;
        LONGLONG bits;  // the value, unless a text is given
        const char16_t* text;
        VARTYPE to;
        USHORT flags;
        HRESULT hr;
        const char16_t* expected;  // the result read back as text; null: target left alone
    } cases[] = {
        {VT_I2, -7, nullptr, VT_BSTR, 0, S_OK, u"-7"},
        {VT_BOOL, VARIANT_TRUE, nullptr, VT_BSTR, 0, S_OK, u"-1"},
        {VT_BOOL, VARIANT_FALSE, nullptr, VT_BSTR, VARIANT_ALPHABOOL, S_OK, u"False"},
        {VT_EMPTY, 0, nullptr, VT_BSTR, 0, S_OK, u""},
        {VT_BSTR, 0, u" 42 ", VT_I4, 0, S_OK, u"42"},
        {VT_BSTR, 0, u"2.5", VT_I4, 0, S_OK, u"2"},  // half to even
        {VT_BSTR, 0, u"1.5", VT_R8, 0, S_OK, u"1.5"},
        {VT_BSTR, 0, u"true", VT_BOOL, 0, S_OK, u"-1"},
        {VT_BSTR, 0, u"3000000000", VT_I4, 0, DISP_E_OVERFLOW, nullptr},
        {VT_I4, 300, nullptr, VT_UI1, 0, DISP_E_OVERFLOW, nullptr},
        {VT_BSTR, 0, u"twelve", VT_I4, 0, DISP_E_TYPEMISMATCH, nullptr},
        {VT_BSTR, 0, u"", VT_BOOL, 0, DISP_E_TYPEMISMATCH, nullptr},
        {VT_NULL, 0, nullptr, VT_BSTR, 0, DISP_E_TYPEMISMATCH, nullptr},
        {VT_DISPATCH, 0, nullptr, VT_I4, 0, DISP_E_TYPEMISMATCH, nullptr},
        {VT_I4, 1, nullptr, VT_DISPATCH, 0, DISP_E_BADVARTYPE, nullptr},
    };
    for (const auto& c : cases) {
        VARIANT source, result;
        source.vt = c.from;
        source.llVal = c.bits;
        if (c.text != nullptr) source.bstrVal = SysAllocString(c.text);
        result.vt = VT_I4;
        EXPECT_EQ(VariantChangeType(&result, &source, c.flags, c.to), c.hr) << c.to;
        if (c.expected != nullptr) {
            EXPECT_EQ(result.vt, c.to);
            EXPECT_EQ(VariantChangeType(&result, &result, 0, VT_BSTR), S_OK);  // in place
            EXPECT_EQ(std::u16string(result.bstrVal), c.expected);
        } else {
            EXPECT_EQ(result.vt, VT_I4) << "a failed change leaves the target alone";
        }
        VariantClear(&result);
        VariantClear(&source);
    }
    EXPECT_EQ(EmuLiveBstrCount(), bstrs);
}

}  // namespace
