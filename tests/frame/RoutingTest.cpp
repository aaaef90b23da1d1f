// Which operation each caller and selector reaches.
#include <gtest/gtest.h>

#include "HeldSuite.h"
#include "RecordingPlugin.h"
#include "frame/Suites.h"
#include "host/host.h"

namespace {

struct RouteCase {
    const char* caller;
    const char* selector;
    int slot;  // -1: nothing is called
    ASErr result;
};

constexpr ASErr kUnhandled = kUnhandledMsgErr;

ASErr Answer(int slot) { return RecordingPlugin::AnswerOf(slot); }

class RoutingTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RoutingTest, ReachesExactlyOneOperation) {
    const RouteCase& route = GetParam();
    RecordingPlugin plugin;
    AIMenuMessage message{};
    const ASErr result = plugin.DispatchMessage(route.caller, route.selector, &message);
    EXPECT_EQ(result, route.result);
    if (route.slot < 0) {
        EXPECT_TRUE(plugin.calls.empty());
    } else {
        EXPECT_EQ(plugin.calls, std::vector<int>{route.slot});
    }
}

const RouteCase kRoutes[] = {
    {"SP Access", "Unload", 6, Answer(6)},
    {"SP Access", "Reload", 7, Answer(7)},
    {"SP Access", "Purge", -1, kUnhandled},
    {"SP Interface", "About", 11, Answer(11)},
    {"SP Interface", "Startup", -1, kNoErr},
    {"SP Interface", "Shutdown", -1, kUnhandled},
    {"SP Cache", "Plug-in Purge", 12, kNoErr},
    {"SP Properties", "Acquire", 8, Answer(8)},
    {"SP Properties", "Release", 9, Answer(9)},
    {"Action Manager", "Do Action", 20, Answer(20)},
    {"AI Menu", "AI Go", 21, Answer(21)},
    {"AI Menu", "AI Update", 22, Answer(22)},
    {"AI Filter", "AI Get Parameters", 23, Answer(23)},
    {"AI Filter", "AI Go", 24, Answer(24)},
    {"AI Plugin Group", "AI Notify Edits", 25, Answer(25)},
    {"AI Plugin Group", "AI Update", 26, Answer(26)},
    {"AI File Format", "AI Get Parameters", 27, Answer(27)},
    {"AI File Format", "AI Go", 28, Answer(28)},
    {"AI File Format", "AI Check", 29, Answer(29)},
    {"AI File Format", "AI Update AI140", 30, Answer(30)},
    {"AI File Format", "Do Action", 31, Answer(31)},
    {"AI Tool", "AI Edit Options", 32, Answer(32)},
    {"AI Tool", "AI Track Cursor", 33, Answer(33)},
    {"AI Tool", "AI Mouse Down", 34, Answer(34)},
    {"AI Tool", "AI Mouse Drag", 35, Answer(35)},
    {"AI Tool", "AI Mouse Up", 36, Answer(36)},
    {"AI Tool", "AI Select", 37, Answer(37)},
    {"AI Tool", "AI Deselect", 38, Answer(38)},
    {"AI Tool", "AI Reselect", 39, Answer(39)},
    {"AI Tool", "AI Decrease Diameter", 40, Answer(40)},
    {"AI Tool", "AI Increase Diameter", 41, Answer(41)},
    {"AI Live Effect", "AI Live Effect Edit Parameters", 42, Answer(42)},
    {"AI Live Effect", "AI Live Effect Go Live", 43, Answer(43)},
    {"AI Live Effect", "AI Live Effect Interpolate Parameters", 44, Answer(44)},
    {"AI Live Effect", "AI Live Effect Input Type", 45, Answer(45)},
    {"AI Live Effect", "AI Live Effect Convert Color Space", 46, Answer(46)},
    {"AI Live Effect", "AI Live Effect Scale Parameters", 47, Answer(47)},
    {"AI Live Effect", "AI Live Effect Adjust Colors", 48, Answer(48)},
    {"AI Live Effect", "AI Live Effect Handle Merge", 49, Answer(49)},
    {"AI Timer", "AI Go", 50, Answer(50)},
    {"AI Clipboard", "AI Go", 51, Answer(51)},
    {"AI Clipboard", "AI Can Copy", 52, Answer(52)},
    {"AI Clipboard", "AI Clone", 53, Answer(53)},
    {"AI Clipboard", "AI Dispose", 54, Answer(54)},
    {"Workspace Manager", "Write Woskspace", 55, Answer(55)},
    {"Workspace Manager", "Restore Woskspace", 56, Answer(56)},
    {"Workspace Manager", "Default Woskspace", 57, Answer(57)},
    // The host's spelling is the only one recognised.
    {"Workspace Manager", "Write Workspace", -1, kUnhandled},
    {"Workspace Manager", "Restore Workspace", -1, kUnhandled},
    {"Workspace Manager", "Default Workspace", -1, kUnhandled},
    // Comparisons are exact and case-sensitive.
    {"ai menu", "AI Go", -1, kUnhandled},
    {"AI Menu", "AI Go ", -1, kUnhandled},
    {"Nobody", "AI Go", -1, kUnhandled},
    {"", "", -1, kUnhandled},
};

INSTANTIATE_TEST_SUITE_P(EveryCallerAndSelector, RoutingTest, ::testing::ValuesIn(kRoutes));

TEST(PurgeTest, AnswersPurgedOnlyWhenSomethingWasPurged) {
    RecordingPlugin plugin;
    SPMessageData message{};
    EXPECT_EQ(plugin.DispatchMessage("SP Cache", "Plug-in Purge", &message), kNoErr);
    plugin.purgeAnswer = 1;
    EXPECT_EQ(plugin.DispatchMessage("SP Cache", "Plug-in Purge", &message), kPurgedAnswer);
}

class NotificationTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_spBasic = host.BasicSuite();
        module = host.LoadModule(LUMARO_MODULE_PATH);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(host.ContextDepth(), 0u) << "every push popped";
        g_spBasic = nullptr;
    }

    ASErr Notify(const char* selector, const char* type) {
        AINotifierMessage message{};
        message.d.self = module->Ref();
        message.type = type;
        return plugin.DispatchMessage("AI Notifier", selector, &message);
    }

    host::Host host;
    HeldSuite<AIContextSuite> context{host, kAIContextSuite, kAIContextSuiteVersion, g_aiContext};
    host::LoadedPlugin* module = nullptr;
    RecordingPlugin plugin;
};

TEST_F(NotificationTest, AppStartedReachesBothOperationsInOrder) {
    EXPECT_EQ(Notify("AI Notify", "AI Application Started Notifier"), Answer(19));
    EXPECT_EQ(plugin.calls, (std::vector<int>{4, 19}));
}

TEST_F(NotificationTest, AppStartedWithAnotherSelectorOnlyReachesAppStarted) {
    EXPECT_EQ(Notify("AI Something", "AI Application Started Notifier"), kNoErr);
    EXPECT_EQ(plugin.calls, std::vector<int>{4});
}

TEST_F(NotificationTest, AppStartedFailureEndsTheMessage) {
    plugin.appStartedAnswer = 42;
    EXPECT_EQ(Notify("AI Notify", "AI Application Started Notifier"), 42);
    EXPECT_EQ(plugin.calls, std::vector<int>{4});
}

TEST_F(NotificationTest, AppStartedUnhandledGoesOnToNotify) {
    plugin.appStartedAnswer = kUnhandledMsgErr;
    EXPECT_EQ(Notify("AI Notify", "AI Application Started Notifier"), Answer(19));
    EXPECT_EQ(plugin.calls, (std::vector<int>{4, 19}));
}

TEST_F(NotificationTest, OtherTypesOnlyReachNotify) {
    EXPECT_EQ(Notify("AI Notify", "AI Document Opened Notifier"), Answer(19));
    EXPECT_EQ(plugin.calls, std::vector<int>{19});
    plugin.calls.clear();
    EXPECT_EQ(Notify("AI Other", "AI Document Opened Notifier"), kUnhandledMsgErr);
    EXPECT_TRUE(plugin.calls.empty());
}

// A context the host would not push is not popped: popping it would pop another's.
TEST_F(NotificationTest, AContextTheHostRefusedToPushIsNotPopped) {
    host.Faults().FailNth(host::FaultKind::SuiteCall, 1, kBadParameterErr, kAIContextSuite,
                          "PushAppContext");
    EXPECT_EQ(Notify("AI Notify", "AI Document Opened Notifier"), Answer(19));
    EXPECT_EQ(plugin.calls, std::vector<int>{19}) << "the notification goes on without it";
    EXPECT_EQ(host.Faults().Fired().size(), 1u);
    EXPECT_EQ(host.Events().Count(host::EventKind::Problem), 0u);
}

TEST_F(NotificationTest, ContextIsPushedForTheNotificationOnly) {
    struct DepthRecorder : RecordingPlugin {
        host::Host* host = nullptr;
        std::size_t depth = 0;
        ASErr OnNotify(AINotifierMessage*) override {
            depth = host->ContextDepth();
            return kNoErr;
        }
    } recorder;
    recorder.host = &host;
    AINotifierMessage message{};
    message.d.self = module->Ref();
    message.type = "AI Document Opened Notifier";
    recorder.DispatchMessage("AI Notifier", "AI Notify", &message);
    EXPECT_EQ(recorder.depth, 1u);
}

}  // namespace
