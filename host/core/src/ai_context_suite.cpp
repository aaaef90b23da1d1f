#include "host/host.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

ASErr HOSTAPI PushAppContext(SPPluginRef plugin, AIAppContextHandle* context) {
    Host* host = Host::Current();
    if (host == nullptr || context == nullptr) return kBadParameterErr;
    *context = nullptr;
    LoadedPlugin* p = host->FromRef(plugin);
    if (p == nullptr) return kBadParameterErr;
    *context = host->PushContext(p);
    return kNoErr;
}

ASErr HOSTAPI PopAppContext(AIAppContextHandle context) {
    Host* host = Host::Current();
    if (host == nullptr) return kBadParameterErr;
    return host->PopContext(context);
}

const AIContextSuite g_context = {PushAppContext, PopAppContext};

}  // namespace

void RegisterContextSuite(SuiteRegistry& registry) {
    registry.Register(kAIContextSuite, kAIContextSuiteVersion, &g_context);
}

}  // namespace host::detail
