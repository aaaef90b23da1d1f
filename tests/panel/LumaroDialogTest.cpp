// The panel's life, commands and messages inside the simulated host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelHostTest.h"
#include "fonts/FontLists.h"
#include "frame/Suites.h"
#include "platform/emu/control.h"
#include "resources/PanelResourceIDs.h"

namespace {

using Strings = std::vector<std::string>;

const ASInt32 kPanelItems[] = {8, 16, 18, 11, 20, 15, 17, 14, 19, 12, 13, 9, 10, 21};

using PanelLayout = PanelHostTest;

TEST_F(PanelLayout, CreationYieldsExactlyTheItemsOfTheLayout) {
    const ADMDialogRef dialog = CreatePanel();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Dialog(), dialog);
    EXPECT_STREQ(g_admDialog->GetDialogName(dialog), "Lumaro Panel");
    EXPECT_EQ(g_admDialog->GetID(dialog), 16000);
    for (ASInt32 id = -1; id < 64; ++id) {
        const bool listed =
            std::find(std::begin(kPanelItems), std::end(kPanelItems), id) != std::end(kPanelItems);
        EXPECT_EQ(g_admDialog->GetItem(dialog, id) != nullptr, listed) << "item " << id;
    }
}

TEST_F(PanelLayout, InitGivesTheDialogBothIconsAndFillsThePanel) {
    const ADMDialogRef dialog = CreatePanel();
    ASSERT_NE(dialog, nullptr);
    const ADMIconRef icon = g_admDialog->GetIcon(dialog, 0);
    const ADMIconRef alternate = g_admDialog->GetIcon(dialog, 1);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(alternate, nullptr);
    EXPECT_NE(icon, alternate);
    EXPECT_EQ(g_admIcon->GetWidth(icon), 24);
    EXPECT_EQ(g_admIcon->GetHeight(alternate), 24);
    EXPECT_EQ(g_admItem->GetFont(g_admDialog->GetItem(dialog, kStatusText)), kADMDefaultFont);
    // Init ended with a refresh: the host marks nothing missing.
    EXPECT_EQ(Status(), "No missing fonts in opened documents");
}

TEST_F(PanelLayout, WithNothingMissingOnlyRefreshAndHelpAreEnabled) {
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_TRUE(Rows(kMissingList).empty());
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_EQ(Buttons(), "0 0 0 0 0");
    EXPECT_TRUE(Enabled(kRefreshButton));
    EXPECT_TRUE(Enabled(kHelpButton));
    EXPECT_TRUE(Enabled(kMissingList));
    EXPECT_TRUE(Enabled(kAvailableList));
}

struct DockCase {
    bool visible;
    const char* group;
    ASInt32 code;
};

TEST_F(PanelLayout, DeletionWritesTheDockingState) {
    const DockCase cases[] = {
        {true, "Corvane Group", kADMTabbedPositionCode},
        {false, "", kADMFloatingPositionCode},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.visible ? "visible" : "hidden");
        const ADMDialogRef dialog = CreatePanel();
        ASSERT_NE(dialog, nullptr);
        g_admDialogGroup->SetDialogGroupInfo(dialog, c.group, c.code);
        const ADMRect bounds{30, 40, 330, 440};
        g_admDialog->SetBoundsRect(dialog, &bounds);
        g_admDialog->Show(dialog, c.visible);
        DeletePanel();
        EXPECT_TRUE(m_dialogs->Dialogs().empty());

        using host::prefs::PreferenceValue;
        auto get = [&](const char* key) { return m_preferences->Get("LumaroDialog", key); };
        EXPECT_EQ(get("kLumaro_DPDockCodeStr"), PreferenceValue::Integer(c.code));
        EXPECT_EQ(get("kLumaro_DPDockGroupStr"), PreferenceValue::String(c.group));
        EXPECT_EQ(get("kLumaro_DPLocationStr"), PreferenceValue::Point({30, 40}));
        EXPECT_EQ(get("kLumaro_DPSizeStr"), PreferenceValue::Point({300, 400}));
        EXPECT_EQ(get("kLumaro_DPVisibleStr"), PreferenceValue::Boolean(c.visible));
        EXPECT_EQ(m_preferences->Size(), 5u);
    }
}

TEST_F(PanelLayout, TheDockingStateIsWrittenInItsOrder) {
    ASSERT_NE(CreatePanel(), nullptr);
    DeletePanel();
    EXPECT_EQ(m_preferences->Writes(),
              Strings({"LumaroDialog/kLumaro_DPDockCodeStr", "LumaroDialog/kLumaro_DPDockGroupStr",
                       "LumaroDialog/kLumaro_DPLocationStr", "LumaroDialog/kLumaro_DPSizeStr",
                       "LumaroDialog/kLumaro_DPVisibleStr"}));
}

TEST_F(PanelLayout, DialogDestroyedByTheHostFirstIsForgottenByItsOwner) {
    ASSERT_NE(CreatePanel(), nullptr);
    SeedMissingFonts({"Optima"});
    Offer("Optima", "id-optima");
    Press(kFindButton);
    ASSERT_EQ(g_fontitemsAvailable.size(), 1u);

    m_dialogs->DestroyAll();
    // The destroy procedure deleted the panel; the owner knows.
    EXPECT_EQ(Panel(), nullptr);
    EXPECT_TRUE(g_fontitems.empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    EXPECT_TRUE(m_preferences->Get("LumaroDialog", "kLumaro_DPVisibleStr").has_value());

    // A later notification and the shutdown find no panel to use or delete.
    EmuClearAssertions();
    m_plugin->RequestPanelRefresh(true);
    ASSERT_EQ(EmuAssertionCount(), 1u);
    const char* expression = nullptr;
    EmuAssertionAt(0, &expression, nullptr, nullptr);
    EXPECT_STREQ(expression, "m_pDlgNonModal != NULL");
    DeletePanel();
    EXPECT_TRUE(m_dialogs->Problems().empty());
}

TEST_F(PanelLayout, PanelWithoutADialogNeitherRefreshesNorWritesPreferences) {
    m_hostProblemsExpected = true;  // the missing resource
    EXPECT_EQ(CreatePanel(16001), nullptr);
    ASSERT_NE(Panel(), nullptr);
    EXPECT_EQ(Panel()->GetDialogRef(), nullptr);
    Panel()->Refresh();
    Panel()->UpdateButtons();
    m_plugin->RequestPanelRefresh(true);
    DeletePanel();
    EXPECT_EQ(m_preferences->Size(), 0u);
    EXPECT_TRUE(m_dialogs->Dialogs().empty());
    EXPECT_TRUE(TakeAlerts().empty());
}

using PanelFind = PanelHostTest;

struct FindCase {
    Strings missing;
    Strings offered;
    Strings rows;
    const char* status;
    const char* buttons;
};

TEST_F(PanelFind, ListsWhatTheFontManagerOffersInMissingOrder) {
    const FindCase cases[] = {
        {{"Alpha", "beta", "zeta"}, {}, {}, "No appropriate fonts were found", "1 0 0 0 0"},
        {{"Alpha", "beta", "zeta"}, {"beta"}, {"beta"}, "1 font has been found", "1 1 1 0 0"},
        {{"Alpha", "beta", "zeta"},
         {"zeta", "Alpha"},
         {"Alpha", "zeta"},
         "2 fonts have been found",
         "1 1 1 0 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        ASSERT_NE(CreatePanel(), nullptr);
        SeedMissingFonts(c.missing);
        EXPECT_EQ(Buttons(), "1 0 0 0 0");
        Server()->matches.clear();
        for (const auto& name : c.offered) Offer(name, "id-" + name);
        Press(kFindButton);
        EXPECT_EQ(Rows(kAvailableList), c.rows);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(Buttons(), c.buttons);
        EXPECT_EQ(g_fontitemsAvailable.size(), c.rows.size());
        EXPECT_FALSE(g_glyvorConnection.IsConnected());
        DeletePanel();
    }
}

TEST_F(PanelFind, SelectingAnOfferedFontEnablesActivateAndInstall) {
    ASSERT_NE(CreatePanel(), nullptr);
    SeedMissingFonts({"Alpha", "beta"});
    Offer("Alpha", "id-a");
    Offer("beta", "id-b");
    Press(kFindButton);
    EXPECT_EQ(Buttons(), "1 1 1 0 0");
    SelectAvailable({1});
    EXPECT_EQ(Buttons(), "1 1 1 1 1");
    SelectAvailable({});
    EXPECT_EQ(Buttons(), "1 1 1 0 0");
}

TEST_F(PanelFind, WithoutTheFontManagerSaysSoAndKeepsNothing) {
    EmuSetFaultClassNotRegistered(TRUE);
    ASSERT_NE(CreatePanel(), nullptr);
    SeedMissingFonts({"Alpha"});
    Press(kFindButton);
    EXPECT_EQ(Status(), "Cannot connect to Glyvor");
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_EQ(Buttons(), "1 0 0 0 0");
}

TEST_F(PanelFind, WithNoMissingFontsChangesNothingAndConnectsNowhere) {
    const ADMDialogRef dialog = CreatePanel();
    ASSERT_NE(dialog, nullptr);
    // Only a host that left Find enabled lets the user press it here.
    g_admItem->Enable(g_admDialog->GetItem(dialog, kFindButton), true);
    const std::string before = m_dialogs->Render(dialog);
    Press(kFindButton);
    EXPECT_EQ(m_dialogs->Render(dialog), before);
    EXPECT_EQ(EmuGetActiveObjectCount(), 0u);
    EXPECT_EQ(EmuCreateInstanceCount(), 0u);
    EXPECT_EQ(EmuAssertionCount(), 0u);
}

TEST_F(PanelFind, CalledWithoutMissingFontsItAssertsAndStops) {
    ASSERT_NE(CreatePanel(), nullptr);
    EmuClearAssertions();
    Panel()->FindFonts();
    ASSERT_EQ(EmuAssertionCount(), 1u);
    const char* expression = nullptr;
    const char* source = nullptr;
    EmuAssertionAt(0, &expression, &source, nullptr);
    EXPECT_STREQ(expression, "g_fontitems.size() != 0");
    EXPECT_STREQ(source, "Source\\LumaroDialog");
    EXPECT_EQ(Status(), "No missing fonts in opened documents");
    EXPECT_EQ(EmuGetActiveObjectCount(), 0u);
}

TEST_F(PanelFind, AComErrorReleasesTheConnectionAndTheNextFindConnectsAfresh) {
    ASSERT_NE(CreatePanel(), nullptr);
    SeedMissingFonts({"Alpha", "beta", "zeta"});
    Offer("Alpha", "id-a");
    Offer("beta", "id-b");
    EmuSetFaultInvoke(2, RPC_E_DISCONNECTED);  // the font manager dies after one answer
    Press(kFindButton);
    EXPECT_FALSE(g_glyvorConnection.IsConnected());
    EXPECT_EQ(Status(), "Cannot connect to Glyvor");
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    EXPECT_EQ(Buttons(), "1 0 0 0 0");

    EmuClearFaults();
    const ULONG connectionsBefore = EmuGetActiveObjectCount();
    Press(kFindButton);
    EXPECT_EQ(EmuGetActiveObjectCount(), connectionsBefore + 1);
    EXPECT_EQ(Status(), "2 fonts have been found");
    EXPECT_EQ(Rows(kAvailableList), Strings({"Alpha", "beta"}));
}

TEST_F(PanelFind, SelectingAMissingFontChangesNothing) {
    const ADMDialogRef dialog = CreatePanel();
    ASSERT_NE(dialog, nullptr);
    SeedMissingFonts({"Alpha", "beta"});
    Offer("beta", "id-b");
    Press(kFindButton);
    const std::string status = Status();
    const std::string buttons = Buttons();
    m_dialogs->SelectRows(dialog, kMissingList, {1});
    EXPECT_EQ(Status(), status);
    EXPECT_EQ(Buttons(), buttons);
    EXPECT_EQ(Rows(kAvailableList), Strings({"beta"}));
    EXPECT_EQ(EmuGetActiveObjectCount(), 1u);
}

// Missing fonts A, B, C, all offered; then Find.
class PanelWithOffers : public PanelHostTest {
protected:
    void SetUp() override {
        PanelHostTest::SetUp();
        ASSERT_NE(CreatePanel(), nullptr);
        SeedMissingFonts({"Alpha", "Beta", "Gamma"});
        for (const char* name : {"Alpha", "Beta", "Gamma"}) {
            Offer(name, std::string("id-") + name);
            LoadResult(std::string("id-") + name, true);
        }
        Press(kFindButton);
        ASSERT_EQ(Rows(kAvailableList).size(), 3u);
        EmuResetCounters();
        TakeAlerts();
    }
};

struct CommandCase {
    const char* name;
    ASInt32 button;
    std::vector<int> selected;
    Strings failing;
    const char* status;
    Strings alerts;
    ULONG broadcasts;
    Strings loaded;
};

TEST_F(PanelWithOffers, CountsSuccessesAndQuotesFailures) {
    const CommandCase cases[] = {
        {"install all, one failure",
         kInstallAllButton,
         {},
         {"id-Beta"},
         "2 fonts have been activated or installed",
         {"Failed to install fonts: \"Beta\""},
         1,
         {"id-Alpha", "id-Beta", "id-Gamma"}},
        {"activate all, all fail",
         kActivateAllButton,
         {},
         {"id-Alpha", "id-Beta", "id-Gamma"},
         "No fonts have been activated or installed",
         {"Failed to activate fonts: \"Alpha\", \"Beta\", \"Gamma\""},
         0,
         {"id-Alpha", "id-Beta", "id-Gamma"}},
        {"activate all, none fail",
         kActivateAllButton,
         {},
         {},
         "3 fonts have been activated or installed",
         {},
         1,
         {"id-Alpha", "id-Beta", "id-Gamma"}},
        {"activate the selected one",
         kActivateButton,
         {2},
         {},
         "1 font has been activated or installed",
         {},
         1,
         {"id-Gamma"}},
        {"install the selected one, which fails",
         kInstallButton,
         {0},
         {"id-Alpha"},
         "No fonts have been activated or installed",
         {"Failed to install fonts: \"Alpha\""},
         0,
         {"id-Alpha"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* id : {"id-Alpha", "id-Beta", "id-Gamma"}) LoadResult(id, true);
        for (const auto& id : c.failing) LoadResult(id, false);
        if (!c.selected.empty()) SelectAvailable(c.selected);
        const std::size_t callsBefore = Server()->calls().size();
        EmuResetCounters();
        Press(c.button);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(TakeAlerts(), c.alerts);
        EXPECT_EQ(Broadcasts(), c.broadcasts);
        Strings loaded;
        for (std::size_t i = callsBefore; i < Server()->calls().size(); ++i) {
            const RecordedCall& call = Server()->calls()[i];
            if (call.member != kDispIdLoadFont) continue;
            loaded.emplace_back(call.arguments[0].bstr.begin(), call.arguments[0].bstr.end());
        }
        EXPECT_EQ(loaded, c.loaded);
        EXPECT_FALSE(g_glyvorConnection.IsConnected());
        // The lists stay as they were: the host's font notification refreshes.
        EXPECT_EQ(Rows(kAvailableList).size(), 3u);
        SelectAvailable({});
    }
}

TEST_F(PanelWithOffers, InstallAllWithTheSecondOfTwoFailing) {
    // Only two offers this time.
    Server()->matches.erase(u"Gamma");
    Press(kFindButton);
    ASSERT_EQ(Rows(kAvailableList).size(), 2u);
    LoadResult("id-Beta", false);
    EmuResetCounters();
    Press(kInstallAllButton);
    EXPECT_EQ(Status(), "1 font has been activated or installed");
    EXPECT_EQ(TakeAlerts(), Strings({"Failed to install fonts: \"Beta\""}));
    EXPECT_EQ(Broadcasts(), 1u);
}

TEST_F(PanelWithOffers, ThePreconditionsAreTestedBeforeAnyConnection) {
    const ULONG connections = EmuGetActiveObjectCount();
    Panel()->ActivateOrInstallFonts(true, false);
    Panel()->ActivateOrInstallFonts(false, false);
    Panel()->ClearAvailableList();
    ClearAvailableItems(g_fontitemsAvailable);
    Panel()->ActivateOrInstallFonts(true, true);
    Panel()->ActivateOrInstallFonts(false, true);
    EXPECT_EQ(TakeAlerts(), Strings({"No items are selected", "No items are selected",
                                     "The list is empty", "The list is empty"}));
    EXPECT_EQ(EmuGetActiveObjectCount(), connections);
    EXPECT_EQ(EmuCreateInstanceCount(), 0u);
    EXPECT_EQ(Broadcasts(), 0u);
}

TEST_F(PanelWithOffers, WithoutTheFontManagerTheCommandSaysSo) {
    EmuSetFaultClassNotRegistered(TRUE);
    Press(kActivateAllButton);
    EXPECT_EQ(Status(), "Cannot connect to Glyvor");
    EXPECT_TRUE(TakeAlerts().empty());
    EXPECT_EQ(Broadcasts(), 0u);
}

TEST_F(PanelWithOffers, TheBroadcastSkipsHungWindowsInsteadOfFreezing) {
    int received = 0;
    auto count = [](HWND, UINT message, WPARAM, LPARAM, void* context) -> LRESULT {
        if (message == WM_FONTCHANGE) ++*static_cast<int*>(context);
        return 0;
    };
    const HWND hung = EmuCreateTopLevelWindow(count, &received);
    const HWND healthy = EmuCreateTopLevelWindow(count, &received);
    EmuSetWindowHung(hung, TRUE);
    Press(kActivateAllButton);
    EXPECT_EQ(Status(), "3 fonts have been activated or installed");
    ASSERT_EQ(Broadcasts(), 1u);
    EmuBroadcast broadcast{};
    ASSERT_TRUE(EmuBroadcastAt(0, &broadcast));
    EXPECT_EQ(broadcast.message, static_cast<UINT>(WM_FONTCHANGE));
    EXPECT_EQ(broadcast.wParam, 0u);
    EXPECT_EQ(broadcast.lParam, 0);
    EXPECT_EQ(broadcast.function, EMU_SEND_MESSAGE_TIMEOUT);
    EXPECT_TRUE(broadcast.flags & SMTO_ABORTIFHUNG);
    EXPECT_GT(broadcast.timeoutMs, 0u);
    EXPECT_FALSE(broadcast.frozen);
    EXPECT_EQ(EmuFrozenBroadcastCount(), 0u);
    EXPECT_EQ(received, 1);
    EmuDestroyWindow(hung);
    EmuDestroyWindow(healthy);
}

TEST_F(PanelWithOffers, AComErrorMidwayReleasesAnnouncesAndSaysWhatWasDoneAndThatItFailed) {
    // Two calls per font (state, then load): the third is Beta's, the fifth Gamma's.
    const struct {
        const char* name;
        ULONG failingCall;
        Strings refused;
        const char* status;
        Strings alerts;
        ULONG broadcasts;
    } cases[] = {
        // The font change that follows a success refreshes the panel and replaces
        // the status line: the outcome stays in an alert.
        {"at Beta, Alpha done",
         3,
         {},
         "1 font has been activated or installed. Cannot connect to Glyvor",
         {"1 font has been activated or installed. Cannot connect to Glyvor"},
         1},
        {"at Gamma, Alpha done, Beta refused",
         5,
         {"id-Beta"},
         "1 font has been activated or installed. Cannot connect to Glyvor",
         {"1 font has been activated or installed. Cannot connect to Glyvor",
          "Failed to activate fonts: \"Beta\""},
         1},
        {"at Gamma, both before refused",
         5,
         {"id-Alpha", "id-Beta"},
         "Cannot connect to Glyvor",
         {"Failed to activate fonts: \"Alpha\", \"Beta\""},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* id : {"id-Alpha", "id-Beta", "id-Gamma"}) LoadResult(id, true);
        for (const auto& id : c.refused) LoadResult(id, false);
        EmuResetCounters();
        EmuSetFaultInvoke(c.failingCall, RPC_E_DISCONNECTED);
        Press(kActivateAllButton);
        EXPECT_FALSE(g_glyvorConnection.IsConnected());
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(Broadcasts(), c.broadcasts);  // what was activated is there all the same
        EXPECT_EQ(TakeAlerts(), c.alerts);

        // The next command connects afresh and works.
        EmuClearFaults();
        for (const char* id : {"id-Alpha", "id-Beta", "id-Gamma"}) LoadResult(id, true);
        EmuResetCounters();
        Press(kInstallAllButton);
        EXPECT_EQ(Status(), "3 fonts have been activated or installed");
        EXPECT_EQ(EmuGetActiveObjectCount(), 1u);
        EXPECT_EQ(Broadcasts(), 1u);
    }
}

TEST_F(PanelWithOffers, AComErrorBeforeAnySuccessAnnouncesNothing) {
    EmuSetFaultInvoke(1, RPC_E_DISCONNECTED);
    Press(kInstallAllButton);
    EXPECT_EQ(Status(), "Cannot connect to Glyvor");
    EXPECT_EQ(Broadcasts(), 0u);
    EXPECT_FALSE(g_glyvorConnection.IsConnected());
}

TEST_F(PanelWithOffers, RefreshEmptiesTheOffersAndResetsTheButtons) {
    m_plugin->m_pDlgNonModal = Panel();
    Press(kRefreshButton);
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    // The simulated host marks nothing missing: the seeded fonts are gone too.
    EXPECT_TRUE(Rows(kMissingList).empty());
    EXPECT_EQ(Status(), "No missing fonts in opened documents");
    EXPECT_EQ(Buttons(), "0 0 0 0 0");
}

TEST_F(PanelWithOffers, RefreshWithoutThePluginObjectOnlyAsserts) {
    g_Plugin = nullptr;
    EmuClearAssertions();
    const std::string before = m_dialogs->Render(Dialog());
    Press(kRefreshButton);
    EXPECT_EQ(m_dialogs->Render(Dialog()), before);
    ASSERT_EQ(EmuAssertionCount(), 1u);
    const char* expression = nullptr;
    const char* source = nullptr;
    EmuAssertionAt(0, &expression, &source, nullptr);
    EXPECT_STREQ(expression, "g_Plugin != NULL");
    EXPECT_STREQ(source, "Source\\LumaroDialog");
    g_Plugin = m_plugin.get();
}

using PanelHelp = PanelHostTest;

TEST_F(PanelHelp, OpensTheProductPage) {
    ASSERT_NE(CreatePanel(), nullptr);
    Press(kHelpButton);
    ASSERT_EQ(EmuShellExecuteCount(), 1u);
    EXPECT_EQ(EmuLastShellExecuteOwner(), GetDesktopWindow());
    EXPECT_EQ(std::u16string(EmuLastShellExecuteVerb()), u"open");
    const std::u16string address = EmuLastShellExecuteFile();
    EXPECT_EQ(address.substr(0, 8), u"https://");
    EXPECT_NE(address.find(u"glyvor/plugins/lumaro-ai"), std::u16string::npos);
    EXPECT_EQ(address.substr(address.size() - 24), u"glyvor/plugins/lumaro-ai");
    EXPECT_EQ(EmuLastShellExecuteParameters(), nullptr);
    EXPECT_EQ(EmuLastShellExecuteDirectory(), nullptr);
    EXPECT_EQ(EmuLastShellExecuteShowCommand(), SW_SHOWNORMAL);
    EXPECT_TRUE(TakeAlerts().empty());
}

TEST_F(PanelHelp, FailureShowsTheAddressInTwoLines) {
    ASSERT_NE(CreatePanel(), nullptr);
    for (INT_PTR result : {0, 2, 32}) {
        EmuSetShellExecuteResult(result);
        Press(kHelpButton);
        const std::u16string address = EmuLastShellExecuteFile();
        const std::string site(address.begin(), address.end() - 17);
        EXPECT_EQ(TakeAlerts(), Strings({"Cannot open:\r\n" + site + "\r\nplugins/lumaro-ai"}));
    }
    EmuSetShellExecuteResult(42);
}

}  // namespace
