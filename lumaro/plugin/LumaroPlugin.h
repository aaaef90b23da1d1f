// The one concrete plug-in object.
#pragma once

#include "frame/Plugin.h"

class LumaroDialog;

class LumaroPlugin : public Plugin {
public:
    explicit LumaroPlugin(SPPluginRef pluginRef);
    ~LumaroPlugin() override;

    ASErr BindGlobal(Plugin* plugin) override;

    // The panel's Refresh button asks here; true refreshes the panel.
    void RequestPanelRefresh(bool refresh);
    // The panel's destructor reports here, so that a panel the host
    // destroyed first is neither refreshed nor deleted again.
    void PanelDeleted(LumaroDialog* panel);

    LumaroDialog* m_pDlgNonModal = nullptr;

private:
    friend void RebindPluginObject(Plugin* plugin);
    struct PrototypeTag {};
    // Only for reading the current code's dispatch table; touches nothing.
    explicit LumaroPlugin(PrototypeTag);
};

extern LumaroPlugin* g_Plugin;
