#include "host/adm/host_dialogs.h"

#include "host/adm/adm_suites.h"
#include "host/current_plugin.h"
#include "host/loaded_plugin.h"
#include "host/resource_table.h"

namespace host::adm {
namespace {

constexpr std::uint16_t kModuleLanguage = 1033;

}  // namespace

std::optional<std::vector<std::uint8_t>> HostPluginEnvironment::FindResource(
    SPPluginRef plugin, const ResourceType& type, std::int32_t id) {
    LoadedPlugin* loaded = m_host.FromRef(plugin);
    if (loaded == nullptr || id < 0 || id > 0xFFFF) return std::nullopt;
    ResourceId wantedType =
        type.name.empty() ? ResourceId::Ordinal(type.number) : ResourceId::Name(type.name);
    ResourceId wantedName = ResourceId::Ordinal(static_cast<std::uint16_t>(id));
    const std::vector<std::uint8_t>* any = nullptr;
    for (const Resource& r : loaded->Resources().Resources()) {
        if (!r.type.Matches(wantedType) || !r.name.Matches(wantedName)) continue;
        if (r.language == kModuleLanguage) return r.data;
        if (any == nullptr) any = &r.data;
    }
    if (any != nullptr) return *any;
    return std::nullopt;
}

void HostPluginEnvironment::CallPlugin(SPPluginRef plugin, const std::function<void()>& call) {
    LoadedPlugin* loaded = m_host.FromRef(plugin);
    if (loaded != nullptr && !loaded->CodeLoaded()) {
        m_host.Events().Add(EventKind::Problem, loaded->Name(), "dialog procedure",
                            "not called: the plug-in's code is not loaded");
        return;
    }
    CurrentPluginScope scope(loaded);
    call();
}

void HostPluginEnvironment::Report(const std::string& problem) {
    m_host.Events().Add(EventKind::Problem, m_host.CurrentName(), "dialog manager", problem);
}

HostDialogs::HostDialogs(Host& host) : m_environment(host), m_manager(m_environment) {
    for (const SuiteTable& suite : AllSuites()) {
        host.Suites().Replace(suite.name, suite.version, suite.table);
    }
}

HostDialogs::~HostDialogs() { m_manager.DestroyAll(); }

}  // namespace host::adm
