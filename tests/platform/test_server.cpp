// An automation server module: DllGetClassObject hands out a class factory whose
// objects answer IDispatch, an automation interface and IRunnableObject.
#include "test_server.h"

#include <atomic>
#include <string>

namespace {

std::atomic<LONG> g_liveObjects{0};
std::atomic<LONG> g_runCalls{0};

struct PlainInterface : IUnknown {};

std::u16string Describe(const VARIANT& v) {
    switch (v.vt) {
        case VT_I4: {
            const std::string digits = std::to_string(v.lVal);
            return u"I4:" + std::u16string(digits.begin(), digits.end());
        }
        case VT_BSTR:
            return v.bstrVal == nullptr
                       ? u"BSTR:null"
                       : u"BSTR:" + std::u16string(v.bstrVal, SysStringLen(v.bstrVal));
        case VT_BOOL:
            return v.boolVal ? u"BOOL:true" : u"BOOL:false";
        case VT_BYREF | VT_BSTR:
            return u"BSTR*";
        case VT_BYREF | VT_BOOL:
            return u"BOOL*";
        case VT_BYREF | VT_I4:
            return u"I4*";
        default:
            return u"?";
    }
}

class TestObject final : public IDispatch, public IRunnableObject, public PlainInterface {
public:
    TestObject() { ++g_liveObjects; }
    ~TestObject() { --g_liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kTestAutomationIid)
            *object = static_cast<IDispatch*>(this);
        else if (riid == IID_IRunnableObject)
            *object = static_cast<IRunnableObject*>(this);
        else if (riid == kTestPlainIid)
            *object = static_cast<PlainInterface*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override {
        if (params == nullptr) return E_INVALIDARG;
        if (flags != DISPATCH_METHOD) return DISP_E_MEMBERNOTFOUND;
        if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        switch (member) {
            case kDispidDescribe: {
                std::u16string text;
                for (UINT i = 0; i < params->cArgs; ++i)
                    text += (i ? u"|" : u"") + Describe(params->rgvarg[i]);
                if (result != nullptr) {
                    result->vt = VT_BSTR;
                    result->bstrVal =
                        SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
                }
                return S_OK;
            }
            case kDispidRepeat: {
                if (params->cArgs != 4) return DISP_E_BADPARAMCOUNT;
                VARIANT* a = params->rgvarg;  // reverse order: a[3] is the first argument
                if (a[3].vt != VT_BSTR || a[2].vt != VT_I4 || a[1].vt != (VT_BYREF | VT_BSTR) ||
                    a[0].vt != (VT_BYREF | VT_BOOL))
                    return DISP_E_TYPEMISMATCH;
                std::u16string text(a[3].bstrVal, SysStringLen(a[3].bstrVal)), out;
                for (LONG i = 0; i < a[2].lVal; ++i) out += text;
                *a[1].pbstrVal = SysAllocStringLen(out.data(), static_cast<UINT>(out.size()));
                *a[0].pboolVal = VARIANT_TRUE;
                return S_OK;
            }
            case kDispidFail:
                if (exception != nullptr) {
                    *exception = EXCEPINFO{};
                    exception->bstrDescription = SysAllocString(u"refused");
                    exception->scode = E_FAIL;
                }
                return DISP_E_EXCEPTION;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

    HRESULT STDMETHODCALLTYPE GetRunningClass(LPCLSID clsid) override {
        if (clsid == nullptr) return E_INVALIDARG;
        *clsid = kTestServerClsid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Run(LPBINDCTX) override {
        ++g_runCalls;
        m_running = true;
        return S_OK;
    }
    BOOL STDMETHODCALLTYPE IsRunning() override { return m_running; }
    HRESULT STDMETHODCALLTYPE LockRunning(BOOL, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetContainedObject(BOOL) override { return S_OK; }

private:
    std::atomic<ULONG> m_refs{1};
    bool m_running = false;
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: its count does not matter.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        TestObject* created = new TestObject;
        const HRESULT hr = created->QueryInterface(riid, object);
        created->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid,
                                                                            REFIID riid,
                                                                            void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (clsid != kTestServerClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, object);
}

extern "C" __attribute__((visibility("default"))) LONG TestServerLiveObjects(void) {
    return g_liveObjects.load();
}

extern "C" __attribute__((visibility("default"))) LONG TestServerRunCalls(void) {
    return g_runCalls.load();
}
