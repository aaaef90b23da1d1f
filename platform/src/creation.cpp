// Object creation: class objects registered in the process, else the registered
// in-process server module's DllGetClassObject, exactly the in-process server protocol.
#include <dlfcn.h>

#include <map>
#include <mutex>
#include <vector>

#include "counters.h"
#include "internal.h"

namespace {

typedef HRESULT (*DllGetClassObjectFunction)(REFCLSID, REFIID, void**);

struct ClassObject {
    DWORD cookie;
    CLSID clsid;
    IUnknown* factory;
};

struct ClassObjects {
    std::mutex mutex;
    std::vector<ClassObject> entries;
    DWORD nextCookie = 1;
};

ClassObjects& classObjects() {
    static ClassObjects instance;
    return instance;
}

// Modules stay loaded: objects they served may outlive every reference we know of.
HRESULT LoadEntry(const std::string& path, DllGetClassObjectFunction* entry) {
    static std::mutex mutex;
    static std::map<std::string, void*> modules;
    std::lock_guard<std::mutex> lock(mutex);
    void*& handle = modules[path];
    if (handle == nullptr) handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        modules.erase(path);
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    }
    *entry = reinterpret_cast<DllGetClassObjectFunction>(dlsym(handle, "DllGetClassObject"));
    return *entry != nullptr ? S_OK : CO_E_ERRORINDLL;
}

bool Hidden() {
    auto& f = emu::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    return f.classNotRegistered;
}

HRESULT GetClassFactory(REFCLSID clsid, IClassFactory** factory) {
    *factory = nullptr;
    if (Hidden()) return REGDB_E_CLASSNOTREG;
    IUnknown* registered = nullptr;
    {
        auto& c = classObjects();
        std::lock_guard<std::mutex> lock(c.mutex);
        for (const auto& entry : c.entries) {
            if (entry.clsid == clsid) {
                registered = entry.factory;
                registered->AddRef();
                break;
            }
        }
    }
    if (registered != nullptr) {
        const HRESULT hr =
            registered->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(factory));
        registered->Release();
        return hr;
    }
    emu::Registration registration;
    if (!emu::FindRegistrationByClsid(clsid, &registration)) return REGDB_E_CLASSNOTREG;
    DllGetClassObjectFunction entry = nullptr;
    const HRESULT hr = LoadEntry(registration.modulePath, &entry);
    if (FAILED(hr)) return hr;
    return entry(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory));
}

HRESULT InjectedCreationFault(DWORD context) {
    auto& f = emu::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (f.createInstance != S_OK) return f.createInstance;
    if (f.rejectRemoteContext && (context & CLSCTX_REMOTE_SERVER) != 0) return E_INVALIDARG;
    return S_OK;
}

}  // namespace

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD clsContext, REFIID riid,
                         LPVOID* object) {
    {
        auto& c = emu::counters();
        std::lock_guard<std::mutex> lock(c.mutex);
        c.createContexts.push_back(clsContext);
    }
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!emu::ApartmentEntered()) return CO_E_NOTINITIALIZED;
    const HRESULT fault = InjectedCreationFault(clsContext);
    if (fault != S_OK) return fault;
    // The server stands for a separate application: aggregation cannot cross to it.
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if ((clsContext & (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER)) == 0)
        return REGDB_E_CLASSNOTREG;

    IClassFactory* factory = nullptr;
    HRESULT hr = GetClassFactory(clsid, &factory);
    if (FAILED(hr)) return hr;
    if (factory == nullptr) return E_NOINTERFACE;
    IUnknown* server = nullptr;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&server));
    factory->Release();
    if (FAILED(hr)) return hr;
    if (server == nullptr) return E_UNEXPECTED;
    {
        auto& c = emu::counters();
        std::lock_guard<std::mutex> lock(c.mutex);
        ++c.serverObjectsCreated;
    }
    IUnknown* proxy = emu::WrapInProxy(server);
    server->Release();
    if (proxy == nullptr) return E_OUTOFMEMORY;
    hr = proxy->QueryInterface(riid, object);
    proxy->Release();
    return hr;
}

HRESULT CoRegisterClassObject(REFCLSID clsid, LPUNKNOWN factory, DWORD clsContext, DWORD flags,
                              LPDWORD cookie) {
    (void)clsContext;
    (void)flags;
    if (factory == nullptr || cookie == nullptr) return E_INVALIDARG;
    if (!emu::ApartmentEntered()) return CO_E_NOTINITIALIZED;
    factory->AddRef();
    auto& c = classObjects();
    std::lock_guard<std::mutex> lock(c.mutex);
    *cookie = c.nextCookie++;
    c.entries.push_back({*cookie, clsid, factory});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
    if (!emu::ApartmentEntered()) return CO_E_NOTINITIALIZED;
    IUnknown* factory = nullptr;
    {
        auto& c = classObjects();
        std::lock_guard<std::mutex> lock(c.mutex);
        for (auto it = c.entries.begin(); it != c.entries.end(); ++it) {
            if (it->cookie == cookie) {
                factory = it->factory;
                c.entries.erase(it);
                break;
            }
        }
    }
    if (factory == nullptr) return E_INVALIDARG;
    factory->Release();
    return S_OK;
}
