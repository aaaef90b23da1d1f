// The plug-in object as the host sees it: start-up registrations, the panel's
// life, the Window-menu toggle and its label, the About box, notifications.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "TempFolder.h"
#include "fonts/FontItem.h"
#include "host/adm/adm_objects.h"
#include "host/adm/host_dialogs.h"
#include "host/fontlist/font_list.h"
#include "host/fontsuite/font_suite.h"
#include "host/host.h"
#include "host/prefs/preference_store.h"
#include "platform/emu/control.h"

namespace {

namespace fs = std::filesystem;
using host::fontsuite::FontQuery;

constexpr char kPanelItemKey[] = "Lumaro Menu Item";
constexpr char kWindowGroup[] = "CorvaneSoftwareWindowGroup";

class LumaroPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine = folder.Path();
        fs::create_directories(machine / "Fonts");
        EmuSetMachineFolder(machine.c_str());
        EmuClearAssertions();

        host = std::make_unique<host::Host>();
        dialogs = std::make_unique<host::adm::HostDialogs>(*host);
        preferences = std::make_unique<host::prefs::PreferenceStore>(machine.string());
        host::prefs::RegisterPreferenceSuite(host->Suites());
        fonts = std::make_unique<host::FontList>(machine.string());
        fontSuite = std::make_unique<host::fontsuite::FontSuiteService>(*fonts);
        host::fontsuite::FontSuiteService::Register(host->Suites());
        plugin = host->LoadModule(LUMARO_MODULE_PATH);
        ASSERT_NE(plugin, nullptr);
    }

    void TearDown() override {
        if (plugin->State() == host::PluginState::Started) {
            EXPECT_EQ(host->Shutdown(*plugin), kNoErr);
        }
        EXPECT_EQ(host->Memory().Stats(plugin).blocksOutstanding, 0u);
        EXPECT_TRUE(host->HeldSuites(plugin).empty());
        EXPECT_EQ(host->Strings().LiveCount(plugin), 0u);
        fontSuite.reset();
        fonts.reset();
        dialogs.reset();
        host.reset();
        preferences.reset();
    }

    // Start-up and the application-started notification, as at launch.
    void Launch() { ASSERT_TRUE(host->StartAll()); }

    AIMenuItem* PanelItem() { return host->Menu().FindItem(kPanelItemKey); }

    std::u16string PanelLabel() {
        host->UpdateMenus();
        return PanelItem()->text;
    }

    ADMDialogRef PanelDialog() { return dialogs->Manager().FindDialog("Lumaro Panel"); }

    bool PanelVisible() {
        ADMDialogRef dialog = PanelDialog();
        return dialog != nullptr && reinterpret_cast<ADMDialog*>(dialog)->visible;
    }

    std::vector<std::string> Assertions() {
        std::vector<std::string> texts;
        for (const auto& event : host->Events().OfKind(host::EventKind::Assertion)) {
            texts.push_back(event.subject);
        }
        return texts;
    }

    std::vector<host::Event> Alerts() { return host->Events().OfKind(host::EventKind::Alert); }

    // What the messages sent since event `first` answered.
    std::vector<ASErr> ResultsSince(std::size_t first) {
        std::vector<ASErr> results;
        for (const auto& event : host->Events().Since(first)) {
            if (event.kind == host::EventKind::Message) results.push_back(event.result);
        }
        return results;
    }

    int Scans() { return fontSuite->Calls(FontQuery::Count); }

    TempFolder folder;
    fs::path machine;
    std::unique_ptr<host::Host> host;
    std::unique_ptr<host::adm::HostDialogs> dialogs;
    std::unique_ptr<host::prefs::PreferenceStore> preferences;
    std::unique_ptr<host::FontList> fonts;
    std::unique_ptr<host::fontsuite::FontSuiteService> fontSuite;
    host::LoadedPlugin* plugin = nullptr;
};

TEST_F(LumaroPluginTest, StartUpBuildsTheMenusAndRegistersSevenNotifiers) {
    ASSERT_EQ(host->Startup(*plugin), kNoErr);

    // Each group hangs as a submenu under its item; the two shared ones are sorted.
    const struct {
        const char* group;
        const char* itemGroup;
        const char* itemKey;
        const char16_t* itemText;
        ASInt32 options;
    } groups[] = {
        {kWindowGroup, "Tool Palettes", kWindowGroup, u"Corvane Software", 1},
        {"Lumaro", kWindowGroup, "Lumaro", u"Lumaro", 0},
        {"CorvaneSoftwarePluginsGroupName", "About", "", u"About Corvane Software Plug-ins", 1},
    };
    for (const auto& g : groups) {
        SCOPED_TRACE(g.group);
        AIMenuGroupData* group = host->Menu().FindGroup(g.group);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->options, g.options);
        ASSERT_NE(group->parentItem, nullptr);
        EXPECT_EQ(group->parentItem->group, g.itemGroup);
        EXPECT_EQ(group->parentItem->keyName, g.itemKey);
        EXPECT_EQ(group->parentItem->text, g.itemText);
        EXPECT_EQ(group->parentItem->options, 0);
    }

    ASSERT_NE(PanelItem(), nullptr);
    EXPECT_EQ(PanelItem()->group, "Lumaro");
    EXPECT_EQ(PanelItem()->text, u"Show Lumaro Panel");
    EXPECT_EQ(PanelItem()->options, 1) << "the host sends it AI Update";

    const auto about = host->Menu().ItemsIn("CorvaneSoftwarePluginsGroupName");
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0]->text, u"Lumaro...");
    EXPECT_EQ(about[0]->options, 0);

    std::vector<std::string> types;
    for (const auto& notifier : host->Notifiers()) {
        if (notifier->name == "LumaroPlugin") types.push_back(notifier->type);
    }
    EXPECT_EQ(types, (std::vector<std::string>{
                         "AI Document Opened Notifier", "AI Document Changed Notifier",
                         "AI Command Notifier: Before Save", "AI Command Notifier: Before Save As",
                         "AI Command Notifier: After Save", "AI Command Notifier: After Save As",
                         "AI Font List Changed Notifier"}));
}

TEST_F(LumaroPluginTest, BeforeTheApplicationHasStartedTheToggleDoesNothing) {
    ASSERT_EQ(host->Startup(*plugin), kNoErr);
    EXPECT_EQ(PanelLabel(), u"Show Lumaro Panel");
    EXPECT_EQ(host->ChooseMenuItem(PanelItem()), kNoErr);
    EXPECT_TRUE(dialogs->Manager().Dialogs().empty());
    EXPECT_EQ(PanelLabel(), u"Show Lumaro Panel");
}

TEST_F(LumaroPluginTest, TheToggleHidesAndShowsThePanelAndTheLabelFollows) {
    Launch();
    ASSERT_NE(PanelDialog(), nullptr);
    ASSERT_TRUE(PanelVisible());
    EXPECT_EQ(PanelLabel(), u"Hide Lumaro Panel");

    EXPECT_EQ(host->ChooseMenuItem(PanelItem()), kNoErr);
    EXPECT_FALSE(PanelVisible());
    EXPECT_NE(PanelDialog(), nullptr) << "hidden, not deleted";
    EXPECT_EQ(PanelLabel(), u"Show Lumaro Panel");

    EXPECT_EQ(host->ChooseMenuItem(PanelItem()), kNoErr);
    EXPECT_TRUE(PanelVisible());
    EXPECT_EQ(PanelLabel(), u"Hide Lumaro Panel");
}

TEST_F(LumaroPluginTest, ADocumentNotificationWithoutAPanelOnlyAsserts) {
    // With an error list any failure of the message would reach an alert.
    host->SetStringList(*plugin, 16050, {"*", "failed: %s"});
    ASSERT_EQ(host->Startup(*plugin), kNoErr);
    const std::size_t sent = host->Events().Size();
    EXPECT_EQ(host->FireNotifier("AI Document Opened Notifier"), 1);
    EXPECT_EQ(ResultsSince(sent), std::vector<ASErr>{kNoErr});
    EXPECT_EQ(Assertions(), std::vector<std::string>{"m_pDlgNonModal != NULL"});
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(LumaroPluginTest, AnotherPluginsWindowGroupIsShared) {
    AIMenuItem* item = nullptr;
    ASSERT_EQ(
        host->Menu().AddItem(nullptr, kWindowGroup, "Tool Palettes", u"Corvane Software", 0, &item),
        kNoErr);
    ASSERT_EQ(host->Menu().AddSubMenuGroup(nullptr, kWindowGroup, 1, item, nullptr), kNoErr);
    const std::size_t paletteItems = host->Menu().ItemsIn("Tool Palettes").size();

    ASSERT_EQ(host->Startup(*plugin), kNoErr);
    EXPECT_EQ(host->Menu().ItemsIn("Tool Palettes").size(), paletteItems);
    const auto shared = host->Menu().ItemsIn(kWindowGroup);
    ASSERT_EQ(shared.size(), 1u);
    EXPECT_EQ(shared[0]->keyName, "Lumaro");
}

TEST_F(LumaroPluginTest, TheAboutItemShowsTheAboutBoxAsStored) {
    ASSERT_EQ(host->Startup(*plugin), kNoErr);
    const auto about = host->Menu().ItemsIn("CorvaneSoftwarePluginsGroupName");
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(host->ChooseMenuItem(about[0]), kNoErr);
    const auto alerts = Alerts();
    ASSERT_EQ(alerts.size(), 1u);
    const std::string& shown = alerts[0].detail;
    EXPECT_NE(shown.find("About Lumaro"), std::string::npos);
    EXPECT_NE(shown.find("Lumaro plug-in, version 1.0\\n"), std::string::npos);
    EXPECT_NE(shown.find("Corvane Software"), std::string::npos);
    EXPECT_NE(shown.find("\\n\\n"), std::string::npos) << "the text ends as stored";
}

TEST_F(LumaroPluginTest, DocumentAndFontNotificationsRefreshSaveNotificationsDoNot) {
    Launch();
    const int afterLaunch = Scans();
    EXPECT_EQ(afterLaunch, 1) << "the panel's Init ends with a refresh";

    for (const char* type :
         {"AI Command Notifier: Before Save", "AI Command Notifier: Before Save As",
          "AI Command Notifier: After Save", "AI Command Notifier: After Save As"}) {
        host->FireNotifier(type);
    }
    EXPECT_EQ(Scans(), afterLaunch);

    host->FireNotifier("AI Document Opened Notifier");
    host->FireNotifier("AI Document Changed Notifier");
    host->FireNotifier("AI Font List Changed Notifier");
    EXPECT_EQ(Scans(), afterLaunch + 3);
    EXPECT_TRUE(Assertions().empty());
}

TEST_F(LumaroPluginTest, TheRefreshShowsTheMissingFontsOfOpenDocuments) {
    fonts->SetDocumentFonts("/doc.pdf", {"Zeta-Regular", "alpha-Bold", "Beta"});
    Launch();
    const std::string panel = dialogs->Manager().Render(PanelDialog());
    EXPECT_NE(panel.find("3 missing font(s) in opened documents"), std::string::npos) << panel;
    const std::size_t alpha = panel.find("* alpha-Bold");
    const std::size_t beta = panel.find("* Beta");
    const std::size_t zeta = panel.find("* Zeta-Regular");
    ASSERT_NE(zeta, std::string::npos) << panel;
    EXPECT_LT(alpha, beta);
    EXPECT_LT(beta, zeta);
}

TEST_F(LumaroPluginTest, ADialogTheHostDestroyedFirstIsForgotten) {
    Launch();
    dialogs->Manager().DestroyDialogsOf(plugin->Ref());
    EXPECT_EQ(PanelDialog(), nullptr);
    host->FireNotifier("AI Document Opened Notifier");
    EXPECT_EQ(Assertions(), std::vector<std::string>{"m_pDlgNonModal != NULL"})
        << "the plug-in knows the panel is gone";
    EXPECT_EQ(PanelLabel(), u"Show Lumaro Panel");
    EXPECT_EQ(host->ChooseMenuItem(PanelItem()), kNoErr);
    // TearDown's shutdown must not delete the panel a second time.
}

TEST_F(LumaroPluginTest, APanelThatCannotBeMadeFailsTheNotificationAndNothingElse) {
    ASSERT_EQ(host->Startup(*plugin), kNoErr);
    host->Memory().RefuseNthAllocation(1);
    host->FireNotifier("AI Application Started Notifier");
    bool failed = false;
    for (const auto& event : host->Events().OfKind(host::EventKind::Message)) {
        failed |= event.result == -1;
    }
    EXPECT_TRUE(failed) << "the application-started notification answers -1";
    EXPECT_EQ(PanelDialog(), nullptr);
    host->FireNotifier("AI Document Opened Notifier");
    EXPECT_EQ(Assertions(), std::vector<std::string>{"m_pDlgNonModal != NULL"});
}

// The host destroys the panel's dialog inside a refresh and chooses the toggle there:
// the panel outlives its dialog until the refresh returns, and the toggle meanwhile
// names no dialog; the label reads "Show Lumaro Panel".
TEST_F(LumaroPluginTest, TheToggleWithAPanelWhoseDialogIsGoneDoesNothing) {
    fonts->SetDocumentFonts("/doc.pdf", {"Missing-One"});
    Launch();
    bool chosen = false;
    host->Faults().SetCallHook([&](const host::FaultSite& site, long) {
        if (chosen || std::string(site.function) != "GetItem") return;
        chosen = true;
        dialogs->Manager().DestroyDialog(PanelDialog());
        const std::vector<std::string> problems = dialogs->Manager().Problems();
        EXPECT_EQ(host->ChooseMenuItem(PanelItem()), kNoErr);
        EXPECT_EQ(host->ChooseMenuItem(PanelItem()), kNoErr);
        EXPECT_EQ(dialogs->Manager().Problems(), problems) << "no call names a dialog";
        EXPECT_EQ(PanelLabel(), u"Show Lumaro Panel");
    });
    host->FireNotifier("AI Document Changed Notifier");
    host->Faults().SetCallHook(nullptr);
    EXPECT_TRUE(chosen);
    EXPECT_TRUE(dialogs->Manager().Dialogs().empty());
}

TEST_F(LumaroPluginTest, AnExceptionDuringARefreshAnswersEPNAndTheHostGoesOn) {
    fonts->SetDocumentFonts("/doc.pdf", {"Missing-One"});
    Launch();
    // The host's string operation fails inside the scan: the host string raises.
    host->Strings().FailNthCall(host::StringFunction::Erase, 1, HostFourCC('F', 'A', 'I', 'L'));
    host->FireNotifier("AI Document Changed Notifier");
    bool epn = false;
    for (const auto& event : host->Events().OfKind(host::EventKind::Message)) {
        epn |= event.result == HostFourCC('E', 'P', 'N', ' ');
    }
    EXPECT_TRUE(epn);
    // The next refresh works again.
    host->FireNotifier("AI Document Changed Notifier");
    EXPECT_NE(dialogs->Manager().Render(PanelDialog()).find("1 missing font(s)"),
              std::string::npos);
}

TEST_F(LumaroPluginTest, ASecondApplicationStartedNotificationKeepsTheOnePanel) {
    Launch();
    ADMDialogRef first = PanelDialog();
    ASSERT_NE(first, nullptr);
    host->FireNotifier("AI Application Started Notifier");
    EXPECT_EQ(dialogs->Manager().Dialogs(), std::vector<ADMDialogRef>{first});
    // TearDown's shutdown finds no block of a panel that was lost.
}

// The panel's status line and rows after a refresh that the host stops at
// each allocation in turn: either the whole new list with its count, or the
// rows read so far, each leading to its own record, under a status line that
// says only those could be listed; never the last count over other rows.
TEST_F(LumaroPluginTest, ARefreshStoppedPartWayLeavesNoStaleRowsOrCount) {
    fonts->SetDocumentFonts("/doc.pdf", {"Zeta-Regular", "alpha-Bold", "Beta"});
    Launch();
    int stopped = 0;
    for (std::size_t n = 1; n <= 60; ++n) {
        SCOPED_TRACE("refused allocation " + std::to_string(n));
        host->Memory().RefuseNthAllocation(n);
        host->FireNotifier("AI Document Changed Notifier");
        host->Memory().RefuseNthAllocation(0);
        ADMDialog* panel = reinterpret_cast<ADMDialog*>(PanelDialog());
        ASSERT_NE(panel, nullptr);
        std::string status;
        std::size_t rows = 0;
        for (const auto& item : panel->items) {
            if (item->id == 21) status = item->text;
            if (item->id != 18) continue;
            rows = item->list->entries.size();
            for (const auto& entry : item->list->entries)
                EXPECT_TRUE(host->Memory().Owns(entry->userData) &&
                            "* " + static_cast<CFontItem*>(entry->userData)->m_strName ==
                                std::string_view(entry->text))
                    << entry->text;
        }
        const std::string only =
            rows == 0 ? "No missing fonts could be listed"
                      : "Only " + std::to_string(rows) + " missing font(s) could be listed";
        if (status.find("could be listed") != std::string::npos) {
            ++stopped;
            EXPECT_EQ(status, only + "; press Refresh to try again");
        } else {
            EXPECT_EQ(status, "3 missing font(s) in opened documents");
            EXPECT_EQ(rows, 3u);
        }
    }
    EXPECT_GT(stopped, 0) << "some refusal stops the scan";
    // A refresh that is let be shows the fonts again.
    host->FireNotifier("AI Document Changed Notifier");
    EXPECT_NE(dialogs->Manager().Render(PanelDialog()).find("3 missing font(s)"),
              std::string::npos);
}

// The panel's Init fails (the host string raises inside its first refresh), so
// there is no dialog and the host may unload the code. Nothing of the panel may
// be left to outlive that code: the shutdown after the reload deletes nothing
// through the old code, and every block is given back (TearDown).
TEST_F(LumaroPluginTest, APanelWhoseDialogCannotBeMadeDoesNotOutliveAnUnload) {
    fonts->SetDocumentFonts("/doc.pdf", {"Missing-One", "Missing-Two"});
    ASSERT_EQ(host->Startup(*plugin), kNoErr);
    host->Strings().FailNthCall(host::StringFunction::Erase, 2, HostFourCC('F', 'A', 'I', 'L'));
    host->FireNotifier("AI Application Started Notifier");
    ASSERT_EQ(PanelDialog(), nullptr);
    ASSERT_EQ(host->Unload(*plugin), kNoErr);
    ASSERT_EQ(host->Reload(*plugin), kNoErr);
    ASSERT_EQ(host->Shutdown(*plugin), kNoErr);
    EXPECT_TRUE(host->Clean());
}

TEST_F(LumaroPluginTest, ShutdownDeletesThePanelAndWritesItsDockingState) {
    Launch();
    ASSERT_EQ(host->Shutdown(*plugin), kNoErr);
    EXPECT_TRUE(dialogs->Manager().Dialogs().empty());
    const auto visible = preferences->Get("LumaroDialog", "kLumaro_DPVisibleStr");
    ASSERT_TRUE(visible.has_value());
    EXPECT_EQ(*visible, host::prefs::PreferenceValue::Boolean(true));
    EXPECT_TRUE(preferences->Get("LumaroDialog", "kLumaro_DPDockCodeStr").has_value());
    EXPECT_TRUE(preferences->Get("LumaroDialog", "kLumaro_DPSizeStr").has_value());
}

// Start-ups that fail once the suites are held: the host's code comes back
// and the object's destructor gives the holder and its suites back.
struct LateFailure {
    const char* name;
    void (*arrange)(host::Host& host);
    ASErr error;
};

void PrintTo(const LateFailure& failure, std::ostream* out) { *out << failure.name; }

class LateStartUpFailureTest : public LumaroPluginTest,
                               public ::testing::WithParamInterface<LateFailure> {};

TEST_P(LateStartUpFailureTest, GivesBackTheSuitesAndTheMemory) {
    GetParam().arrange(*host);
    EXPECT_EQ(host->Startup(*plugin), GetParam().error);
    EXPECT_EQ(plugin->State(), host::PluginState::Failed);
    EXPECT_EQ(plugin->Globals(), nullptr);
    EXPECT_TRUE(host->HeldSuites(plugin).empty());
    EXPECT_EQ(host->Memory().Stats(plugin).blocksOutstanding, 0u);
    EXPECT_EQ(host->Strings().LiveCount(plugin), 0u);
}

const LateFailure kLateFailures[] = {
    {"GroupNameTaken",
     [](host::Host& host) {
         ASSERT_EQ(host.Menu().AddGroup(nullptr, "Lumaro", 0, nullptr), kNoErr);
     },
     kBadParameterErr},
    {"NoMenuGroups", [](host::Host& host) { host.Menu().RemoveEverything(); }, kNotFoundErr},
};

INSTANTIATE_TEST_SUITE_P(EachWay, LateStartUpFailureTest, ::testing::ValuesIn(kLateFailures),
                         [](const ::testing::TestParamInfo<LateFailure>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
