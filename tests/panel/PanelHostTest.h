// The panel inside the simulated host: the host's core suites (alerts, strings,
// assertions), its dialog manager serving the built module's resources, its
// preferences, and the recording Glyvor server behind the emulated COM. The test
// plays the plug-in object: it creates the panel as start-up does and deletes it as
// shutdown does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "FakeGlyvorServer.h"
#include "host/adm/dialog_manager.h"
#include "host/host.h"
#include "host/prefs/preference_store.h"
#include "host/resource_table.h"
#include "panel/LumaroDialog.h"
#include "plugin/LumaroPlugin.h"

// Serves the resources of the built Lumaro.aip, as the host finds them in the module.
class ModuleResourceEnvironment : public host::adm::PluginEnvironment {
public:
    ModuleResourceEnvironment();
    std::optional<std::vector<std::uint8_t>> FindResource(SPPluginRef plugin,
                                                          const host::adm::ResourceType& type,
                                                          std::int32_t id) override;

private:
    host::ResourceTable m_resources;
};

// The plug-in object with its panel field in reach, so a test can hold the
// panel as the object does after the application-started notification.
struct PanelOwner : LumaroPlugin {
    using LumaroPlugin::LumaroPlugin;
    using LumaroPlugin::m_pDlgNonModal;
};

class PanelHostTest : public FakeGlyvorServerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // As the plug-in object does on "AI Application Started Notifier": name
    // "Lumaro Panel", resource 16000, style 3, options 0.
    ADMDialogRef CreatePanel(ASInt32 dialogID = 16000);
    // As the plug-in object does at shutdown.
    void DeletePanel();
    LumaroDialog* Panel() const { return m_plugin->m_pDlgNonModal; }
    ADMDialogRef Dialog() const;

    // Puts missing fonts into the panel as a scan leaves them: records in
    // g_fontitems and one "* name" row each, in the order given.
    void SeedMissingFonts(const std::vector<std::string>& names);
    // The font manager offers `fontId` for the missing font `name`.
    void Offer(const std::string& name, const std::string& fontId);
    // Whether loading `fontId` succeeds.
    void LoadResult(const std::string& fontId, bool succeeds);

    // The user's part.
    void Press(ASInt32 itemID);
    void SelectAvailable(const std::vector<int>& rows);

    // What the panel shows.
    std::string Status() const;
    std::vector<std::string> Rows(ASInt32 listID) const;
    bool Enabled(ASInt32 itemID) const;
    // "Find Activate-All Install-All Activate Install" as 1 (enabled) or 0.
    std::string Buttons() const;
    // The texts of the alerts shown since SetUp or the last call.
    std::vector<std::string> TakeAlerts();
    ULONG Broadcasts() const { return EmuBroadcastCount(); }

    std::unique_ptr<host::Host> m_host;
    ModuleResourceEnvironment m_resources;
    std::unique_ptr<host::adm::DialogManager> m_dialogs;
    std::unique_ptr<host::prefs::PreferenceStore> m_preferences;
    std::unique_ptr<PanelOwner> m_plugin;
    SPPluginRef m_pluginRef = nullptr;
    std::string m_preferenceFolder;
    std::size_t m_alertsSeen = 0;
    // The dialog manager's complaints fail the test unless it provokes them.
    bool m_hostProblemsExpected = false;
};
