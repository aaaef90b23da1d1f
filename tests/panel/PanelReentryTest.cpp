// Notifications that reach the panel while one of its commands waits for the font
// manager. COM hands the waiting thread the messages other programs send (among them the
// font change a font manager broadcasts once it has activated a font), and a host that
// handles WM_FONTCHANGE at once refreshes the panel there and then; the user's clicks and
// the host's own destruction of the panel may come the same way.
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

// What the host's window is asked to do besides handling font changes.
constexpr UINT kPressButton = 0x8001;   // wParam: the item ID
constexpr UINT kDestroyPanel = 0x8002;  // the host destroys the panel's dialog

enum class FontChanges { Immediate, Deferred };

const char* Name(FontChanges mode) {
    return mode == FontChanges::Immediate ? "handled at once" : "queued";
}

// Missing fonts Alpha, Beta and Gamma, each offered and loadable; a top-level window of
// the host's that handles font changes as a host may, and the user's clicks and the
// host's destruction of the panel that the test sends it.
class PanelReentry : public PanelHostTest {
protected:
    void SetUp() override {
        PanelHostTest::SetUp();
        ASSERT_NE(CreatePanel(), nullptr);
        for (const char* name : {"Alpha", "Beta", "Gamma"}) {
            Offer(name, std::string("id-") + name);
            LoadResult(std::string("id-") + name, true);
        }
        m_window = EmuCreateTopLevelWindow(&PanelReentry::WindowProcedure, this);
    }
    void TearDown() override {
        EmuDestroyWindow(m_window);
        PanelHostTest::TearDown();
    }

    // A panel showing the three offers, as after Find, with the counts from here on.
    void ShowOffers(const std::vector<int>& selected = {}) {
        m_mode = FontChanges::Immediate;
        if (Panel() == nullptr) {
            ASSERT_NE(CreatePanel(), nullptr);
        }
        m_plugin->RequestPanelRefresh(true);
        SeedMissingFonts({"Alpha", "Beta", "Gamma"});
        Press(kFindButton);
        ASSERT_EQ(Rows(kAvailableList), Strings({"Alpha", "Beta", "Gamma"}));
        if (!selected.empty()) SelectAvailable(selected);
        m_callsBefore = Server()->calls().size();
        EmuResetCounters();
        TakeAlerts();
        m_refreshes = 0;
        m_queued = 0;
    }

    // The host's part once the user's action has returned: a queued font change is
    // handled now, as a host's message loop does.
    void PumpFontChanges() {
        if (m_queued == 0) return;
        m_queued = 0;
        ++m_refreshes;
        m_plugin->RequestPanelRefresh(true);
    }

    // The fonts handed to the font manager since ShowOffers: loaded, and matched.
    Strings Called(DISPID member) const {
        Strings names;
        const auto& calls = Server()->calls();
        for (std::size_t i = m_callsBefore; i < calls.size(); ++i) {
            if (calls[i].member != member) continue;
            names.emplace_back(calls[i].arguments[0].bstr.begin(),
                               calls[i].arguments[0].bstr.end());
        }
        return names;
    }

    // What a refresh leaves: the simulated host marks nothing missing.
    void ExpectRefreshed() {
        EXPECT_EQ(Status(), "No missing fonts in opened documents");
        EXPECT_TRUE(Rows(kMissingList).empty());
        EXPECT_TRUE(Rows(kAvailableList).empty());
        EXPECT_TRUE(g_fontitems.empty());
        EXPECT_TRUE(g_fontitemsAvailable.empty());
        EXPECT_EQ(Buttons(), "0 0 0 0 0");
    }

    FontChanges m_mode = FontChanges::Immediate;
    HWND m_window = nullptr;
    int m_queued = 0;
    int m_refreshes = 0;
    std::size_t m_callsBefore = 0;

private:
    static LRESULT WindowProcedure(HWND, UINT message, WPARAM wParam, LPARAM, void* context) {
        auto* self = static_cast<PanelReentry*>(context);
        if (message == WM_FONTCHANGE) {
            if (self->m_mode == FontChanges::Deferred) {
                ++self->m_queued;
            } else {
                // "AI Font List Changed Notifier", which the plug-in object answers so.
                ++self->m_refreshes;
                self->m_plugin->RequestPanelRefresh(true);
            }
        } else if (message == kPressButton) {
            self->Press(static_cast<ASInt32>(wParam));
        } else if (message == kDestroyPanel) {
            self->m_dialogs->DestroyDialog(self->Dialog());
        }
        return 0;
    }
};

const Strings kAll = {"id-Alpha", "id-Beta", "id-Gamma"};

TEST_F(PanelReentry, AFontChangeDuringAnyCallOfActivateOrInstallWaitsForTheCommand) {
    const struct {
        const char* name;
        ASInt32 button;
        std::vector<int> selected;
        Strings loaded;
    } commands[] = {
        {"Activate All", kActivateAllButton, {}, kAll},
        {"Install All", kInstallAllButton, {}, kAll},
        {"Activate the selected one", kActivateButton, {1}, {"id-Beta"}},
    };
    for (FontChanges mode : {FontChanges::Immediate, FontChanges::Deferred}) {
        for (const auto& command : commands) {
            // Two calls per font (state, then load); past the last one nothing arrives.
            const ULONG calls = static_cast<ULONG>(2 * command.loaded.size());
            for (ULONG at = 1; at <= calls + 1; ++at) {
                SCOPED_TRACE(std::string(command.name) + ", font change " + Name(mode) +
                             ", during call " + std::to_string(at));
                ShowOffers(command.selected);
                m_mode = mode;
                EmuSendDuringInvoke(at, m_window, WM_FONTCHANGE, 0, 0);

                Press(command.button);
                if (mode == FontChanges::Immediate) {
                    // The font manager's change and the command's own both came while
                    // the command ran.
                    EXPECT_EQ(m_refreshes, at <= calls ? 2 : 1);
                } else {
                    EXPECT_EQ(m_refreshes, 0);
                    EXPECT_EQ(Status(), command.loaded.size() == 1
                                            ? "1 font has been activated or installed"
                                            : std::to_string(command.loaded.size()) +
                                                  " fonts have been activated or installed");
                    PumpFontChanges();
                }
                EXPECT_EQ(Called(kDispIdLoadFont), command.loaded);
                EXPECT_EQ(Broadcasts(), 1u);
                EXPECT_TRUE(TakeAlerts().empty());
                EXPECT_FALSE(g_glyvorConnection.IsConnected());
                // Refreshed once the command was done, however the change was handled.
                ExpectRefreshed();
                EmuClearFaults();
            }
        }
    }
}

TEST_F(PanelReentry, AFontChangeDuringAnyCallOfFindWaitsForTheCommand) {
    for (FontChanges mode : {FontChanges::Immediate, FontChanges::Deferred}) {
        for (ULONG at = 1; at <= 3; ++at) {
            SCOPED_TRACE(std::string("font change ") + Name(mode) + ", during call " +
                         std::to_string(at));
            ShowOffers();
            m_mode = mode;
            EmuSendDuringInvoke(at, m_window, WM_FONTCHANGE, 0, 0);
            Press(kFindButton);
            // The lookup went through every missing font it started with.
            EXPECT_EQ(Called(kDispIdMatchFont), Strings({"Alpha", "Beta", "Gamma"}));
            EXPECT_FALSE(g_glyvorConnection.IsConnected());
            if (mode == FontChanges::Deferred) {
                EXPECT_EQ(Status(), "3 fonts have been found");
                EXPECT_EQ(Rows(kAvailableList), Strings({"Alpha", "Beta", "Gamma"}));
                PumpFontChanges();
            }
            EXPECT_EQ(m_refreshes, 1);
            ExpectRefreshed();
        }
    }
}

TEST_F(PanelReentry, ACommandAskedForWhileOneWaitsDoesNotRunAndRefreshWaits) {
    const struct {
        const char* name;
        ASInt32 pressed;
        bool refreshes;
    } presses[] = {
        {"Find", kFindButton, false},
        {"Activate All", kActivateAllButton, false},
        {"Install All", kInstallAllButton, false},
        {"Refresh", kRefreshButton, true},
    };
    for (const auto& p : presses) {
        for (ULONG at : {1u, 4u}) {
            SCOPED_TRACE(std::string(p.name) + " pressed during call " + std::to_string(at));
            ShowOffers();
            m_mode = FontChanges::Deferred;
            EmuSendDuringInvoke(at, m_window, kPressButton, static_cast<WPARAM>(p.pressed), 0);
            Press(kActivateAllButton);
            EXPECT_EQ(Called(kDispIdLoadFont), kAll);
            EXPECT_TRUE(Called(kDispIdMatchFont).empty());
            EXPECT_EQ(EmuGetActiveObjectCount(), 1u) << "one connection, never dropped midway";
            EXPECT_EQ(Broadcasts(), 1u);
            EXPECT_FALSE(g_glyvorConnection.IsConnected());
            if (p.refreshes) {
                ExpectRefreshed();
            } else {
                EXPECT_EQ(Status(), "3 fonts have been activated or installed");
                EXPECT_EQ(Rows(kAvailableList), Strings({"Alpha", "Beta", "Gamma"}));
            }
            EmuClearFaults();
        }
    }
}

TEST_F(PanelReentry, APanelTheHostDestroysWhileACommandWaitsGoesWhenTheCommandReturns) {
    const struct {
        const char* name;
        ASInt32 button;
        std::vector<int> selected;
        ULONG at;
        Strings matched;
        Strings loaded;
        ULONG broadcasts;
    } cases[] = {
        {"Find, during the second match", kFindButton, {}, 2, {"Alpha", "Beta", "Gamma"}, {}, 0},
        // A font whose state came back is loaded before the walk looks again.
        {"Activate All, during Alpha's state", kActivateAllButton, {}, 1, {}, {"id-Alpha"}, 1},
        {"Activate All, during Beta's load",
         kActivateAllButton,
         {},
         4,
         {},
         {"id-Alpha", "id-Beta"},
         1},
        {"Activate the selected one, during its load",
         kActivateButton,
         {2},
         2,
         {},
         {"id-Gamma"},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShowOffers(c.selected);
        m_mode = FontChanges::Immediate;
        EmuSendDuringInvoke(c.at, m_window, kDestroyPanel, 0, 0);
        const std::size_t problems = m_dialogs->Problems().size();
        Press(c.button);
        // The panel went once the notification had returned; nothing touched its
        // dialog after the host had destroyed it.
        EXPECT_EQ(Panel(), nullptr);
        EXPECT_TRUE(m_dialogs->Dialogs().empty());
        EXPECT_EQ(m_dialogs->Problems().size(), problems);
        EXPECT_TRUE(g_fontitems.empty());
        EXPECT_TRUE(g_fontitemsAvailable.empty());
        EXPECT_TRUE(m_preferences->Get("LumaroDialog", "kLumaro_DPVisibleStr").has_value());
        // The walk stopped with the panel; what it did is announced all the same.
        EXPECT_EQ(Called(kDispIdMatchFont), c.matched);
        EXPECT_EQ(Called(kDispIdLoadFont), c.loaded);
        EXPECT_EQ(Broadcasts(), c.broadcasts);
        EXPECT_FALSE(g_glyvorConnection.IsConnected());
        EmuClearFaults();
    }
}

}  // namespace
