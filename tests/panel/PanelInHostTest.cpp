// The panel as the loaded module shows it: Lumaro.aip started by the simulated
// host, the panel made by the plug-in object on "AI Application Started
// Notifier", the user's presses arriving through the host's dialog manager, and
// the recording Glyvor server behind the emulated COM.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakeGlyvorServer.h"
#include "host/adm/adm_objects.h"
#include "host/adm/host_dialogs.h"
#include "host/fontlist/font_list.h"
#include "host/fontsuite/font_suite.h"
#include "host/host.h"
#include "host/prefs/preference_store.h"
#include "platform/emu/control.h"
#include "resources/PanelResourceIDs.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class PanelInHost : public FakeGlyvorServerTest {
protected:
    void SetUp() override {
        FakeGlyvorServerTest::SetUp();
        m_glyvor = StartRunningInstance();
        char pattern[] = "/tmp/lumaro-panel-host-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_machine = pattern;
        fs::create_directories(m_machine / "Fonts");
        EmuSetThreadCodePage(1252);

        m_host = std::make_unique<host::Host>();
        m_dialogs = std::make_unique<host::adm::HostDialogs>(*m_host);
        m_preferences = std::make_unique<host::prefs::PreferenceStore>(m_machine.string());
        host::prefs::RegisterPreferenceSuite(m_host->Suites());
        m_fonts = std::make_unique<host::FontList>(m_machine.string());
        m_fontSuite = std::make_unique<host::fontsuite::FontSuiteService>(*m_fonts);
        host::fontsuite::FontSuiteService::Register(m_host->Suites());
        m_plugin = m_host->LoadModule(LUMARO_MODULE_FILE);
        ASSERT_NE(m_plugin, nullptr);
    }

    void TearDown() override {
        if (m_plugin != nullptr && m_plugin->State() == host::PluginState::Started) {
            EXPECT_EQ(m_host->Shutdown(*m_plugin), kNoErr);
        }
        // Records, rows and strings all went back to the host.
        EXPECT_EQ(m_host->Memory().Stats(m_plugin).blocksOutstanding, 0u);
        EXPECT_EQ(m_host->Strings().LiveCount(m_plugin), 0u);
        EXPECT_EQ(m_host->Events().Count(host::EventKind::Problem), 0u);
        m_fontSuite.reset();
        m_fonts.reset();
        m_dialogs.reset();
        m_host.reset();
        m_preferences.reset();
        fs::remove_all(m_machine);
        FakeGlyvorServerTest::TearDown();
    }

    void OpenDocument(const Strings& fonts) {
        m_fonts->SetDocumentFonts((m_machine / "doc.pdf").string(), fonts);
    }
    void Launch() {
        ASSERT_TRUE(m_host->StartAll());
        m_panel = reinterpret_cast<ADMDialog*>(m_dialogs->Manager().FindDialog("Lumaro Panel"));
        ASSERT_NE(m_panel, nullptr);
    }
    void Offer(const std::u16string& name, const std::u16string& fontId, bool loads) {
        m_glyvor->matches[name] = {fontId, u"detail"};
        m_glyvor->loads[fontId] = {loads, u"refused"};
    }
    void Press(ASInt32 itemID) { m_dialogs->Manager().PressButton(m_panel, itemID); }

    const ADMItem& Item(ASInt32 itemID) const {
        for (const auto& item : m_panel->items) {
            if (item->id == itemID) return *item;
        }
        throw std::runtime_error("no item " + std::to_string(itemID));
    }
    std::string Status() const { return Item(kStatusText).text; }
    Strings Rows(ASInt32 listID) const {
        Strings rows;
        for (const auto& entry : Item(listID).list->entries) rows.push_back(entry->text);
        return rows;
    }
    std::string Buttons() const {
        std::string states;
        for (ASInt32 id : {kFindButton, kActivateAllButton, kInstallAllButton, kActivateButton,
                           kInstallButton}) {
            states += states.empty() ? "" : " ";
            states += Item(id).enabled ? '1' : '0';
        }
        return states;
    }
    Strings Alerts() const {
        Strings texts;
        for (const auto& event : m_host->Events().OfKind(host::EventKind::Alert)) {
            texts.push_back(event.detail);
        }
        return texts;
    }

    FakeGlyvor* m_glyvor = nullptr;
    fs::path m_machine;
    std::unique_ptr<host::Host> m_host;
    std::unique_ptr<host::adm::HostDialogs> m_dialogs;
    std::unique_ptr<host::prefs::PreferenceStore> m_preferences;
    std::unique_ptr<host::FontList> m_fonts;
    std::unique_ptr<host::fontsuite::FontSuiteService> m_fontSuite;
    host::LoadedPlugin* m_plugin = nullptr;
    ADMDialog* m_panel = nullptr;
};

TEST_F(PanelInHost, TheStartedPluginShowsThePanelFromItsResources) {
    OpenDocument({"zeta", "Alpha", "beta"});
    Launch();
    EXPECT_EQ(m_panel->id, 16000);
    EXPECT_EQ(m_panel->style, kADMTabbedFloatingDialogStyle);
    EXPECT_EQ(m_panel->text, "Lumaro");
    EXPECT_NE(m_panel->icons[0], nullptr);
    EXPECT_NE(m_panel->icons[1], nullptr);
    EXPECT_EQ(m_panel->items.size(), 14u);
    EXPECT_EQ(Rows(kMissingList), Strings({"* Alpha", "* beta", "* zeta"}));
    EXPECT_EQ(Status(), "3 missing font(s) in opened documents");
    EXPECT_EQ(Buttons(), "1 0 0 0 0");
}

TEST_F(PanelInHost, FindThenInstallAllThroughTheModule) {
    OpenDocument({"Optima", "Frutiger", "Bodoni"});
    Launch();
    Offer(u"Frutiger", u"id-f", true);
    Offer(u"Optima", u"id-o", false);
    Press(kFindButton);
    EXPECT_EQ(Rows(kAvailableList), Strings({"Frutiger", "Optima"}));
    EXPECT_EQ(Status(), "2 fonts have been found");
    EXPECT_EQ(Buttons(), "1 1 1 0 0");

    EmuResetCounters();
    Press(kInstallAllButton);
    EXPECT_EQ(Status(), "1 font has been activated or installed");
    EXPECT_EQ(Alerts(), Strings({"Failed to install fonts: \"Optima\""}));
    EXPECT_EQ(EmuBroadcastCount(), 1u);
    EXPECT_EQ(EmuFrozenBroadcastCount(), 0u);
    EXPECT_FALSE(m_glyvor->calls().empty());
    EXPECT_EQ(EmuLiveProxyReferences(), 0) << "the connection is released";

    // The host's font notification that follows refreshes the panel.
    EXPECT_EQ(m_host->FireNotifier("AI Font List Changed Notifier"), 1);
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_EQ(Buttons(), "1 0 0 0 0");
}

TEST_F(PanelInHost, ADeadFontManagerIsLetGoAndTheNextCommandConnectsAfresh) {
    OpenDocument({"Optima"});
    Launch();
    Offer(u"Optima", u"id-o", true);
    Press(kFindButton);
    ASSERT_EQ(Rows(kAvailableList), Strings({"Optima"}));

    EmuSetFaultInvoke(1, RPC_E_DISCONNECTED);
    Press(kActivateAllButton);
    EXPECT_EQ(Status(), "Cannot connect to Glyvor");
    EXPECT_EQ(EmuLiveProxyReferences(), 0);

    EmuClearFaults();
    Press(kActivateAllButton);
    EXPECT_EQ(Status(), "1 font has been activated or installed");
}

// Help with the host refusing memory at each of its allocations in turn: the page
// opens and the status stays, or the user is told that the command could not be
// completed. The first allocation is the address's own: Help cannot open without it.
TEST_F(PanelInHost, HelpThatCannotMakeItsAddressSaysSo) {
    Launch();
    for (std::size_t n = 1; n <= 8; ++n) {
        SCOPED_TRACE("refused allocation " + std::to_string(n));
        // Each press is judged on a status of its own.
        Press(kRefreshButton);
        const std::string before = Status();
        const ULONG opened = EmuShellExecuteCount();
        m_host->Memory().RefuseNthAllocation(n);
        Press(kHelpButton);
        m_host->Memory().RefuseNthAllocation(0);
        const bool failed = EmuShellExecuteCount() == opened;
        EXPECT_TRUE(failed || n > 1);
        EXPECT_EQ(Status(),
                  failed ? "The command could not be completed; please try again" : before);
    }
}

TEST_F(PanelInHost, HelpOpensTheProductPageFromTheModule) {
    Launch();
    Press(kHelpButton);
    ASSERT_EQ(EmuShellExecuteCount(), 1u);
    const std::u16string address = EmuLastShellExecuteFile();
    EXPECT_EQ(address.substr(address.size() - 24), u"glyvor/plugins/lumaro-ai");
    EXPECT_TRUE(Alerts().empty());
}

}  // namespace
