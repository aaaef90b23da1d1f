#include "host/host.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

ASErr HOSTAPI AddNotifier(SPPluginRef self, const char* name, const char* type,
                          AINotifierHandle* notifier) {
    Host* host = Host::Current();
    if (notifier != nullptr) *notifier = nullptr;
    if (host == nullptr || name == nullptr || type == nullptr) return kBadParameterErr;
    LoadedPlugin* p = host->FromRef(self);
    if (p == nullptr) return kBadParameterErr;
    AINotifier* added = host->AddNotifier(p, name, type);
    if (notifier != nullptr) *notifier = added;
    return kNoErr;
}

ASErr HOSTAPI GetNotifierName(AINotifierHandle notifier, const char** name) {
    Host* host = Host::Current();
    if (host == nullptr || name == nullptr || !host->IsNotifier(notifier)) return kBadParameterErr;
    *name = notifier->name.c_str();
    return kNoErr;
}

ASErr HOSTAPI GetNotifierActive(AINotifierHandle notifier, ASBoolean* active) {
    Host* host = Host::Current();
    if (host == nullptr || active == nullptr || !host->IsNotifier(notifier))
        return kBadParameterErr;
    *active = notifier->active;
    return kNoErr;
}

ASErr HOSTAPI SetNotifierActive(AINotifierHandle notifier, ASBoolean active) {
    Host* host = Host::Current();
    if (host == nullptr || !host->IsNotifier(notifier)) return kBadParameterErr;
    notifier->active = active != 0;
    return kNoErr;
}

ASErr HOSTAPI GetNotifierPlugin(AINotifierHandle notifier, SPPluginRef* plugin) {
    Host* host = Host::Current();
    if (host == nullptr || plugin == nullptr || !host->IsNotifier(notifier))
        return kBadParameterErr;
    *plugin = notifier->plugin->Ref();
    return kNoErr;
}

ASErr HOSTAPI CountNotifiers(ASInt32* count) {
    Host* host = Host::Current();
    if (host == nullptr || count == nullptr) return kBadParameterErr;
    *count = static_cast<ASInt32>(host->Notifiers().size());
    return kNoErr;
}

ASErr HOSTAPI GetNthNotifier(ASInt32 n, AINotifierHandle* notifier) {
    Host* host = Host::Current();
    if (host == nullptr || notifier == nullptr) return kBadParameterErr;
    if (n < 0 || static_cast<std::size_t>(n) >= host->Notifiers().size()) return kBadParameterErr;
    *notifier = host->Notifiers()[static_cast<std::size_t>(n)].get();
    return kNoErr;
}

const AINotifierSuite g_notifier = {AddNotifier,       GetNotifierName,   GetNotifierActive,
                                    SetNotifierActive, GetNotifierPlugin, CountNotifiers,
                                    GetNthNotifier};

}  // namespace

void RegisterNotifierSuite(SuiteRegistry& registry) {
    registry.Register(kAINotifierSuite, kAINotifierSuiteVersion, &g_notifier);
}

}  // namespace host::detail
