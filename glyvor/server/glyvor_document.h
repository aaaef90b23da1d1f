// The Glyvor document object: IDispatch for the three automation methods and
// IRunnableObject, over one loaded catalogue and the machine folder.
//
// MatchFont answers a name by FontMatcher's rules (font_matcher.h): any name a
// catalogued font carries, in any language, compared after NFKC and case
// folding and without spaces, hyphens and underscores, also as "Family,Style"
// and without a PDF subset tag; never another font in its place. Among faces
// of the same font (equal PostScript names), whichever rule found them, it
// offers the newer revision, then OpenType (CFF), TrueType, Type 1, then the
// earlier group, path and face index.
#pragma once

#include <atomic>
#include <memory>

#include "glyvor/font_service.h"
#include "platform/win32.h"

namespace glyvor {

class MethodArguments;

// What a server does around its objects; any may be null.
struct DocumentEvents {
    // Every Invoke, failed ones included, before it is checked; and as it returns.
    void (*invoked)(DISPID member) = nullptr;
    void (*answering)(DISPID member) = nullptr;
    // A font was activated or installed (a Windows server tells every window).
    void (*fontsChanged)() = nullptr;
    // The last object of the process went; called from that object's release.
    void (*lastObjectGone)() = nullptr;
};

class GlyvorDocument final : public IDispatch, public IRunnableObject {
public:
    // Starts with one reference, which the creator owns.
    explicit GlyvorDocument(std::shared_ptr<const FontService> service);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT nameCount,
                                            LCID locale, DISPID* dispids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    HRESULT STDMETHODCALLTYPE GetRunningClass(LPCLSID clsid) override;
    HRESULT STDMETHODCALLTYPE Run(LPBINDCTX bindContext) override;
    BOOL STDMETHODCALLTYPE IsRunning() override;
    HRESULT STDMETHODCALLTYPE LockRunning(BOOL lock, BOOL lastUnlockCloses) override;
    HRESULT STDMETHODCALLTYPE SetContainedObject(BOOL contained) override;

    // Objects alive in this module, for DllCanUnloadNow.
    static long LiveObjects();
    // Set once, before the first object is made.
    static void SetEvents(const DocumentEvents& events);

private:
    ~GlyvorDocument();
    HRESULT InvokeMethod(DISPID member, REFIID riid, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

    HRESULT MatchFont(MethodArguments& args);
    HRESULT GetFontState(MethodArguments& args);
    HRESULT LoadFont(MethodArguments& args);

    std::atomic<ULONG> m_refs{1};
    std::atomic<bool> m_running{false};
    std::shared_ptr<const FontService> m_service;
};

}  // namespace glyvor
