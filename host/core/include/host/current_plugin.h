// Which plug-in the host is working for right now. Set around every PluginMain call
// and every procedure the host calls in a plug-in, so that what the plug-in asks of
// the host (memory, suites) is accounted to it. Scopes nest.
#pragma once

namespace host {

class LoadedPlugin;

class CurrentPluginScope {
public:
    explicit CurrentPluginScope(LoadedPlugin* plugin);
    ~CurrentPluginScope();
    CurrentPluginScope(const CurrentPluginScope&) = delete;
    CurrentPluginScope& operator=(const CurrentPluginScope&) = delete;

    // Null while the host works for itself.
    static LoadedPlugin* Current();

private:
    LoadedPlugin* m_previous;
};

}  // namespace host
