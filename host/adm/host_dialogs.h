// The dialog manager as the simulated host runs it: dialogs and icons come
// from the resources of the loaded modules, every call into a plug-in is
// marked as work for that plug-in, misuse goes to the host's event log, and
// the ADM suites are offered through the host's registry.
#pragma once

#include "host/adm/dialog_manager.h"
#include "host/host.h"

namespace host::adm {

class HostPluginEnvironment : public PluginEnvironment {
public:
    explicit HostPluginEnvironment(Host& host) : m_host(host) {}

    // The resource in language 1033 (the module's), else in any language.
    std::optional<std::vector<std::uint8_t>> FindResource(SPPluginRef plugin,
                                                          const ResourceType& type,
                                                          std::int32_t id) override;
    // A plug-in whose code is not loaded is not called; that is reported.
    void CallPlugin(SPPluginRef plugin, const std::function<void()>& call) override;
    void Report(const std::string& problem) override;

private:
    Host& m_host;
};

class HostDialogs {
public:
    // Registers the ADM suites in the host's registry, over its placeholders.
    explicit HostDialogs(Host& host);
    // Destroys the dialogs still open, calling their destroy procedures
    // while the plug-ins' code is loaded.
    ~HostDialogs();

    DialogManager& Manager() { return m_manager; }

private:
    HostPluginEnvironment m_environment;
    DialogManager m_manager;
};

}  // namespace host::adm
