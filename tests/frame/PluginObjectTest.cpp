// The plug-in object's own operations, and the entry point called in this
// process with the simulated host's suites, where the object and g_Plugin
// are in reach.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "HeldSuite.h"
#include "frame/Plugin.h"
#include "frame/Suites.h"
#include "host/host.h"
#include "platform/emu/control.h"
#include "plugin/LumaroPlugin.h"

extern "C" ASErr PluginMain(const char* caller, const char* selector, void* message);

namespace {

class PluginObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_spBasic = host.BasicSuite();
        module = host.LoadModule(LUMARO_MODULE_PATH);
        ASSERT_NE(module, nullptr);
        EmuClearAssertions();
    }
    void TearDown() override { g_spBasic = nullptr; }

    host::Host host;
    host::LoadedPlugin* module = nullptr;
};

TEST_F(PluginObjectTest, HoldLoadedAcquiresAtTheFirstHoldAndReleasesAtTheLast) {
    HeldSuite<SPAccessSuite> access{host, kSPAccessSuite, kSPAccessSuiteVersion, g_spAccess};
    Plugin plugin(module->Ref());
    const struct {
        bool hold;
        int held;
    } steps[] = {
        {true, 1},
        {true, 1},
        {false, 1},
        {false, 0},
        // Releases beyond the holds leave the count at 0, not below: the
        // next hold acquires again.
        {false, 0},
        {false, 0},
        {true, 1},
        {false, 0},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_EQ(plugin.HoldLoaded(steps[i].hold), kNoErr);
        EXPECT_EQ(host.AccessCount(module), steps[i].held) << "step " << i;
    }
}

TEST_F(PluginObjectTest, CopyNameCutsAlwaysTerminatesAndAnswersTheFullLength) {
    Plugin plugin(module->Ref());  // named "Plugin"
    const struct {
        ASInt32 length;
        const char* copied;  // null: nothing written
    } cases[] = {
        {0, nullptr}, {1, ""}, {2, "P"}, {6, "Plugi"}, {7, "Plugin"}, {32, "Plugin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(plugin.CopyName(buffer, c.length), 6);
        if (c.copied == nullptr) {
            EXPECT_EQ(buffer[0], '#');
        } else {
            EXPECT_EQ(std::string(buffer, strnlen(buffer, sizeof buffer)), c.copied);
        }
        EXPECT_EQ(buffer[c.length], '#') << "nothing written past the buffer";
    }
}

// A start-up that fails before or after the suites are held: the object is
// gone, g_Plugin does not point at it, nothing is held, and every message
// after it answers 0 without reaching anything.
struct FailedStartUp {
    const char* name;
    void (*arrange)(host::Host& host);
    ASErr error;
};

void PrintTo(const FailedStartUp& failure, std::ostream* out) { *out << failure.name; }

class FailedStartUpTest : public PluginObjectTest,
                          public ::testing::WithParamInterface<FailedStartUp> {};

TEST_P(FailedStartUpTest, ClearsGPluginAndLeavesNothingForLaterMessages) {
    GetParam().arrange(host);
    host.SetStringList(*module, kErrorStringListID, {"*", "failed: %s"});
    SPMessageData startup{};
    startup.self = module->Ref();
    startup.basic = host.BasicSuite();
    EXPECT_EQ(PluginMain("SP Interface", "Startup", &startup), GetParam().error);
    EXPECT_EQ(startup.globals, nullptr);
    EXPECT_EQ(g_Plugin, nullptr);
    EXPECT_TRUE(host.HeldSuites(nullptr).empty());
    EXPECT_EQ(host.Memory().Stats(nullptr).blocksOutstanding, 0u);
    const std::size_t alerts = host.Events().OfKind(host::EventKind::Alert).size();

    const struct {
        const char* caller;
        const char* selector;
    } messages[] = {
        {"AI Notifier", "AI Notify"},  {"AI Menu", "AI Go"},         {"AI Menu", "AI Update"},
        {"SP Interface", "About"},     {"SP Access", "Unload"},      {"SP Access", "Reload"},
        {"SP Cache", "Plug-in Purge"}, {"SP Interface", "Shutdown"},
    };
    for (const auto& m : messages) {
        SCOPED_TRACE(std::string(m.caller) + "/" + m.selector);
        AINotifierMessage message{};
        message.d.self = module->Ref();
        message.d.basic = host.BasicSuite();
        message.d.globals = startup.globals;
        message.type = "AI Document Opened Notifier";
        EXPECT_EQ(PluginMain(m.caller, m.selector, &message), kNoErr);
        EXPECT_EQ(message.d.globals, nullptr);
    }
    EXPECT_EQ(EmuAssertionCount(), 0u);
    EXPECT_EQ(host.Events().OfKind(host::EventKind::Alert).size(), alerts);
    EXPECT_TRUE(host.HeldSuites(nullptr).empty());
    EXPECT_EQ(host.Memory().Stats(nullptr).blocksOutstanding, 0u);
}

const FailedStartUp kFailedStartUps[] = {
    {"RefusedSuite", [](host::Host& host) { host.RefuseSuite(kAIMenuSuite); }, kSuiteNotFoundErr},
    {"GroupNameTaken",
     [](host::Host& host) {
         ASSERT_EQ(host.Menu().AddGroup(nullptr, "Lumaro", 0, nullptr), kNoErr);
     },
     kBadParameterErr},
};

INSTANTIATE_TEST_SUITE_P(BeforeAndAfterTheSuites, FailedStartUpTest,
                         ::testing::ValuesIn(kFailedStartUps),
                         [](const ::testing::TestParamInfo<FailedStartUp>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
