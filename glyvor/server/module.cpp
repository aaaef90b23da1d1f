// The server module's entry points: the class factory, the catalogue each new
// object is given, and the call counters.
#include <sys/stat.h>

#include <array>
#include <atomic>
#include <fstream>
#include <mutex>

#include "glyvor/automation.h"
#include "glyvor/catalog.h"
#include "glyvor/font_service.h"
#include "glyvor/machine.h"
#include "glyvor_document.h"
#include "invoke_counts.h"
#include "platform/emu/control.h"

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

std::atomic<long> g_serverLocks{0};

std::string CatalogPathFor(const std::string& machine) {
    std::ifstream in(RegistrationFile(machine));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("catalog=", 0) == 0 && line.size() > 8) return line.substr(8);
    }
    return DefaultCatalogPath(machine);
}

// The catalogue is read once and shared by the objects made from it; a newer
// file (re-indexed) is read again for the next object.
HRESULT ServiceForNewObject(std::shared_ptr<const FontService>* service) {
    static std::mutex mutex;
    static std::shared_ptr<const FontService> cached;
    static std::string cachedKey;
    const char* machine = EmuGetMachineFolder();
    if (machine == nullptr) return E_UNEXPECTED;
    const std::string path = CatalogPathFor(machine);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return E_FAIL;
    const std::string key =
        std::string(machine) + '\n' + path + '\n' + std::to_string(info.st_mtim.tv_sec) + '.' +
        std::to_string(info.st_mtim.tv_nsec) + '\n' + std::to_string(info.st_size);
    std::lock_guard<std::mutex> lock(mutex);
    if (!cached || key != cachedKey) {
        auto catalog = std::make_shared<Catalog>();
        std::string error;
        if (!catalog->Load(path, &error)) return E_FAIL;
        cached = std::make_shared<const FontService>(std::move(catalog), machine);
        cachedKey = key;
    }
    *service = cached;
    return S_OK;
}

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
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        try {
            std::shared_ptr<const FontService> service;
            const HRESULT hr = ServiceForNewObject(&service);
            if (FAILED(hr)) return hr;
            GlyvorDocument* document = new GlyvorDocument(std::move(service));
            const HRESULT qi = document->QueryInterface(riid, object);
            document->Release();
            return qi;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
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

void CountInvoke(DISPID member) { ++g_invokeCounts[Slot(member)]; }

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
