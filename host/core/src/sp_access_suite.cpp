#include "host/host.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

ASErr HOSTAPI AcquirePlugin(SPPluginRef plugin, SPAccessRef* access) {
    Host* host = Host::Current();
    if (host == nullptr || access == nullptr) return kBadParameterErr;
    *access = nullptr;
    LoadedPlugin* p = host->FromRef(plugin);
    if (p == nullptr) return kBadParameterErr;
    *access = host->AcquireAccess(p);
    return kNoErr;
}

ASErr HOSTAPI ReleasePlugin(SPAccessRef access) {
    Host* host = Host::Current();
    if (host == nullptr) return kBadParameterErr;
    return host->ReleaseAccess(access);
}

ASErr HOSTAPI GetAccessCount(SPPluginRef plugin, ASInt32* count) {
    Host* host = Host::Current();
    if (host == nullptr || count == nullptr) return kBadParameterErr;
    LoadedPlugin* p = host->FromRef(plugin);
    if (p == nullptr) return kBadParameterErr;
    *count = host->AccessCount(p);
    return kNoErr;
}

const SPAccessSuite g_access = {AcquirePlugin, ReleasePlugin, GetAccessCount};

}  // namespace

void RegisterAccessSuite(SuiteRegistry& registry) {
    registry.Register(kSPAccessSuite, kSPAccessSuiteVersion, &g_access);
}

}  // namespace host::detail
