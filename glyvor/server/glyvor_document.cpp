#include "glyvor_document.h"

#include <new>
#include <string>

#include "glyvor/automation.h"
#include "glyvor/encoding.h"
#include "method_arguments.h"
#include "methods.h"
#include "type_info.h"

namespace glyvor {

namespace {

std::atomic<long> g_liveObjects{0};
DocumentEvents g_events;

const Method* FindMethod(DISPID id) {
    for (const Method& m : kMethods) {
        if (m.id == id) return &m;
    }
    return nullptr;
}

// OLECHAR is wchar_t on Windows and char16_t here: both UTF-16 code units,
// copied one by one rather than reinterpreted.
std::u16string Units(BSTR text) { return std::u16string(text, text + SysStringLen(text)); }

BSTR NewBstr(std::u16string_view units) {
    const std::basic_string<OLECHAR> copy(units.begin(), units.end());
    return SysAllocStringLen(copy.data(), static_cast<UINT>(copy.size()));
}

std::string Text(BSTR text) {
    std::string utf8;
    if (!Utf16ToUtf8(Units(text), &utf8)) utf8.clear();
    return utf8;
}

// Stores a new BSTR in an in/out argument, freeing what was there.
HRESULT Store(MethodArguments& args, UINT position, const std::string& utf8) {
    BSTR fresh = NewBstr(Utf8ToUtf16(utf8));
    if (fresh == nullptr) return E_OUTOFMEMORY;
    return args.StoreText(position, fresh);
}

bool SameName(const OLECHAR* a, const char16_t* b) {
    for (; *a && *b; ++a, ++b) {
        const char16_t x = (*a >= u'A' && *a <= u'Z') ? *a - u'A' + u'a' : *a;
        const char16_t y = (*b >= u'A' && *b <= u'Z') ? *b - u'A' + u'a' : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

}  // namespace

GlyvorDocument::GlyvorDocument(std::shared_ptr<const FontService> service)
    : m_service(std::move(service)) {
    ++g_liveObjects;
}

GlyvorDocument::~GlyvorDocument() {
    if (--g_liveObjects == 0 && g_events.lastObjectGone != nullptr) g_events.lastObjectGone();
}

void GlyvorDocument::SetEvents(const DocumentEvents& events) { g_events = events; }

long GlyvorDocument::LiveObjects() { return g_liveObjects.load(); }

HRESULT GlyvorDocument::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IGlyvor) {
        // IGlyvor is a dispatch interface: its face is IDispatch.
        *object = static_cast<IDispatch*>(this);
    } else if (riid == IID_IRunnableObject) {
        *object = static_cast<IRunnableObject*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG GlyvorDocument::AddRef() { return ++m_refs; }

ULONG GlyvorDocument::Release() {
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HRESULT GlyvorDocument::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = GlyvorTypeInfoCount();
    return S_OK;
}

HRESULT GlyvorDocument::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return LoadGlyvorTypeInfo(info);
}

HRESULT GlyvorDocument::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT nameCount, LCID,
                                      DISPID* dispids) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (nameCount == 0) return S_OK;
    if (names == nullptr || dispids == nullptr) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < nameCount; ++i) dispids[i] = DISPID_UNKNOWN;
    for (const Method& m : kMethods) {
        if (names[0] != nullptr && SameName(names[0], m.name)) dispids[0] = m.id;
    }
    if (dispids[0] == DISPID_UNKNOWN || nameCount > 1) hr = DISP_E_UNKNOWNNAME;  // no named args
    return hr;
}

HRESULT GlyvorDocument::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (g_events.invoked != nullptr) g_events.invoked(member);
    const HRESULT hr = InvokeMethod(member, riid, flags, params, result, exception, argumentError);
    if (g_events.answering != nullptr) g_events.answering(member);
    return hr;
}

HRESULT GlyvorDocument::InvokeMethod(DISPID member, REFIID riid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    const Method* method = FindMethod(member);
    if (method == nullptr || (flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr) return E_INVALIDARG;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != method->count) return DISP_E_BADPARAMCOUNT;
    if (params->rgvarg == nullptr) return E_INVALIDARG;
    MethodArguments args(*method, *params);
    const HRESULT checked = args.Check(argumentError);
    if (FAILED(checked)) return checked;
    if (result != nullptr) VariantInit(result);
    try {
        switch (member) {
            case kDispidMatchFont:
                return MatchFont(args);
            case kDispidGetFontState:
                return GetFontState(args);
            default:
                return LoadFont(args);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        // Nothing may unwind into the caller.
        if (exception != nullptr) {
            *exception = EXCEPINFO{};
            exception->bstrSource = NewBstr(u"Glyvor.Document");
            exception->bstrDescription = NewBstr(u"Unexpected failure in the font manager");
            exception->scode = E_UNEXPECTED;
        }
        return DISP_E_EXCEPTION;
    }
}

HRESULT GlyvorDocument::MatchFont(MethodArguments& args) {
    MatchAnswer answer;
    const bool matched = m_service->Match(Text(args.Text(0)), &answer);
    if (matched) {
        HRESULT hr = Store(args, 7, answer.identifier);
        if (SUCCEEDED(hr)) hr = Store(args, 8, answer.detail);
        if (FAILED(hr)) return hr;
    }
    return args.StoreFlag(9, matched);
}

HRESULT GlyvorDocument::GetFontState(MethodArguments& args) {
    return args.StoreLong(1, static_cast<LONG>(m_service->State(Text(args.Text(0)))));
}

HRESULT GlyvorDocument::LoadFont(MethodArguments& args) {
    std::string identifier;
    std::string error;
    bool ok = false;
    if (!Utf16ToUtf8(Units(args.Text(0)), &identifier)) {
        error = "Cannot load a font: its identifier is not valid UTF-16";
    } else {
        ok = m_service->Load(identifier, args.Flag(2), &error);
    }
    if (!ok) {
        const HRESULT hr = Store(args, 3, error);
        if (FAILED(hr)) return hr;
    }
    const HRESULT hr = args.StoreFlag(4, ok);
    if (ok && g_events.fontsChanged != nullptr) g_events.fontsChanged();
    return hr;
}

HRESULT GlyvorDocument::GetRunningClass(LPCLSID clsid) {
    if (clsid == nullptr) return E_INVALIDARG;
    *clsid = CLSID_GlyvorDocument;
    return S_OK;
}

HRESULT GlyvorDocument::Run(LPBINDCTX) {
    m_running = true;
    return S_OK;
}

BOOL GlyvorDocument::IsRunning() { return m_running ? TRUE : FALSE; }

HRESULT GlyvorDocument::LockRunning(BOOL, BOOL) { return S_OK; }

HRESULT GlyvorDocument::SetContainedObject(BOOL) { return S_OK; }

}  // namespace glyvor
