#include "host/host.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

ASErr HOSTAPI SetPluginName(SPPluginRef plugin, const char* name) {
    Host* host = Host::Current();
    if (host == nullptr || name == nullptr) return kBadParameterErr;
    LoadedPlugin* p = host->FromRef(plugin);
    if (p == nullptr) return kBadParameterErr;
    p->SetName(name);
    return kNoErr;
}

ASErr HOSTAPI GetPluginName(SPPluginRef plugin, const char** name) {
    Host* host = Host::Current();
    if (host == nullptr || name == nullptr) return kBadParameterErr;
    LoadedPlugin* p = host->FromRef(plugin);
    if (p == nullptr) return kBadParameterErr;
    *name = p->Name().c_str();
    return kNoErr;
}

const SPPluginsSuite g_plugins = {SetPluginName, GetPluginName};

}  // namespace

void RegisterPluginsSuite(SuiteRegistry& registry) {
    registry.Register(kSPPluginsSuite, kSPPluginsSuiteVersion, &g_plugins);
}

}  // namespace host::detail
