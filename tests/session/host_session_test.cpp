// The plug-in in a whole host session: before the application has started,
// which of the session's commands refresh the panel, unloading with the panel
// alive, font changes queued, and documents the host refuses. (The plug-in
// object's own cases are in tests/plugin.)
#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "fontlist/font_list.h"
#include "host/fontsuite/font_suite.h"
#include "host/text_encoding.h"
#include "platform/emu/control.h"
#include "platform/win32.h"
#include "session_fixture.h"

namespace {

using host::Event;
using host::EventKind;
using host::fontsuite::FontQuery;
using host::fontsuite::FontSuiteService;

const std::string kToggle = "Tool Palettes>Corvane Software>Lumaro>";

class HostSessionTest : public SessionTest {
protected:
    void Begin(bool announceStart = true, const std::string& plugins = SESSION_PLUGINS_DIR) {
        host::session::SessionOptions options = Options(plugins);
        options.announceStart = announceStart;
        m_session = std::make_unique<host::session::Session>(options, m_out);
        ASSERT_TRUE(m_session->Start()) << m_out.str();
        m_seen = Events().size();
    }
    void TearDown() override {
        m_session.reset();
        SessionTest::TearDown();
    }

    const std::vector<Event>& Events() { return m_session->Host().Events().Events(); }
    // Events since the last call.
    std::vector<Event> Fresh() {
        std::vector<Event> fresh(Events().begin() + static_cast<std::ptrdiff_t>(m_seen),
                                 Events().end());
        m_seen = Events().size();
        return fresh;
    }
    static std::size_t CountOf(const std::vector<Event>& events, EventKind kind) {
        return static_cast<std::size_t>(std::count_if(
            events.begin(), events.end(), [kind](const Event& e) { return e.kind == kind; }));
    }
    // The toggle item's text, after the update a host sends before showing the menu.
    std::string ToggleLabel() {
        EXPECT_TRUE(m_session->Execute("menu"));
        AIMenuItem* item = m_session->Host().Menu().FindItem("Lumaro Menu Item");
        return item == nullptr ? "" : host::EncodeUtf8(item->text);
    }
    bool Choose(const std::string& label) { return m_session->Execute("menu " + kToggle + label); }
    int ScanCalls() { return FontSuiteService::Active()->Calls(FontQuery::Count); }

    std::ostringstream m_out;
    std::unique_ptr<host::session::Session> m_session;
    std::size_t m_seen = 0;
};

// The session can hold back "AI Application Started Notifier"; until it comes,
// the toggle does nothing and a document raises only the plug-in's assertion.
TEST_F(HostSessionTest, BeforeTheApplicationHasStartedTheToggleAndDocumentsDoNothing) {
    Begin(false);
    EXPECT_EQ(ToggleLabel(), "Show Lumaro Panel");
    EXPECT_TRUE(Choose("Show Lumaro Panel"));
    EXPECT_EQ(m_session->Panel(), nullptr);
    EXPECT_TRUE(m_session->Dialogs().Dialogs().empty());
    EXPECT_EQ(ToggleLabel(), "Show Lumaro Panel");
    Fresh();
    ASSERT_TRUE(m_session->Execute("open $SAMPLES/flyer.eps"));
    const std::vector<Event> events = Fresh();
    ASSERT_EQ(CountOf(events, EventKind::Assertion), 1u) << m_out.str();
    for (const Event& e : events) {
        if (e.kind == EventKind::Assertion) {
            EXPECT_NE(e.ToString().find("m_pDlgNonModal != NULL"), std::string::npos)
                << e.ToString();
        }
        if (e.kind == EventKind::Message) {
            EXPECT_EQ(e.result, 0) << e.ToString();
        }
    }
    EXPECT_EQ(CountOf(events, EventKind::Alert), 0u);
    EXPECT_EQ(CountOf(events, EventKind::Problem), 0u);
    // Once the application has started, the panel comes and shows the document's fonts.
    ASSERT_TRUE(m_session->Execute("notify AI Application Started Notifier"));
    ASSERT_NE(m_session->Panel(), nullptr);
    EXPECT_EQ(ToggleLabel(), "Hide Lumaro Panel");
}

struct Notification {
    const char* command;
    bool refreshes;
};

TEST_F(HostSessionTest, OnlyOpenedChangedAndFontListNotificationsRefreshThePanel) {
    Begin();
    ASSERT_TRUE(m_session->Execute("open $SAMPLES/flyer.eps"));
    const Notification cases[] = {
        {"save $SAMPLES/flyer.eps", false},
        {"saveas $SAMPLES/flyer.eps $DEMO/copy.eps", false},
        {"save $DEMO/copy.eps", false},
        {"edit $DEMO/copy.eps", true},
        {"open $SAMPLES/badge.eps", true},
        {"notify AI Font List Changed Notifier", true},
        {"notify AI Command Notifier: Before Save", false},
    };
    for (const Notification& n : cases) {
        const int before = ScanCalls();
        ASSERT_TRUE(m_session->Execute(n.command)) << m_out.str();
        EXPECT_EQ(ScanCalls() > before, n.refreshes) << n.command;
    }
}

TEST_F(HostSessionTest, TheCodeStaysLoadedWhileThePanelExists) {
    Begin();
    host::LoadedPlugin* lumaro = m_session->Host().FindPlugin("Lumaro");
    ASSERT_NE(lumaro, nullptr);
    ASSERT_TRUE(m_session->Execute("unload"));
    EXPECT_TRUE(lumaro->CodeLoaded());
    EXPECT_EQ(lumaro->State(), host::PluginState::Started);
    ASSERT_TRUE(m_session->Execute("destroy-panel"));
    ASSERT_TRUE(m_session->Execute("unload"));
    EXPECT_FALSE(lumaro->CodeLoaded());
    EXPECT_EQ(lumaro->State(), host::PluginState::Unloaded);
    ASSERT_TRUE(m_session->Execute("reload"));
    EXPECT_TRUE(lumaro->CodeLoaded());
    EXPECT_EQ(ToggleLabel(), "Show Lumaro Panel");
    EXPECT_TRUE(m_session->Quit());
}

TEST_F(HostSessionTest, AFontChangeIsHandledAfterTheUserActionNotInsideIt) {
    Begin();
    const std::size_t fontsBefore = m_session->Fonts().MachineFontCount();
    // A font arrives and the system broadcasts while no command runs: the host
    // reads its fonts when its message loop comes round, not in the window procedure.
    const std::string font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    std::filesystem::copy_file(font, m_session->MachineFolder() + "/Fonts/DejaVuSans.ttf");
    SendMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
    EXPECT_EQ(m_session->Fonts().MachineFontCount(), fontsBefore);
    EXPECT_EQ(CountOf(Fresh(), EventKind::Message), 0u);
    ASSERT_TRUE(m_session->Execute("fonts"));
    EXPECT_EQ(m_session->Fonts().MachineFontCount(), fontsBefore + 1);
    const std::vector<Event> events = Fresh();
    ASSERT_EQ(CountOf(events, EventKind::Message), 1u);
    EXPECT_EQ(events.back().detail, "AI Font List Changed Notifier");
}

TEST_F(HostSessionTest, RefusedDocumentsChangeNothing) {
    Begin();
    ASSERT_TRUE(m_session->Execute("open $SAMPLES/brochure.pdf $SAMPLES/poster.ai"));
    std::vector<std::string> names;
    for (const host::FontEntry& e : m_session->Fonts().Entries()) names.push_back(e.Name());
    // LiberationSans is in both documents and listed once.
    EXPECT_EQ(std::count(names.begin(), names.end(), "LiberationSans"), 1);
    const std::string panelBefore = m_session->Dialogs().Render(m_session->Panel());
    Fresh();
    const std::string folder = std::string(SESSION_SCENARIOS_DIR) + "/documents/";
    for (const char* bad : {"empty.pdf", "truncated.pdf", "encrypted.pdf", "drawing.pdf",
                            "really-a-pdf.svg", "notes.eps", "missing.pdf", ""}) {
        std::ostringstream transcript;
        EXPECT_FALSE(m_session->Execute("open " + folder + bad)) << bad;
        std::vector<std::string> after;
        for (const host::FontEntry& e : m_session->Fonts().Entries()) after.push_back(e.Name());
        EXPECT_EQ(after, names) << bad;
        EXPECT_EQ(m_session->Fonts().OpenDocuments().size(), 2u) << bad;
        EXPECT_EQ(CountOf(Fresh(), EventKind::Message), 0u) << bad;
    }
    EXPECT_EQ(m_session->Dialogs().Render(m_session->Panel()), panelBefore);
    EXPECT_EQ(m_session->FailedCommands(), 8u);
}

}  // namespace

namespace {

TEST_F(HostSessionTest, SaveAsReplacesNoFileAndKeepsTheDocumentWhenItFails) {
    Begin();
    ASSERT_TRUE(m_session->Execute("open $SAMPLES/flyer.eps"));
    const std::string badge = ReadFile(Samples() + "/badge.eps");
    // Onto an existing file, and under a name of another kind: both refused.
    EXPECT_FALSE(m_session->Execute("saveas $SAMPLES/flyer.eps $SAMPLES/badge.eps"));
    EXPECT_EQ(ReadFile(Samples() + "/badge.eps"), badge);
    EXPECT_FALSE(m_session->Execute("saveas $SAMPLES/flyer.eps $DEMO/flyer.pdf"));
    EXPECT_FALSE(std::filesystem::exists(Demo() + "/flyer.pdf"));
    ASSERT_EQ(m_session->Fonts().OpenDocuments().size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(m_session->Fonts().OpenDocuments()[0],
                                            Samples() + "/flyer.eps"));
    ASSERT_TRUE(m_session->Execute("saveas $SAMPLES/flyer.eps $DEMO/flyer-2.eps"));
    ASSERT_EQ(m_session->Fonts().OpenDocuments().size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(m_session->Fonts().OpenDocuments()[0],
                                            Demo() + "/flyer-2.eps"));
}

}  // namespace

namespace {

// The panel's status line and the rows of one of its lists, as the user sees them.
struct PanelView {
    std::string status;
    std::size_t rows = 0;
    bool rowsLeadToLiveRecords = true;
};

PanelView View(host::session::Session& session, ASInt32 listID) {
    PanelView view;
    ADMDialog* panel = reinterpret_cast<ADMDialog*>(session.Panel());
    if (panel == nullptr) return view;
    for (const auto& item : panel->items) {
        if (item->id == 21) view.status = item->text;
        if (item->id != listID || item->list == nullptr) continue;
        view.rows = item->list->entries.size();
        for (const auto& entry : item->list->entries)
            if (entry->userData != nullptr && !session.Host().Memory().Owns(entry->userData))
                view.rowsLeadToLiveRecords = false;
    }
    return view;
}

// Find stopped by the host at each allocation in turn: the status line either
// counts the rows the list shows or says that the command failed; it never
// keeps the count of the last Find over rows that are gone.
TEST_F(HostSessionTest, AFindStoppedPartWayLeavesNoStaleCount) {
    Begin();
    const std::string group = m_root + "/group";
    std::filesystem::create_directories(group);
    for (const char* font : {"StandardSymbolsPS.otf", "D050000L.otf"})
        std::filesystem::copy_file(std::string("/usr/share/fonts/opentype/urw-base35/") + font,
                                   group + "/" + font);
    ASSERT_TRUE(m_session->Execute("glyvor index Symbols=" + group)) << m_out.str();
    ASSERT_TRUE(m_session->Execute("glyvor stopped"));
    m_session->Fonts().SetDocumentFonts(m_root + "/doc.pdf",
                                        {"StandardSymbolsPS", "D050000L", "No-Such-Font"});
    ASSERT_TRUE(m_session->Execute("notify AI Document Opened Notifier"));
    const std::string found = "2 fonts have been found";
    ASSERT_TRUE(m_session->Execute("press Find"));
    ASSERT_EQ(View(*m_session, 14).status, found);

    int failed = 0;
    for (std::size_t n = 1; n <= 80; ++n) {
        m_session->Host().Memory().RefuseNthAllocation(n);
        ASSERT_TRUE(m_session->Execute("press Find")) << m_out.str();
        m_session->Host().Memory().RefuseNthAllocation(0);
        const PanelView view = View(*m_session, 14);
        EXPECT_TRUE(view.rowsLeadToLiveRecords) << "refused allocation " << n;
        if (view.status == "The command could not be completed; please try again" ||
            view.status == "Cannot connect to Glyvor" ||
            view.status.find("could be listed; press Find") != std::string::npos) {
            ++failed;
        } else {
            // A record that could not be had is left out, and the count says so.
            const char* const counts[] = {"No appropriate fonts were found",
                                          "1 font has been found", "2 fonts have been found"};
            ASSERT_LE(view.rows, 2u) << "refused allocation " << n;
            EXPECT_EQ(view.status, counts[view.rows]) << "refused allocation " << n;
        }
        // Each round starts from a Find that worked.
        ASSERT_TRUE(m_session->Execute("press Find"));
        ASSERT_EQ(View(*m_session, 14).status, found) << m_out.str();
    }
    EXPECT_GT(failed, 0) << "some refusal stops the command";
    EXPECT_TRUE(m_session->Quit()) << m_out.str();
}

// A long session drops its records of events and broadcasts; what happens after
// that still reaches the transcript, each kind as before.
TEST_F(HostSessionTest, WhatHappensAfterTheRecordsAreDroppedIsStillEchoed) {
    Begin();
    struct Case {
        const char* kind;
        std::function<void()> act;
        std::string expected;
    };
    const Case cases[] = {
        {"message", [&] { ASSERT_TRUE(m_session->Execute("open $SAMPLES/flyer.eps")); },
         "[message] Lumaro: AI Notifier/AI Notify \"AI Document Opened Notifier\" -> 0"},
        {"alert",
         [&] {
             ASSERT_TRUE(m_session->Execute("about"));
             ASSERT_TRUE(m_session->Execute("alerts"));
         },
         "titled alert: About Lumaro"},
        {"broadcast",
         [&] {
             SendMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
             ASSERT_TRUE(m_session->Execute("fonts"));
         },
         "[broadcast] WM_FONTCHANGE sent to 1 window(s)"},
    };
    for (const Case& c : cases) {
        for (int round = 0; round < 2; ++round) {
            m_out.str("");
            c.act();
            EXPECT_NE(m_out.str().find(c.expected), std::string::npos)
                << c.kind << ", round " << round << ":\n"
                << m_out.str();
            m_session->ForgetEvents();
            EXPECT_TRUE(Events().empty()) << c.kind;
            EXPECT_EQ(EmuBroadcastCount(), 0u) << c.kind;
        }
    }
}

}  // namespace
