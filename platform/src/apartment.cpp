// Apartment initialisation and OleRun.
#include <mutex>

#include "counters.h"
#include "internal.h"

namespace {
thread_local ULONG t_initialisations = 0;
thread_local DWORD t_model = COINIT_APARTMENTTHREADED;
}  // namespace

namespace emu {
bool ApartmentEntered() { return t_initialisations > 0; }
}  // namespace emu

HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit) {
    (void)reserved;
    const DWORD model = coInit & COINIT_APARTMENTTHREADED;
    if (t_initialisations == 0) {
        t_model = model;
        t_initialisations = 1;
        return S_OK;
    }
    if (model != t_model) return RPC_E_CHANGED_MODE;
    ++t_initialisations;
    return S_FALSE;
}

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize(void) {
    if (t_initialisations > 0) --t_initialisations;
}

HRESULT OleRun(LPUNKNOWN object) {
    HRESULT fault;
    {
        auto& c = emu::counters();
        std::lock_guard<std::mutex> lock(c.mutex);
        ++c.oleRunCalls;
    }
    {
        auto& f = emu::faults();
        std::lock_guard<std::mutex> lock(f.mutex);
        fault = f.oleRun;
    }
    if (object == nullptr) return E_INVALIDARG;
    if (fault != S_OK) return fault;
    IRunnableObject* runnable = nullptr;
    // An object that cannot be run is taken to be running.
    if (FAILED(object->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&runnable))) ||
        runnable == nullptr)
        return S_OK;
    const HRESULT hr = runnable->Run(nullptr);
    runnable->Release();
    return hr;
}
