// Every caller and selector in every state of the plug-in, messages twice in a row, and
// messages the host sends from inside one of the plug-in's own calls.
#include <set>

#include "Validator.h"
#include "hostapi/messages.h"

namespace {

bool ChangesState(const MessageName& m) {
    const std::string caller = m.caller, selector = m.selector;
    return (caller == kSPInterfaceCaller && (selector == kSPInterfaceStartupSelector ||
                                             selector == kSPInterfaceShutdownSelector)) ||
           (caller == kSPAccessCaller &&
            (selector == kSPAccessUnloadSelector || selector == kSPAccessReloadSelector));
}

std::string Name(const MessageName& m) { return std::string(m.caller) + "/" + m.selector; }

// Before start-up the host sees 0 for every message, and the plug-in asks nothing of it.
TEST_F(Validator, EveryMessageBeforeStartUpAnswersZeroAndAsksNothing) {
    for (const MessageName& m : EveryMessage()) {
        if (std::string(m.selector) == kSPInterfaceStartupSelector) continue;
        EXPECT_EQ(Send(m.caller, m.selector), kNoErr) << Name(m);
    }
    EXPECT_EQ(m_host->Memory().Stats(m_plugin).totalBlocks, 0u);
    EXPECT_TRUE(m_host->HeldSuites(m_plugin).empty());
    EXPECT_EQ(m_plugin->Globals(), nullptr);
}

// Running, with the panel: each message answers what its operation answers; none
// reaches the host as an error, and nothing is left unbalanced.
TEST_F(Validator, EveryMessageWhileRunningAnswersWithoutAnError) {
    Launch();
    OpenDocument({"Alpha"});
    for (const MessageName& m : EveryMessage()) {
        if (ChangesState(m)) continue;
        const ASErr result = Send(m.caller, m.selector);
        EXPECT_EQ(result, kNoErr) << Name(m);
    }
    EXPECT_EQ(m_host->ContextDepth(), 0u);
    EXPECT_EQ(Rows(18), Strings({"* Alpha"})) << "the panel is as it was";
    EXPECT_EQ(Alerts(), Strings({" | "})) << "only the About box";
}

// After "Unload" (the code still mapped, as between the message and the unmapping) the
// suites are gone and every message but "Reload" answers 0 untouched; "Reload" brings
// it all back.
TEST_F(Validator, EveryMessageAfterUnloadAnswersZeroUntilReload) {
    Launch();
    ASSERT_EQ(Send(kSPAccessCaller, kSPAccessUnloadSelector), kNoErr);
    ASSERT_TRUE(m_host->HeldSuites(m_plugin).empty());
    for (const MessageName& m : EveryMessage()) {
        if (ChangesState(m)) continue;
        EXPECT_EQ(Send(m.caller, m.selector), kNoErr) << Name(m);
    }
    EXPECT_TRUE(m_host->HeldSuites(m_plugin).empty()) << "no message acquired anything";
    ASSERT_EQ(Send(kSPAccessCaller, kSPAccessReloadSelector), kNoErr);
    EXPECT_FALSE(m_host->HeldSuites(m_plugin).empty());
    OpenDocument({"Alpha"});
    EXPECT_EQ(Rows(18), Strings({"* Alpha"}));
}

// After "Shutdown" the object is gone; whatever follows answers 0.
TEST_F(Validator, EveryMessageAfterShutdownAnswersZero) {
    Launch();
    ASSERT_EQ(Send(kSPInterfaceCaller, kSPInterfaceShutdownSelector), kNoErr);
    ASSERT_EQ(m_plugin->Globals(), nullptr);
    for (const MessageName& m : EveryMessage()) {
        if (std::string(m.selector) == kSPInterfaceStartupSelector) continue;
        EXPECT_EQ(Send(m.caller, m.selector), kNoErr) << Name(m);
    }
    EXPECT_EQ(m_host->Memory().Stats(m_plugin).blocksOutstanding, 0u);
    EXPECT_TRUE(m_host->HeldSuites(m_plugin).empty());
}

// What the host sees for a message twice in a row, and what is left afterwards: one
// plug-in object, one panel, one hold of each suite.
TEST_F(Validator, TheSameMessageTwiceInARow) {
    const struct {
        const char* name;
        std::vector<MessageName> twice;
        std::vector<ASErr> results;
    } cases[] = {
        {"start-up",
         {{kSPInterfaceCaller, kSPInterfaceStartupSelector},
          {kSPInterfaceCaller, kSPInterfaceStartupSelector}},
         {kNoErr, kNoErr}},
        {"shutdown",
         {{kSPInterfaceCaller, kSPInterfaceShutdownSelector},
          {kSPInterfaceCaller, kSPInterfaceShutdownSelector}},
         {kNoErr, kNoErr}},
        {"unload",
         {{kSPAccessCaller, kSPAccessUnloadSelector}, {kSPAccessCaller, kSPAccessUnloadSelector}},
         {kNoErr, kNoErr}},
        {"reload without an unload",
         {{kSPAccessCaller, kSPAccessReloadSelector}, {kSPAccessCaller, kSPAccessReloadSelector}},
         {kNoErr, kNoErr}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Launch();
        void* const object = m_plugin->Globals();
        for (std::size_t i = 0; i < c.twice.size(); ++i)
            EXPECT_EQ(Send(c.twice[i].caller, c.twice[i].selector), c.results[i]) << i;
        if (m_plugin->Globals() != nullptr) {
            EXPECT_EQ(m_plugin->Globals(), object) << "the first object stays the one";
            for (const std::string& suite : m_host->HeldSuites(m_plugin))
                EXPECT_NE(suite.find("(1)"), std::string::npos) << suite;
            EXPECT_EQ(m_dialogs->Manager().Dialogs().size(), 1u);
        }
    }
}

// The application-started notification twice: one panel, not two.
TEST_F(Validator, TheApplicationStartedTwiceMakesOnePanel) {
    Launch();
    OpenDocument({"Alpha"});
    m_host->FireNotifier(kAIApplicationStartedNotifier);
    EXPECT_EQ(m_dialogs->Manager().Dialogs().size(), 1u);
    EXPECT_EQ(Rows(18), Strings({"* Alpha"}));
}

// A message the host sends while the plug-in is inside one of its own calls (here:
// the refresh a document notification asks for). A shutdown or an unload then would
// pull the object or its suites from under the running code: the plug-in refuses
// them (the host sees an error) and stays whole; the others run or wait.
TEST_F(Validator, MessagesSentFromInsideTheRefreshOfANotification) {
    const struct {
        MessageName message;
        bool refused;
    } cases[] = {
        {{kSPInterfaceCaller, kSPInterfaceShutdownSelector}, true},
        {{kSPAccessCaller, kSPAccessUnloadSelector}, true},
        {{kSPInterfaceCaller, kSPInterfaceStartupSelector}, false},
        {{kSPAccessCaller, kSPAccessReloadSelector}, false},
        {{kSPInterfaceCaller, kSPInterfaceAboutSelector}, false},
        {{kAIMenuCaller, kAIUpdateSelector}, false},
        {{kAINotifierCaller, kAINotifySelector}, false},
    };
    for (const auto& c : cases) {
        for (const long at : {1L, 3L, 10L, 25L}) {
            SCOPED_TRACE(Name(c.message) + " at call " + std::to_string(at));
            TearDown();
            SetUp();
            Launch();
            m_fonts->SetDocumentFonts(Machine() + "/doc.pdf", {"Alpha", "Beta"});
            ASErr nested = kNoErr;
            bool sent = false;
            m_host->Faults().SetCallHook([&](const host::FaultSite&, long call) {
                if (sent || call < at) return;
                sent = true;
                nested = Send(c.message.caller, c.message.selector,
                              const_cast<char*>(kAIDocumentChangedNotifier));
            });
            const long before = 0;
            (void)before;
            m_host->FireNotifier(kAIDocumentOpenedNotifier);
            m_host->Faults().SetCallHook(nullptr);
            ASSERT_TRUE(sent);
            if (c.refused) {
                EXPECT_NE(nested, kNoErr) << "the host learns it asked at the wrong time";
            } else {
                EXPECT_EQ(nested, kNoErr);
            }
            EXPECT_NE(m_plugin->Globals(), nullptr);
            EXPECT_TRUE(DanglingRows().empty());
            // The panel ends up showing the document's fonts.
            EXPECT_EQ(Rows(18), Strings({"* Alpha", "* Beta"}));
        }
    }
}

}  // namespace
