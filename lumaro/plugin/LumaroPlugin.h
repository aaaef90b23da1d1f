// The one concrete plug-in object: registers Lumaro's menus and notifiers,
// owns the panel, and keeps the Window-menu item in step with it.
#pragma once

#include "frame/Plugin.h"

class LumaroDialog;

class LumaroPlugin : public Plugin {
public:
    explicit LumaroPlugin(SPPluginRef pluginRef);
    ~LumaroPlugin() override;

    ASErr OnStartup(SPMessageData* message) override;
    ASErr OnShutdown(SPMessageData* message) override;
    ASErr DispatchMessage(const char* caller, const char* selector, void* message) override;
    ASErr BindGlobal(Plugin* plugin) override;
    ASErr OnNotify(AINotifierMessage* message) override;
    ASErr OnMenuGo(AIMenuMessage* message) override;
    ASErr OnMenuUpdate(AIMenuMessage* message) override;

    // The panel's Refresh button comes here; false does nothing.
    void RequestPanelRefresh(bool refresh);
    // The panel's destructor reports here, so that a panel the host destroyed
    // first is neither refreshed nor deleted again.
    void PanelDeleted(LumaroDialog* panel);

    LumaroDialog* Panel() const { return m_pDlgNonModal; }

private:
    friend void RebindPluginObject(Plugin* plugin);
    struct PrototypeTag {};
    // Only for reading the current code's dispatch table; touches nothing.
    explicit LumaroPlugin(PrototypeTag);

    ASErr AddMenus(SPMessageData* message);
    ASErr AddNotifiers();
    bool PanelVisible() const;

protected:
    AIMenuItemHandle m_menuItemPanel;
    LumaroDialog* m_pDlgNonModal;
    ADMDialogRef m_panelDialogRef;
    AIMenuItemHandle m_menuItemAbout;
    AINotifierHandle m_notifyDocumentOpened;
    AINotifierHandle m_notifyDocumentChanged;
    AINotifierHandle m_notifyBeforeSave;
    AINotifierHandle m_notifyBeforeSaveAs;
    AINotifierHandle m_notifyAfterSave;
    AINotifierHandle m_notifyAfterSaveAs;
    AINotifierHandle m_notifyFontListChanged;
};

extern LumaroPlugin* g_Plugin;
