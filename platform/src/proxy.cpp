// The counting proxy that stands between a client and a server object, as the COM
// proxy of an out-of-process server does on Windows. It forwards to the server, counts
// the references the client holds and the calls it makes, and carries injected faults.
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "counters.h"
#include "internal.h"
#include "platform/emu/control.h"
#include "platform/emu/dispatch.h"

namespace {

class Proxy;

// Reference counts of every proxy change under this lock, which also guards the table
// of proxies; server calls are made outside it.
std::mutex& proxyMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<IUnknown*, Proxy*>& proxiesByServer() {
    static std::map<IUnknown*, Proxy*> table;
    return table;
}
// Every face a client may hold, so a pointer can be recognised as ours.
std::map<const void*, Proxy*>& proxiesByFace() {
    static std::map<const void*, Proxy*> table;
    return table;
}

HRESULT InjectedQueryInterfaceFault(REFIID riid) {
    auto& f = emu::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    for (const auto& entry : f.queryInterface)
        if (entry.first == riid) return entry.second;
    return S_OK;
}

// S_OK, or the HRESULT an injected fault makes this call fail with.
HRESULT CountInvoke(DISPID member) {
    {
        auto& c = emu::counters();
        std::lock_guard<std::mutex> lock(c.mutex);
        ++c.invokes[member];
        ++c.invokeTotal;
    }
    auto& f = emu::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    HRESULT fault = S_OK;
    if (f.invoke != S_OK && ++f.invokeCallsSinceSet >= f.invokeFromCall) fault = f.invoke;
    if (f.invokeOnce != S_OK && ++f.invokeCallsSinceOnce == f.invokeOnceCall) {
        if (fault == S_OK) fault = f.invokeOnce;
        f.invokeOnce = S_OK;
    }
    return fault;
}

// The client's view of one dispatch interface of the server (IDispatch itself, or an
// automation interface derived from it).
class DispatchFace final : public IDispatch {
public:
    DispatchFace(Proxy& owner, REFIID iid, IDispatch* server)
        : m_owner(owner), m_iid(iid), m_server(server) {}
    ~DispatchFace() { m_server->Release(); }
    const IID& iid() const { return m_iid; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_server->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_server->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* dispids) override {
        return m_server->GetIDsOfNames(riid, names, count, locale, dispids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        emu::InvokeStarting();
        const HRESULT hr =
            Forward(member, riid, locale, flags, params, result, exception, argumentError);
        // The client waits in COM's modal loop, which takes the messages other threads
        // send meanwhile: the client's window procedures run inside this call.
        EmuDeliverSentMessages();
        return hr;
    }

private:
    HRESULT Forward(DISPID member, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                    VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
        const HRESULT fault = CountInvoke(member);
        if (fault != S_OK) return fault;
        // What the marshaller refuses before the call leaves the client.
        if (params == nullptr || (params->cArgs != 0 && params->rgvarg == nullptr) ||
            (params->cNamedArgs != 0 && params->rgdispidNamedArgs == nullptr) ||
            params->cNamedArgs > params->cArgs)
            return E_INVALIDARG;
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return m_server->Invoke(member, riid, locale, flags, params, result, exception,
                                argumentError);
    }

    Proxy& m_owner;
    IID m_iid;
    IDispatch* m_server;
};

class RunnableFace final : public IRunnableObject {
public:
    RunnableFace(Proxy& owner, IRunnableObject* server) : m_owner(owner), m_server(server) {}
    ~RunnableFace() { m_server->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetRunningClass(LPCLSID clsid) override {
        return m_server->GetRunningClass(clsid);
    }
    HRESULT STDMETHODCALLTYPE Run(LPBINDCTX context) override { return m_server->Run(context); }
    BOOL STDMETHODCALLTYPE IsRunning() override { return m_server->IsRunning(); }
    HRESULT STDMETHODCALLTYPE LockRunning(BOOL lock, BOOL lastUnlockCloses) override {
        return m_server->LockRunning(lock, lastUnlockCloses);
    }
    HRESULT STDMETHODCALLTYPE SetContainedObject(BOOL contained) override {
        return m_server->SetContainedObject(contained);
    }

private:
    Proxy& m_owner;
    IRunnableObject* m_server;
};

class Proxy final : public IUnknown {
public:
    // Takes over one reference to the server's identity.
    explicit Proxy(IUnknown* server) : m_server(server) {
        emu::counters().liveProxies.fetch_add(1);
    }
    ~Proxy() {
        m_dispatchFaces.clear();
        m_runnableFace.reset();
        m_server->Release();
        emu::counters().liveProxies.fetch_sub(1);
    }
    IUnknown* server() const { return m_server; }

    // Caller holds the proxy mutex.
    void AddRefLocked() {
        ++m_refs;
        emu::counters().liveProxyReferences.fetch_add(1);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        const HRESULT fault = InjectedQueryInterfaceFault(riid);
        if (fault != S_OK) return fault;
        if (riid == IID_IUnknown) return Hand(static_cast<IUnknown*>(this), object);
        if (riid == IID_IRunnableObject) return QueryRunnable(object);
        return QueryDispatch(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        std::lock_guard<std::mutex> lock(proxyMutex());
        AddRefLocked();
        return m_refs;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        {
            std::lock_guard<std::mutex> lock(proxyMutex());
            if (m_refs == 0) return 0;  // an unbalanced Release; nothing left to free
            emu::counters().liveProxyReferences.fetch_sub(1);
            if (--m_refs != 0) return m_refs;
            proxiesByServer().erase(m_server);
            proxiesByFace().erase(static_cast<IUnknown*>(this));
            for (const auto& face : m_dispatchFaces) proxiesByFace().erase(face.get());
            if (m_runnableFace) proxiesByFace().erase(m_runnableFace.get());
        }
        delete this;  // releases the server outside the lock
        return 0;
    }

private:
    HRESULT Hand(IUnknown* face, void** object) {
        AddRef();
        *object = face;
        return S_OK;
    }

    HRESULT QueryRunnable(void** object) {
        {
            std::lock_guard<std::mutex> lock(m_facesMutex);
            if (m_runnableFace) return Hand(m_runnableFace.get(), object);
        }
        IRunnableObject* runnable = nullptr;
        const HRESULT hr =
            m_server->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&runnable));
        if (FAILED(hr) || runnable == nullptr) return FAILED(hr) ? hr : E_NOINTERFACE;
        std::lock_guard<std::mutex> lock(m_facesMutex);
        if (!m_runnableFace) {
            m_runnableFace = std::make_unique<RunnableFace>(*this, runnable);
            std::lock_guard<std::mutex> table(proxyMutex());
            proxiesByFace()[m_runnableFace.get()] = this;
        } else {
            runnable->Release();
        }
        return Hand(m_runnableFace.get(), object);
    }

    // IDispatch, or an automation interface. Only dispatch interfaces cross: one the
    // server answers with the very pointer it gives for IDispatch (a dispinterface, or a
    // dual interface derived from IDispatch).
    HRESULT QueryDispatch(REFIID riid, void** object) {
        {
            std::lock_guard<std::mutex> lock(m_facesMutex);
            for (const auto& face : m_dispatchFaces)
                if (face->iid() == riid) return Hand(face.get(), object);
        }
        if (riid != IID_IDispatch) {
            IUnknown* asDispatch = nullptr;
            IUnknown* asRequested = nullptr;
            m_server->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&asDispatch));
            m_server->QueryInterface(riid, reinterpret_cast<void**>(&asRequested));
            const bool crosses = asDispatch != nullptr && asDispatch == asRequested;
            if (asDispatch != nullptr) asDispatch->Release();
            if (asRequested != nullptr) asRequested->Release();
            if (!crosses) return E_NOINTERFACE;
        }
        IDispatch* dispatch = nullptr;
        const HRESULT hr = m_server->QueryInterface(riid, reinterpret_cast<void**>(&dispatch));
        if (FAILED(hr) || dispatch == nullptr) return FAILED(hr) ? hr : E_NOINTERFACE;
        std::lock_guard<std::mutex> lock(m_facesMutex);
        for (const auto& face : m_dispatchFaces) {
            if (face->iid() == riid) {  // another thread was quicker
                dispatch->Release();
                return Hand(face.get(), object);
            }
        }
        m_dispatchFaces.push_back(std::make_unique<DispatchFace>(*this, riid, dispatch));
        {
            std::lock_guard<std::mutex> table(proxyMutex());
            proxiesByFace()[m_dispatchFaces.back().get()] = this;
        }
        return Hand(m_dispatchFaces.back().get(), object);
    }

    IUnknown* m_server;
    ULONG m_refs = 0;
    std::mutex m_facesMutex;
    std::vector<std::unique_ptr<DispatchFace>> m_dispatchFaces;
    std::unique_ptr<RunnableFace> m_runnableFace;
};

HRESULT DispatchFace::QueryInterface(REFIID riid, void** object) {
    return m_owner.QueryInterface(riid, object);
}
ULONG DispatchFace::AddRef() { return m_owner.AddRef(); }
ULONG DispatchFace::Release() { return m_owner.Release(); }
HRESULT RunnableFace::QueryInterface(REFIID riid, void** object) {
    return m_owner.QueryInterface(riid, object);
}
ULONG RunnableFace::AddRef() { return m_owner.AddRef(); }
ULONG RunnableFace::Release() { return m_owner.Release(); }

}  // namespace

namespace emu {

IUnknown* WrapInProxy(IUnknown* server) {
    if (server == nullptr) return nullptr;
    if (IUnknown* inner = UnwrapProxy(server)) {  // a proxy of a proxy is the same proxy
        IUnknown* proxy = WrapInProxy(inner);
        inner->Release();
        return proxy;
    }
    IUnknown* identity = nullptr;
    if (FAILED(server->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) ||
        identity == nullptr)
        return nullptr;
    Proxy* shared = nullptr;
    {
        std::lock_guard<std::mutex> lock(proxyMutex());
        auto it = proxiesByServer().find(identity);
        if (it != proxiesByServer().end()) {
            shared = it->second;
            shared->AddRefLocked();
        } else {
            auto* proxy = new (std::nothrow) Proxy(identity);
            if (proxy != nullptr) {
                proxy->AddRefLocked();
                proxiesByServer()[identity] = proxy;
                proxiesByFace()[static_cast<IUnknown*>(proxy)] = proxy;
                return proxy;  // it keeps the identity reference
            }
        }
    }
    // Server code runs outside the lock: the existing proxy holds its own reference.
    identity->Release();
    return shared;
}

IUnknown* UnwrapProxy(IUnknown* object) {
    std::lock_guard<std::mutex> lock(proxyMutex());
    auto it = proxiesByFace().find(object);
    if (it == proxiesByFace().end()) return nullptr;
    IUnknown* server = it->second->server();
    server->AddRef();
    return server;
}

}  // namespace emu
