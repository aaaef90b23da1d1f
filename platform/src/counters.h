// The emulation's counters and injected faults, shared by every part of the library.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "platform/emu/types.h"

namespace emu {

struct Counters {
    // Live states: never reset.
    std::atomic<long> liveBstrs{0};
    std::atomic<long> liveProxyReferences{0};
    std::atomic<long> liveProxies{0};

    std::mutex mutex;  // guards everything below
    std::map<DISPID, ULONG> invokes;
    ULONG invokeTotal = 0;
    std::vector<DWORD> createContexts;
    ULONG serverObjectsCreated = 0;
    ULONG getActiveObjectCalls = 0;
    ULONG oleRunCalls = 0;
};
Counters& counters();

struct Faults {
    std::mutex mutex;  // guards everything below
    bool classNotRegistered = false;
    bool rejectRemoteContext = false;
    HRESULT createInstance = S_OK;
    HRESULT oleRun = S_OK;
    std::vector<std::pair<IID, HRESULT>> queryInterface;
    HRESULT invoke = S_OK;
    ULONG invokeFromCall = 0;
    ULONG invokeCallsSinceSet = 0;
    HRESULT invokeOnce = S_OK;
    ULONG invokeOnceCall = 0;
    ULONG invokeCallsSinceOnce = 0;
};
Faults& faults();

}  // namespace emu
