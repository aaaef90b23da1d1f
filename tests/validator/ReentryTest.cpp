// The host acting in the middle of the plug-in's calls: a document notification while a
// command runs, the font change its broadcast causes handled on the spot, the panel's
// dialog destroyed from inside its own notify or a refresh, and the dialog's procedures
// called for a dialog already destroyed.
#include "Validator.h"
#include "host/current_plugin.h"
#include "hostapi/messages.h"
#include "platform/emu/control.h"
#include "resources/PanelResourceIDs.h"

namespace {

struct Command {
    const char* name;
    std::function<void(Validator&)> prepare;
    const char* button;
};

class Reentry : public Validator {
protected:
    // Alpha, Beta and Gamma missing; the font manager offers and loads all three.
    void Prepare() {
        Launch();
        for (const char* name : {"Alpha", "Beta", "Gamma"}) Offer(name);
        OpenDocument({"Alpha", "Beta", "Gamma"});
    }
    void Find() {
        Press("Find");
        ASSERT_EQ(Rows(kAvailableList), Strings({"Alpha", "Beta", "Gamma"}));
    }
    // The suite and host-string calls a press of the button makes, counted; `dispatch`
    // is how many of them come before the command starts (the panel reading which
    // button it was).
    long CallsOf(const std::string& button, bool find, long* dispatch = nullptr) {
        if (find) Find();
        if (button == "Activate") SelectAvailable({1});
        long calls = 0;
        long buttonRead = 0;
        m_host->Faults().SetCallHook([&](const host::FaultSite& site, long) {
            ++calls;
            if (buttonRead == 0 && std::string(site.function) == "GetID") buttonRead = calls;
        });
        Press(button);
        m_host->Faults().SetCallHook(nullptr);
        if (dispatch != nullptr) *dispatch = buttonRead;
        return calls;
    }
    // The host destroyed the dialog before one of the plug-in's calls on it: that call,
    // already under way, reaches a dialog that is gone; no later one may.
    void ExpectOnlyTheCallUnderWay(std::size_t problemsBefore) {
        const Strings problems = Problems();
        ASSERT_GE(problems.size(), problemsBefore);
        EXPECT_LE(problems.size() - problemsBefore, 1u) << problems.back();
        for (std::size_t i = problemsBefore; i < problems.size(); ++i)
            EXPECT_NE(problems[i].find("stale or null"), std::string::npos) << problems[i];
        m_expectedProblems = {"stale or null"};
    }
    void Restart() {
        TearDown();
        m_expectedProblems.clear();
        SetUp();
    }
};

const struct {
    const char* button;
    bool afterFind;
} kCommands[] = {
    {"Refresh", false}, {"Find", false},       {"Activate All", true},
    {"Activate", true}, {"Install All", true},
};

// A document notification at each host call of each command: the command finishes on
// the records it started with, the refresh waits for it, and no row is left leading
// to a deleted record. One that comes while the panel reads which button was pressed
// is before the command: it refreshes at once, and the command then acts on what the
// refresh left (Find finds the two fonts still missing; the others find the offers
// gone and leave the refresh's status).
TEST_F(Reentry, ADocumentNotificationAtAnyCallOfACommandWaitsForIt) {
    for (const auto& c : kCommands) {
        Prepare();
        long dispatch = 0;
        const long calls = CallsOf(c.button, c.afterFind, &dispatch);
        TearDown();
        SetUp();
        ASSERT_GT(calls, 0) << c.button;
        ASSERT_GT(dispatch, 0) << c.button;
        for (long at = 1; at <= calls; ++at) {
            SCOPED_TRACE(std::string(c.button) + ", notification at call " + std::to_string(at));
            Prepare();
            if (c.afterFind) Find();
            if (std::string(c.button) == "Activate") SelectAvailable({1});
            long call = 0;
            bool sent = false;
            m_host->Faults().SetCallHook([&](const host::FaultSite&, long) {
                if (++call != at) return;
                sent = true;
                // Beta is found on the machine meanwhile.
                m_fonts->SetDocumentFonts(Machine() + "/doc.pdf", {"Alpha", "Gamma"});
                m_host->FireNotifier(kAIDocumentChangedNotifier);
            });
            Press(c.button);
            m_host->Faults().SetCallHook(nullptr);
            EXPECT_TRUE(sent);
            EXPECT_TRUE(DanglingRows().empty()) << DanglingRows().front();
            // The refresh the notification asked for has run by now.
            EXPECT_EQ(Rows(kMissingList), Strings({"* Alpha", "* Gamma"}));
            if (at <= dispatch && std::string(c.button) == "Find") {
                EXPECT_EQ(Rows(kAvailableList), Strings({"Alpha", "Gamma"}));
                EXPECT_EQ(Status(), "2 fonts have been found");
            } else {
                EXPECT_NE(Status().find("missing font"), std::string::npos) << Status();
            }
            TearDown();
            SetUp();
        }
    }
}

// The font change an activation broadcasts, handled by the host on the spot (inside
// the broadcast) as a real host's window procedure does: the refresh waits for the
// command, then shows the fonts as they are.
TEST_F(Reentry, TheFontChangeHandledInsideTheBroadcastRefreshesAfterTheCommand) {
    Prepare();
    Find();
    int changes = 0;
    struct Context {
        Validator* self;
        int* changes;
        host::FontList* fonts;
        host::Host* host;
        std::string machine;
    } context{this, &changes, m_fonts.get(), m_host.get(), Machine()};
    const HWND window = EmuCreateTopLevelWindow(
        [](HWND, UINT message, WPARAM, LPARAM, void* data) -> LRESULT {
            auto* c = static_cast<Context*>(data);
            if (message != WM_FONTCHANGE) return 0;
            ++*c->changes;
            c->fonts->SetDocumentFonts(c->machine + "/doc.pdf", {});
            c->host->FireNotifier(kAIFontListChangedNotifier);
            return 0;
        },
        &context);
    Press("Activate All");
    EmuDestroyWindow(window);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(Rows(kMissingList).empty());
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_EQ(Status(), "No missing fonts in opened documents");
    EXPECT_TRUE(DanglingRows().empty());
}

// The font manager fails at each call of Activate All while every font change is
// handled on the spot, as on Windows, where the font manager broadcasts one too: the
// outcome the refresh replaces reaches the user in one alert, never the same twice.
TEST_F(Reentry, ABrokenOffActivationIsAlertedOnceWhateverRefreshesFollow) {
    Prepare();
    Find();
    const std::size_t before = m_glyvor->calls().size();
    Press("Activate All");
    const std::size_t calls = m_glyvor->calls().size() - before;
    TearDown();
    SetUp();
    ASSERT_GT(calls, 2u);
    struct Context {
        host::Host* host;
    };
    for (std::size_t at = 1; at <= calls; ++at) {
        SCOPED_TRACE("the font manager fails at call " + std::to_string(at));
        Prepare();
        Find();
        Alerts();
        Context context{m_host.get()};
        const HWND window = EmuCreateTopLevelWindow(
            [](HWND, UINT message, WPARAM, LPARAM, void* data) -> LRESULT {
                if (message == WM_FONTCHANGE)
                    static_cast<Context*>(data)->host->FireNotifier(kAIFontListChangedNotifier);
                return 0;
            },
            &context);
        m_glyvor->failFromCall = m_glyvor->calls().size() + at;
        m_glyvor->failHr = RPC_E_DISCONNECTED;
        Press("Activate All");
        EmuDestroyWindow(window);
        const Strings alerts = Alerts();
        for (std::size_t i = 1; i < alerts.size(); ++i)
            EXPECT_NE(alerts[i], alerts[i - 1]) << "the same alert twice";
        EXPECT_TRUE(DanglingRows().empty());
        TearDown();
        SetUp();
    }
}

// The host destroys the panel's dialog at each host call of a command (from inside the
// dialog's own notify) or of a refresh a notification asked for: the command stops,
// the panel object goes with its dialog, and what follows finds no panel.
TEST_F(Reentry, ThePanelDestroyedFromInsideItsOwnCallsEndsWhatRan) {
    for (const auto& c : kCommands) {
        Prepare();
        const long calls = CallsOf(c.button, c.afterFind);
        TearDown();
        SetUp();
        for (long at = 1; at <= calls; ++at) {
            SCOPED_TRACE(std::string(c.button) + ", destroyed at call " + std::to_string(at));
            Prepare();
            if (c.afterFind) Find();
            if (std::string(c.button) == "Activate") SelectAvailable({1});
            long call = 0;
            std::size_t problemsBefore = 0;
            m_host->Faults().SetCallHook([&](const host::FaultSite&, long) {
                if (++call != at || Panel() == nullptr) return;
                m_dialogs->Manager().DestroyDialog(Panel());
                problemsBefore = Problems().size();
            });
            Press(c.button);
            m_host->Faults().SetCallHook(nullptr);
            EXPECT_EQ(Panel(), nullptr);
            ExpectOnlyTheCallUnderWay(problemsBefore);
            // The toggle finds no panel and says so; a document still refreshes nothing.
            m_host->UpdateMenus();
            EXPECT_EQ(m_host->Menu().FindItem("Lumaro Menu Item")->text, u"Show Lumaro Panel");
            OpenDocument({"Delta"});
            Restart();
        }
    }
    // The same from inside the refresh of a document notification.
    Prepare();
    long refreshCalls = 0;
    m_host->Faults().SetCallHook([&](const host::FaultSite&, long) { ++refreshCalls; });
    m_host->FireNotifier(kAIDocumentChangedNotifier);
    m_host->Faults().SetCallHook(nullptr);
    for (long at = 1; at <= refreshCalls; ++at) {
        SCOPED_TRACE("refresh of a notification, destroyed at call " + std::to_string(at));
        Restart();
        Prepare();
        long call = 0;
        std::size_t problemsBefore = 0;
        m_host->Faults().SetCallHook([&](const host::FaultSite&, long) {
            if (++call != at || Panel() == nullptr) return;
            m_dialogs->Manager().DestroyDialog(Panel());
            problemsBefore = Problems().size();
        });
        m_host->FireNotifier(kAIDocumentChangedNotifier);
        m_host->Faults().SetCallHook(nullptr);
        EXPECT_EQ(Panel(), nullptr);
        ExpectOnlyTheCallUnderWay(problemsBefore);
    }
}

// The dialog's procedures called by the host for a dialog it has destroyed: none
// reaches the deleted panel; the host sees the init procedure refuse ('PARM'), the
// track procedure decline, and only its own stale references reported.
TEST_F(Reentry, ProceduresCalledForADestroyedDialogDoNothing) {
    Prepare();
    ADMDialogRef panel = Panel();
    const ADMDialogDrawProc draw = panel->drawProc;
    const ADMDialogTrackProc track = panel->trackProc;
    const ADMDialogNotifyProc notify = panel->notifyProc;
    const ADMDialogDestroyProc destroy = panel->destroyProc;
    ASSERT_NE(draw, nullptr);
    ASSERT_NE(notify, nullptr);
    ASSERT_NE(destroy, nullptr);
    m_dialogs->Manager().DestroyDialog(panel);
    ASSERT_EQ(Panel(), nullptr);
    const std::size_t problemsBefore = Problems().size();
    // Called as the host calls them, on the plug-in's behalf.
    host::CurrentPluginScope scope(m_plugin);
    draw(panel, nullptr);
    if (track != nullptr) {
        EXPECT_EQ(track(panel, nullptr), 0);
    }
    notify(panel, nullptr);
    destroy(panel);
    const Strings problems = Problems();
    for (std::size_t i = problemsBefore; i < problems.size(); ++i)
        EXPECT_NE(problems[i].find("stale or null dialog reference"), std::string::npos)
            << problems[i];
    m_expectedProblems.push_back("stale or null dialog reference");
    // The plug-in lives on without its panel.
    OpenDocument({"Delta"});
    EXPECT_EQ(Panel(), nullptr);
}

}  // namespace
