#include "plugin/LumaroPlugin.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "ProductInfo.h"
#include "fontmanager/AIError.h"
#include "fontmanager/HostString.h"
#include "frame/DebugAssert.h"
#include "frame/MenuGroups.h"
#include "frame/SDKAboutPluginsHelper.h"
#include "frame/Suites.h"
#include "panel/LumaroDialog.h"
#include "resources/ResourceIDs.h"

LumaroPlugin* g_Plugin = nullptr;

namespace {

constexpr char kAssertSource[] = "Source\\LumaroPlugin";

constexpr char kAboutGroupName[] = "CorvaneSoftwarePluginsGroupName";
constexpr char kAboutGroupText[] = "About Corvane Software Plug-ins";
constexpr char kAboutItemText[] = "Lumaro...";
constexpr char kWindowGroupName[] = "CorvaneSoftwareWindowGroup";
constexpr char kWindowGroupText[] = "Corvane Software";
constexpr char kPluginGroupName[] = "Lumaro";
constexpr char kPanelItemKey[] = "Lumaro Menu Item";
constexpr char kShowPanelLabel[] = "Show Lumaro Panel";
constexpr char kHidePanelLabel[] = "Hide Lumaro Panel";
constexpr char kNotifierName[] = "LumaroPlugin";

constexpr char kPanelName[] = "Lumaro Panel";
constexpr ASInt32 kPanelStyle = kADMTabbedFloatingDialogStyle;

constexpr char kAboutTitle[] = "About Lumaro";
// The host's About box turns the two-character sequence \n into line breaks.
constexpr char kAboutText[] = "Lumaro plug-in, version " LUMARO_VERSION_STRING
                              "\\n" LUMARO_COPYRIGHT "\\n" LUMARO_SITE "\\n\\n";

}  // namespace

LumaroPlugin::LumaroPlugin(SPPluginRef pluginRef)
    : Plugin(pluginRef),
      m_menuItemPanel(nullptr),
      m_pDlgNonModal(nullptr),
      m_panelDialogRef(nullptr),
      m_menuItemAbout(nullptr),
      m_notifyDocumentOpened(nullptr),
      m_notifyDocumentChanged(nullptr),
      m_notifyBeforeSave(nullptr),
      m_notifyBeforeSaveAs(nullptr),
      m_notifyAfterSave(nullptr),
      m_notifyAfterSaveAs(nullptr),
      m_notifyFontListChanged(nullptr) {
    std::snprintf(m_name, sizeof m_name, "%s", "Lumaro");
}

LumaroPlugin::LumaroPlugin(PrototypeTag) : LumaroPlugin(static_cast<SPPluginRef>(nullptr)) {}

LumaroPlugin::~LumaroPlugin() = default;

ASErr LumaroPlugin::BindGlobal(Plugin* plugin) {
    g_Plugin = static_cast<LumaroPlugin*>(plugin);
    return kNoErr;
}

ASErr LumaroPlugin::OnStartup(SPMessageData* message) {
    if (ASErr error = Plugin::OnStartup(message)) return error;
    if (ASErr error = AddMenus(message)) return error;
    return AddNotifiers();
}

ASErr LumaroPlugin::AddMenus(SPMessageData* message) {
    SDKAboutPluginsHelper about;
    if (ASErr error = about.AddAboutItem(message, kAboutGroupName, kAboutGroupText, kAboutItemText,
                                         &m_menuItemAbout)) {
        return error;
    }

    if (ASErr error = FindOrCreateMenuGroup(m_pluginRef, kWindowGroupName, kToolPalettesMenuGroup,
                                            kWindowGroupText)) {
        return error;
    }

    AIMenuItemHandle pluginItem = nullptr;
    if (ASErr error = AddMenuItem(m_pluginRef, kPluginGroupName, kWindowGroupName, kPluginGroupName,
                                  0, &pluginItem)) {
        return error;
    }
    AIMenuGroup pluginGroup = nullptr;
    if (ASErr error =
            g_aiMenu->AddMenuGroupAsSubMenu(kPluginGroupName, 0, pluginItem, &pluginGroup)) {
        return error;
    }

    return AddMenuItem(m_pluginRef, kPanelItemKey, kPluginGroupName, kShowPanelLabel,
                       kMenuItemWantsUpdateOption, &m_menuItemPanel);
}

ASErr LumaroPlugin::AddNotifiers() {
    const struct {
        const char* type;
        AINotifierHandle* handle;
    } registrations[] = {
        {kAIDocumentOpenedNotifier, &m_notifyDocumentOpened},
        {kAIDocumentChangedNotifier, &m_notifyDocumentChanged},
        {kAIBeforeSaveNotifier, &m_notifyBeforeSave},
        {kAIBeforeSaveAsNotifier, &m_notifyBeforeSaveAs},
        {kAIAfterSaveNotifier, &m_notifyAfterSave},
        {kAIAfterSaveAsNotifier, &m_notifyAfterSaveAs},
        {kAIFontListChangedNotifier, &m_notifyFontListChanged},
    };
    ASErr error = kNoErr;
    for (const auto& registration : registrations) {
        error = g_aiNotifier->AddNotifier(m_pluginRef, kNotifierName, registration.type,
                                          registration.handle);
        if (error != kNoErr) return error;
    }
    return error;
}

ASErr LumaroPlugin::OnNotify(AINotifierMessage* message) {
    try {
        ASErr result = kNoErr;
        // The panel is made once: a second announcement (the host sent it twice)
        // must not leave the first panel without its owner.
        if (message->type != nullptr &&
            std::strcmp(message->type, kAIApplicationStartedNotifier) == 0 &&
            m_pDlgNonModal == nullptr) {
            m_pDlgNonModal = new (std::nothrow) LumaroDialog;
            if (m_pDlgNonModal != nullptr) {
                m_panelDialogRef = m_pDlgNonModal->Create(message->d.self, kPanelName,
                                                          kLumaroDialogID, kPanelStyle, 0);
            }
            if (m_pDlgNonModal != nullptr && m_panelDialogRef == nullptr) {
                // A panel without its dialog shows nothing, and nothing would keep the
                // code loaded under it: an unload would leave it pointing into code that
                // is gone.
                LumaroDialog* panel = m_pDlgNonModal;
                m_pDlgNonModal = nullptr;
                delete panel;
            }
            if (m_pDlgNonModal == nullptr) result = -1;
        }
        if (message->notifier == m_notifyDocumentOpened) RequestPanelRefresh(true);
        if (message->notifier == m_notifyDocumentChanged) RequestPanelRefresh(true);
        if (message->notifier == m_notifyFontListChanged) RequestPanelRefresh(true);
        return result;
    } catch (...) {
        return kNotifierExceptionErr;
    }
}

void LumaroPlugin::RequestPanelRefresh(bool refresh) {
    if (!refresh) return;
    LUMARO_ASSERT(m_pDlgNonModal != NULL, kAssertSource);
    if (m_pDlgNonModal == nullptr) return;
    // The host may destroy the panel's dialog inside the refresh; the panel then
    // goes when the refresh has returned, not under it.
    BaseADMDialog::Busy busy(m_pDlgNonModal);
    m_pDlgNonModal->Refresh();
}

void LumaroPlugin::PanelDeleted(LumaroDialog* panel) {
    if (panel != nullptr && panel == m_pDlgNonModal) {
        m_pDlgNonModal = nullptr;
        m_panelDialogRef = nullptr;
    }
}

bool LumaroPlugin::PanelVisible() const {
    if (m_pDlgNonModal == nullptr || g_admDialog == nullptr) return false;
    ADMDialogRef dialog = m_pDlgNonModal->GetDialogRef();
    return dialog != nullptr && g_admDialog->IsVisible(dialog) != 0;
}

ASErr LumaroPlugin::OnMenuGo(AIMenuMessage* message) {
    if (message->menuItem == m_menuItemPanel) {
        // A panel whose dialog was never made has nothing to show.
        if (m_pDlgNonModal != nullptr && m_pDlgNonModal->GetDialogRef() != nullptr) {
            g_admDialog->Show(m_pDlgNonModal->GetDialogRef(), PanelVisible() ? 0 : 1);
        }
    } else if (message->menuItem == m_menuItemAbout) {
        SDKAboutPluginsHelper about;
        about.ShowAboutBox(&message->d, kAboutTitle, kAboutText);
    }
    return kNoErr;
}

ASErr LumaroPlugin::OnMenuUpdate(AIMenuMessage* message) {
    ai::HostString label(PanelVisible() ? kHidePanelLabel : kShowPanelLabel,
                         kAIPlatformCharacterEncoding);
    g_aiMenu->SetItemText(message->menuItem, label.Record());
    return kNoErr;
}

ASErr LumaroPlugin::DispatchMessage(const char* caller, const char* selector, void* message) {
    ASErr result = kNoErr;
    try {
        result = Plugin::DispatchMessage(caller, selector, message);
    } catch (const ai::Error& error) {
        result = error.Code();
    } catch (...) {
        result = kCantHappenErr;
    }
    if (result == kNoErr || result == kUnhandledMsgErr) return kNoErr;
    ReportMessageError(result, caller, selector, message);
    return result;
}

ASErr LumaroPlugin::OnShutdown(SPMessageData* message) {
    // A shutdown after an unload with no reload between finds the suites given
    // back; the panel's dialog can only be taken down through them.
    if (Suites() == nullptr && m_pDlgNonModal != nullptr) {
        BindGlobal(this);
        AcquireSuiteHolder();
    }
    if (m_pDlgNonModal != nullptr) {
        LumaroDialog* panel = m_pDlgNonModal;
        m_pDlgNonModal = nullptr;
        delete panel;
        m_panelDialogRef = nullptr;
    }
    return Plugin::OnShutdown(message);
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
