#include "host/current_plugin.h"

namespace host {

namespace {
// The host calls plug-ins on its one user-interface thread.
LoadedPlugin* g_current = nullptr;
}  // namespace

CurrentPluginScope::CurrentPluginScope(LoadedPlugin* plugin) : m_previous(g_current) {
    g_current = plugin;
}

CurrentPluginScope::~CurrentPluginScope() { g_current = m_previous; }

LoadedPlugin* CurrentPluginScope::Current() { return g_current; }

}  // namespace host
