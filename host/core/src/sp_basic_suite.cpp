#include <cstring>

#include "host/current_plugin.h"
#include "host/host.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

ASErr HOSTAPI AcquireSuite(const char* name, ASInt32 version, const void** suite) {
    Host* host = Host::Current();
    if (host == nullptr) return kBadParameterErr;
    return host->AcquireSuite(name, version, suite);
}

ASErr HOSTAPI ReleaseSuite(const char* name, ASInt32 version) {
    Host* host = Host::Current();
    if (host == nullptr) return kBadParameterErr;
    return host->ReleaseSuite(name, version);
}

ASBoolean HOSTAPI IsEqual(const char* token1, const char* token2) {
    if (token1 == nullptr || token2 == nullptr) return token1 == token2;
    return std::strcmp(token1, token2) == 0;
}

ASErr HOSTAPI AllocateBlock(std::size_t size, void** block) {
    Host* host = Host::Current();
    if (block == nullptr) return kBadParameterErr;
    *block = nullptr;
    if (host == nullptr) return kBadParameterErr;
    *block = host->Memory().Allocate(CurrentPluginScope::Current(), size);
    return *block == nullptr ? kHostOutOfMemoryErr : kNoErr;
}

ASErr HOSTAPI FreeBlock(void* block) {
    Host* host = Host::Current();
    if (host == nullptr) return kBadParameterErr;
    return host->Memory().Free(CurrentPluginScope::Current(), block);
}

ASErr HOSTAPI ReallocateBlock(void* block, std::size_t newSize, void** newBlock) {
    Host* host = Host::Current();
    if (host == nullptr) return kBadParameterErr;
    return host->Memory().Reallocate(CurrentPluginScope::Current(), block, newSize, newBlock);
}

ASErr HOSTAPI Undefined() { return kNotImplementedErr; }

SPBasicSuite g_basic = {AcquireSuite, ReleaseSuite,    IsEqual,  AllocateBlock,
                        FreeBlock,    ReallocateBlock, Undefined};

}  // namespace

SPBasicSuite* BasicSuiteTable() { return &g_basic; }

void RegisterBasicSuite(SuiteRegistry& registry) {
    registry.Register(kSPBasicSuite, kSPBasicSuiteVersion, &g_basic);
}

}  // namespace host::detail
