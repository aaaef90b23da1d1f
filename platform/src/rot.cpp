// The running-object table: one per simulated machine's process, shared by every module
// through this library.
#include <mutex>
#include <vector>

#include "counters.h"
#include "internal.h"

namespace {

struct Entry {
    DWORD cookie;
    CLSID clsid;
    IUnknown* object;  // the server object, never a proxy
    bool strong;
};

struct Table {
    std::mutex mutex;
    std::vector<Entry> entries;
    DWORD nextCookie = 1;
};

Table& table() {
    static Table instance;
    return instance;
}

}  // namespace

HRESULT RegisterActiveObject(IUnknown* object, REFCLSID clsid, DWORD flags, DWORD* cookie) {
    if (object == nullptr || cookie == nullptr) return E_INVALIDARG;
    if (flags != ACTIVEOBJECT_STRONG && flags != ACTIVEOBJECT_WEAK) return E_INVALIDARG;
    if (!emu::ApartmentEntered()) return CO_E_NOTINITIALIZED;
    // A client registering what it holds registers the server object behind the proxy.
    IUnknown* server = emu::UnwrapProxy(object);
    if (server == nullptr) {
        server = object;
        server->AddRef();
    }
    const bool strong = flags == ACTIVEOBJECT_STRONG;
    {
        Table& t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        *cookie = t.nextCookie++;
        t.entries.push_back({*cookie, clsid, server, strong});
    }
    if (!strong) server->Release();
    return S_OK;
}

HRESULT RevokeActiveObject(DWORD cookie, void* reserved) {
    (void)reserved;
    if (!emu::ApartmentEntered()) return CO_E_NOTINITIALIZED;
    Entry revoked{};
    bool found = false;
    {
        Table& t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        for (auto it = t.entries.begin(); it != t.entries.end(); ++it) {
            if (it->cookie == cookie) {
                revoked = *it;
                found = true;
                t.entries.erase(it);
                break;
            }
        }
    }
    if (!found) return E_INVALIDARG;
    if (revoked.strong) revoked.object->Release();
    return S_OK;
}

HRESULT GetActiveObject(REFCLSID clsid, void* reserved, IUnknown** object) {
    (void)reserved;
    {
        auto& c = emu::counters();
        std::lock_guard<std::mutex> lock(c.mutex);
        ++c.getActiveObjectCalls;
    }
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!emu::ApartmentEntered()) return CO_E_NOTINITIALIZED;
    IUnknown* server = nullptr;
    {
        Table& t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        // The latest registration of the class wins.
        for (auto it = t.entries.rbegin(); it != t.entries.rend(); ++it) {
            if (it->clsid == clsid) {
                server = it->object;
                server->AddRef();
                break;
            }
        }
    }
    if (server == nullptr) return MK_E_UNAVAILABLE;
    *object = emu::WrapInProxy(server);
    server->Release();
    return *object != nullptr ? S_OK : E_OUTOFMEMORY;
}
