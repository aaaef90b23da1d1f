// The server module's entry points: the class factory, the catalogue each new
// object is given, and the call counters.
#include <array>
#include <atomic>

#include "glyvor/automation.h"
#include "glyvor_document.h"
#include "platform/emu/control.h"
#include "service_cache.h"

namespace glyvor {

namespace {

// Slot 0 collects every identifier that is not one of the three methods.
std::array<std::atomic<ULONG>, 4> g_invokeCounts{};

std::size_t Slot(DISPID member) {
    switch (member) {
        case kDispidLoadFont:
            return 1;
        case kDispidMatchFont:
            return 2;
        case kDispidGetFontState:
            return 3;
        default:
            return 0;
    }
}

void CountInvoke(DISPID member) { ++g_invokeCounts[Slot(member)]; }

// Set when the module is loaded, before any object exists.
const bool g_counting = [] {
    DocumentEvents events;
    events.invoked = CountInvoke;
    GlyvorDocument::SetEvents(events);
    return true;
}();

std::atomic<long> g_serverLocks{0};

class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // The factory is a static object: counts only keep the module loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++g_serverLocks); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--g_serverLocks); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        const char* machine = EmuGetMachineFolder();
        // Without a machine only the object's own refusals can be answered.
        if (machine == nullptr && object != nullptr && outer == nullptr) {
            *object = nullptr;
            return E_UNEXPECTED;
        }
        return CreateDocumentObject(machine != nullptr ? machine : "", outer, riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            ++g_serverLocks;
        } else {
            --g_serverLocks;
        }
        return S_OK;
    }
};

ClassFactory g_factory;

}  // namespace

}  // namespace glyvor

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid,
                                                                 LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (clsid != glyvor::CLSID_GlyvorDocument) return CLASS_E_CLASSNOTAVAILABLE;
    return glyvor::g_factory.QueryInterface(riid, object);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return glyvor::g_serverLocks == 0 && glyvor::GlyvorDocument::LiveObjects() == 0 ? S_OK
                                                                                    : S_FALSE;
}

__attribute__((visibility("default"))) ULONG GlyvorServerInvokeCount(DISPID member) {
    return glyvor::g_invokeCounts[glyvor::Slot(member)].load();
}

__attribute__((visibility("default"))) void GlyvorServerResetInvokeCounts() {
    for (auto& count : glyvor::g_invokeCounts) count = 0;
}

}  // extern "C"
