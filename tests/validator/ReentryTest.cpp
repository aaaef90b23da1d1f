// The host acting in the middle of the plug-in's calls: inside any host call of ours or
// any font-manager call (COM's modal loop hands the waiting thread the messages others
// send), it shuts the plug-in down or unloads it, closes a document, destroys the panel,
// presses a button or selects a row; the font change a broadcast causes is handled on
// the spot; the dialog's procedures are called for a dialog already destroyed.
#include <regex>

#include "Validator.h"
#include "host/current_plugin.h"
#include "hostapi/messages.h"
#include "platform/emu/control.h"
#include "resources/PanelResourceIDs.h"

namespace {

// A message of the host's own, sent to its window while a font-manager call waits.
constexpr UINT kIntrude = 0x8001;

class Reentry : public Validator {
protected:
    struct Command {
        const char* name;
        bool afterFind;
        std::function<void(Reentry&)> run;
        // The font-manager calls of its walk, one per record it started with.
        DISPID walks;
        std::size_t walked;
    };
    // Alpha, Beta and Gamma missing; the font manager offers and loads all three.
    void Prepare(const Command& c, bool launch = true) {
        if (launch) Launch();
        for (const char* name : {"Alpha", "Beta", "Gamma"}) Offer(name);
        OpenDocument({"Alpha", "Beta", "Gamma"});
        if (!c.afterFind) return;
        Press("Find");
        ASSERT_EQ(Rows(kAvailableList), Strings({"Alpha", "Beta", "Gamma"}));
        SelectAvailable({1});
    }
    // The host destroyed the dialog before one of the plug-in's calls on it: that call,
    // already under way, reaches a dialog that is gone; no later one may.
    void ExpectOnlyTheCallUnderWay() {
        const Strings problems = Problems();
        ASSERT_GE(problems.size(), m_problemsBefore);
        EXPECT_LE(problems.size() - m_problemsBefore, 1u) << problems.back();
        for (std::size_t i = m_problemsBefore; i < problems.size(); ++i)
            EXPECT_NE(problems[i].find("stale or null"), std::string::npos) << problems[i];
        m_expectedProblems = {"stale or null"};
    }
    void Restart() {
        TearDown();
        m_expectedProblems.clear();
        SetUp();
    }
    // What a press the host delivers may meet: a button the panel disabled, or no panel.
    void PressIfEnabled(const char* button) {
        try {
            Press(button);
        } catch (const std::exception&) {
        }
    }
    // A command the host entered during a font-manager call went through every record
    // it started with, and announced what it activated once.
    void ExpectTheWholeWalk(const Command& c) {
        if (!m_inFontManagerCall) return;
        EXPECT_EQ(m_glyvor->CallsTo(c.walks) - m_walkedBefore, c.walked);
        EXPECT_EQ(EmuBroadcastCount(), c.walks == kDispIdLoadFont ? 1u : 0u);
    }
    // The rows, the status line's count and the records behind them agree.
    void ExpectConsistent() {
        EXPECT_TRUE(DanglingRows().empty()) << DanglingRows().front();
        std::smatch count;
        const std::string status = Status();
        if (std::regex_search(status, count, std::regex("^(\\d+) missing font"))) {
            EXPECT_EQ(std::to_string(Rows(kMissingList).size()), count[1].str()) << status;
        }
    }

    // Runs the command once for every call point of it, each host call of ours and
    // each font-manager call, from a fresh host, with `intrude` done by the host inside
    // that call, and `check` after the command has returned.
    void AtEveryCallPoint(const Command& c, const std::function<void()>& intrude,
                          const std::function<void()>& check) {
        Restart();
        Prepare(c);
        long hostCalls = 0;
        m_host->Faults().SetCallHook([&](const host::FaultSite&, long) { ++hostCalls; });
        const ULONG invokes = EmuInvokeTotal();
        c.run(*this);
        const long fontManagerCalls = static_cast<long>(EmuInvokeTotal() - invokes);
        m_host->Faults().SetCallHook(nullptr);
        ASSERT_GT(hostCalls, 0) << c.name;
        for (long at = 1; at <= hostCalls + fontManagerCalls; ++at) {
            const bool host = at <= hostCalls;
            SCOPED_TRACE(std::string(c.name) + (host ? ", host call " : ", font-manager call ") +
                         std::to_string(host ? at : at - hostCalls));
            // A plug-in that is whole is set back by the document and Find again; one
            // that lost its panel starts afresh.
            if (Panel() == nullptr || !m_expectedProblems.empty()) {
                Restart();
                Prepare(c);
            } else {
                Prepare(c, false);
            }
            m_inFontManagerCall = !host;
            m_walkedBefore = m_glyvor->CallsTo(c.walks);
            EmuResetCounters();
            bool done = false;
            const auto once = [&] {
                if (done) return;
                done = true;
                m_problemsBefore = Problems().size();
                intrude();
            };
            long call = 0;
            m_host->Faults().SetCallHook([&](const host::FaultSite&, long) {
                if (host && ++call == at) once();
            });
            std::function<void()> inInvoke = once;
            const HWND window = EmuCreateTopLevelWindow(
                [](HWND, UINT message, WPARAM, LPARAM, void* context) -> LRESULT {
                    if (message == kIntrude) (*static_cast<std::function<void()>*>(context))();
                    return 0;
                },
                &inInvoke);
            if (!host)
                EmuSendDuringInvoke(static_cast<ULONG>(at - hostCalls), window, kIntrude, 0, 0);
            c.run(*this);
            m_host->Faults().SetCallHook(nullptr);
            EmuClearFaults();
            EmuDestroyWindow(window);
            EXPECT_TRUE(done);
            ExpectConsistent();
            check();
        }
    }

    const std::vector<Command> kCommands = {
        // After Find, so that a refresh empties both lists.
        {"Refresh", true, [](Reentry& r) { r.Press("Refresh"); }, 0, 0},
        {"a document notification", true,
         [](Reentry& r) { r.m_host->FireNotifier(kAIDocumentChangedNotifier); }, 0, 0},
        {"Find", false, [](Reentry& r) { r.Press("Find"); }, kDispIdMatchFont, 3},
        {"Activate", true, [](Reentry& r) { r.Press("Activate"); }, kDispIdLoadFont, 1},
        {"Install", true, [](Reentry& r) { r.Press("Install"); }, kDispIdLoadFont, 1},
        {"Activate All", true, [](Reentry& r) { r.Press("Activate All"); }, kDispIdLoadFont, 3},
        {"Install All", true, [](Reentry& r) { r.Press("Install All"); }, kDispIdLoadFont, 3},
    };
    std::size_t m_problemsBefore = 0;
    std::size_t m_walkedBefore = 0;
    bool m_inFontManagerCall = false;
};

// A shutdown or an unload sent from inside any call of ours, whichever door the host
// came in by, is refused: the code under way keeps a live object and live suites, and
// the plug-in goes on working. A document closed there is refreshed once the command
// is done; the command finishes on the records it started with.
TEST_F(Reentry, ATeardownInsideAnyCallOfOursLeavesTheRunningCodeWhole) {
    ASErr answer = kNoErr;
    const struct {
        const char* name;
        std::function<void()> intrude;
        std::function<void()> check;
    } teardowns[] = {
        {"shutdown", [&] { answer = Send(kSPInterfaceCaller, kSPInterfaceShutdownSelector); },
         [&] { EXPECT_NE(answer, kNoErr); }},
        {"unload", [&] { answer = Send(kSPAccessCaller, kSPAccessUnloadSelector); },
         [&] { EXPECT_NE(answer, kNoErr); }},
        {"document closed",
         [&] {
             m_fonts->CloseDocument(Machine() + "/doc.pdf");
             m_host->FireNotifier(kAIDocumentChangedNotifier);
         },
         [&] {
             EXPECT_EQ(Rows(kMissingList), Strings());
             EXPECT_EQ(Status(), "No missing fonts in opened documents");
         }},
    };
    for (const auto& t : teardowns) {
        for (const Command& c : kCommands) {
            SCOPED_TRACE(t.name);
            AtEveryCallPoint(c, t.intrude, [&] {
                t.check();
                ExpectTheWholeWalk(c);
                ASSERT_NE(m_plugin->Globals(), nullptr);
                ASSERT_NE(Panel(), nullptr);
                OpenDocument({"Delta"}, "other.pdf");
                const Strings rows = Rows(kMissingList);
                EXPECT_NE(std::find(rows.begin(), rows.end(), "* Delta"), rows.end());
                m_fonts->CloseDocument(Machine() + "/other.pdf");
            });
        }
    }
}

// A button pressed or a row selected from inside any call of ours: nothing that changes
// the records runs while anything else walks them, so no row is left leading to a
// deleted record and the count is that of the rows.
TEST_F(Reentry, APressOrASelectionInsideAnyCallOfOursNeverRunsTwoWalksAtOnce) {
    const struct {
        const char* name;
        std::function<void()> intrude;
        // A press the outcome shown would not answer: the status says it was not acted on.
        bool command;
    } presses[] = {
        {"Find", [&] { PressIfEnabled("Find"); }, true},
        {"Refresh", [&] { PressIfEnabled("Refresh"); }, false},
        {"a selection",
         [&] {
             if (Rows(kAvailableList).empty()) return;
             try {
                 SelectAvailable({0});
             } catch (const std::exception&) {
             }
         },
         false},
    };
    for (const auto& p : presses) {
        for (const Command& c : kCommands) {
            SCOPED_TRACE(p.name);
            AtEveryCallPoint(c, p.intrude, [&] {
                ExpectTheWholeWalk(c);
                if (m_inFontManagerCall && p.command && std::string(p.name) != c.name) {
                    EXPECT_NE(Status().find("not acted on"), std::string::npos) << Status();
                }
                if (m_inFontManagerCall) {
                    EXPECT_EQ(EmuGetActiveObjectCount(), c.walked > 0 ? 1u : 0u)
                        << "one connection, never dropped midway";
                }
            });
        }
    }
}

// The host destroys the panel's dialog inside any call of ours: what ran stops, the
// panel object goes with its dialog, and what follows finds no panel.
TEST_F(Reentry, ThePanelDestroyedInsideAnyCallOfOursEndsWhatRan) {
    for (const Command& c : kCommands) {
        AtEveryCallPoint(
            c, [&] { m_dialogs->Manager().DestroyDialog(Panel()); },
            [&] {
                EXPECT_EQ(Panel(), nullptr);
                ExpectOnlyTheCallUnderWay();
                // The toggle finds no panel and says so; a document still refreshes nothing.
                m_host->UpdateMenus();
                EXPECT_EQ(m_host->Menu().FindItem("Lumaro Menu Item")->text, u"Show Lumaro Panel");
                OpenDocument({"Delta"}, "other.pdf");
            });
    }
}

// The font change an activation broadcasts, handled by the host on the spot (inside
// the broadcast) as a real host's window procedure does: the refresh waits for the
// command, then shows the fonts as they are.
TEST_F(Reentry, TheFontChangeHandledInsideTheBroadcastRefreshesAfterTheCommand) {
    Prepare(kCommands[5]);
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
// handled on the spot, as on Windows, where the font manager broadcasts one too, and the
// host gives the status item or will not. The outcome reaches the user exactly once: on
// the status line, or in one alert where a refresh replaced it or there is none.
TEST_F(Reentry, ABrokenOffActivationIsAlertedOnceWhateverRefreshesFollow) {
    Prepare(kCommands[5]);
    const std::size_t before = m_glyvor->calls().size();
    Press("Activate All");
    const std::size_t calls = m_glyvor->calls().size() - before;
    ASSERT_GT(calls, 2u);
    for (const bool statusItem : {true, false}) {
        for (std::size_t at = 1; at <= calls; ++at) {
            SCOPED_TRACE(std::string(statusItem ? "" : "no status item, ") +
                         "the font manager fails at call " + std::to_string(at));
            Restart();
            Prepare(kCommands[5]);
            for (const auto& item : Panel()->items)
                if (!statusItem && item->id == kStatusText) item->id = -kStatusText;
            Alerts();
            host::Host* const host = m_host.get();
            const HWND window = EmuCreateTopLevelWindow(
                [](HWND, UINT message, WPARAM, LPARAM, void* data) -> LRESULT {
                    if (message == WM_FONTCHANGE)
                        static_cast<host::Host*>(data)->FireNotifier(kAIFontListChangedNotifier);
                    return 0;
                },
                host);
            m_glyvor->failFromCall = m_glyvor->calls().size() + at;
            m_glyvor->failHr = RPC_E_DISCONNECTED;
            Press("Activate All");
            EmuDestroyWindow(window);
            // Two calls a font: its state, then its load.
            const std::size_t done = (at - 1) / 2;
            const std::string outcome =
                done == 0 ? "Cannot connect to Glyvor"
                          : (done == 1 ? std::string("1 font has")
                                       : std::to_string(done) + " fonts have") +
                                " been activated or installed. Cannot connect to Glyvor";
            const Strings alerts = Alerts();
            EXPECT_EQ(std::count(alerts.begin(), alerts.end(), outcome),
                      Status() == outcome ? 0 : 1)
                << Status();
            EXPECT_TRUE(DanglingRows().empty());
        }
    }
}

// The dialog's procedures called by the host for a dialog it has destroyed: none
// reaches the deleted panel; the host sees the init procedure refuse ('PARM'), the
// track procedure decline, and only its own stale references reported.
TEST_F(Reentry, ProceduresCalledForADestroyedDialogDoNothing) {
    Prepare(kCommands[0]);
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
