#include "plugin/LumaroPlugin.h"

#include <cstdio>
#include <cstring>

#include "frame/DebugAssert.h"
#include "panel/LumaroDialog.h"

LumaroPlugin* g_Plugin = nullptr;

LumaroPlugin::LumaroPlugin(SPPluginRef pluginRef) : Plugin(pluginRef) {
    std::snprintf(m_name, sizeof m_name, "%s", "Lumaro");
}

LumaroPlugin::LumaroPlugin(PrototypeTag) : Plugin(nullptr) {}

LumaroPlugin::~LumaroPlugin() = default;

ASErr LumaroPlugin::BindGlobal(Plugin* plugin) {
    g_Plugin = static_cast<LumaroPlugin*>(plugin);
    return kNoErr;
}

void LumaroPlugin::RequestPanelRefresh(bool refresh) {
    if (!refresh) return;
    LUMARO_ASSERT(m_pDlgNonModal != NULL, "Source\\LumaroPlugin");
    if (m_pDlgNonModal != nullptr) m_pDlgNonModal->Refresh();
}

void LumaroPlugin::PanelDeleted(LumaroDialog* panel) {
    if (panel == m_pDlgNonModal) m_pDlgNonModal = nullptr;
}

Plugin* CreatePluginObject(SPPluginRef pluginRef) {
    return new (std::nothrow) LumaroPlugin(pluginRef);
}

void RebindPluginObject(Plugin* plugin) {
    // The object outlived the code that built it; its dispatch-table pointer
    // (the first word of a polymorphic object with single inheritance) still
    // points into the unloaded image. Copy the current one from a prototype
    // made on the stack, leaving every field of the object as it was.
    alignas(LumaroPlugin) unsigned char storage[sizeof(LumaroPlugin)];
    auto* prototype = ::new (storage) LumaroPlugin(LumaroPlugin::PrototypeTag{});
    std::memcpy(static_cast<void*>(plugin), static_cast<const void*>(prototype), sizeof(void*));
    prototype->~LumaroPlugin();
}
