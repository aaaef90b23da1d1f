// The one concrete plug-in object.
#pragma once

#include "frame/Plugin.h"

class LumaroPlugin : public Plugin {
public:
    explicit LumaroPlugin(SPPluginRef pluginRef);
    ~LumaroPlugin() override;

    ASErr BindGlobal(Plugin* plugin) override;

private:
    friend void RebindPluginObject(Plugin* plugin);
    struct PrototypeTag {};
    // Only for reading the current code's dispatch table; touches nothing.
    explicit LumaroPlugin(PrototypeTag);
};

extern LumaroPlugin* g_Plugin;
