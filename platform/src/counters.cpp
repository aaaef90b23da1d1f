#include "counters.h"

#include "platform/emu/control.h"

namespace emu {

Counters& counters() {
    static Counters instance;
    return instance;
}

Faults& faults() {
    static Faults instance;
    return instance;
}

}  // namespace emu

using emu::counters;
using emu::faults;

LONG EmuLiveBstrCount(void) { return static_cast<LONG>(counters().liveBstrs.load()); }
LONG EmuLiveProxyReferences(void) {
    return static_cast<LONG>(counters().liveProxyReferences.load());
}
LONG EmuLiveProxyCount(void) { return static_cast<LONG>(counters().liveProxies.load()); }

ULONG EmuInvokeCount(DISPID member) {
    auto& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    auto it = c.invokes.find(member);
    return it == c.invokes.end() ? 0 : it->second;
}

ULONG EmuInvokeTotal(void) {
    auto& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.invokeTotal;
}

ULONG EmuCreateInstanceCount(void) {
    auto& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    return static_cast<ULONG>(c.createContexts.size());
}

DWORD EmuCreateInstanceContext(ULONG index) {
    auto& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    return index < c.createContexts.size() ? c.createContexts[index] : 0;
}

ULONG EmuServerObjectsCreated(void) {
    auto& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.serverObjectsCreated;
}

ULONG EmuGetActiveObjectCount(void) {
    auto& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.getActiveObjectCalls;
}

ULONG EmuOleRunCount(void) {
    auto& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.oleRunCalls;
}

namespace emu {
// Defined beside the records they reset.
void ResetShellRecords();
void ResetBroadcastRecords();
void ResetSentMessages();
}  // namespace emu

void EmuResetCounters(void) {
    {
        auto& c = counters();
        std::lock_guard<std::mutex> lock(c.mutex);
        c.invokes.clear();
        c.invokeTotal = 0;
        c.createContexts.clear();
        c.serverObjectsCreated = 0;
        c.getActiveObjectCalls = 0;
        c.oleRunCalls = 0;
    }
    emu::ResetShellRecords();
    emu::ResetBroadcastRecords();
}

void EmuSetFaultClassNotRegistered(BOOL on) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.classNotRegistered = on != FALSE;
}

void EmuSetFaultRejectRemoteContext(BOOL on) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.rejectRemoteContext = on != FALSE;
}

void EmuSetFaultCreateInstance(HRESULT hr) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.createInstance = hr;
}

void EmuSetFaultOleRun(HRESULT hr) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.oleRun = hr;
}

void EmuSetFaultQueryInterface(REFIID iid, HRESULT hr) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    for (auto it = f.queryInterface.begin(); it != f.queryInterface.end(); ++it) {
        if (it->first == iid) {
            f.queryInterface.erase(it);
            break;
        }
    }
    if (hr != S_OK) f.queryInterface.emplace_back(iid, hr);
}

void EmuSetFaultInvoke(ULONG fromCall, HRESULT hr) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.invoke = hr;
    f.invokeFromCall = fromCall == 0 ? 1 : fromCall;
    f.invokeCallsSinceSet = 0;
}

void EmuSetFaultInvokeCall(ULONG call, HRESULT hr) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.invokeOnce = call == 0 ? S_OK : hr;
    f.invokeOnceCall = call;
    f.invokeCallsSinceOnce = 0;
}

void EmuClearFaults(void) {
    auto& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.classNotRegistered = false;
    f.rejectRemoteContext = false;
    f.createInstance = S_OK;
    f.oleRun = S_OK;
    f.queryInterface.clear();
    f.invoke = S_OK;
    f.invokeFromCall = 0;
    f.invokeCallsSinceSet = 0;
    f.invokeOnce = S_OK;
    f.invokeOnceCall = 0;
    f.invokeCallsSinceOnce = 0;
    emu::ResetSentMessages();
}
