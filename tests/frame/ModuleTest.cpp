// The built module, driven through the simulated host as the real one drives it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "host/host.h"

namespace {

constexpr ASInt32 kErrorList = 16050;

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override { NewHost(); }

    // A host that refused or failed a plug-in does not start it again: each
    // attempt gets a host of its own, as each launch of the application would.
    void NewHost() {
        hostPtr.reset();
        hostPtr = std::make_unique<host::Host>();
        plugin = hostPtr->LoadModule(LUMARO_MODULE_PATH);
        ASSERT_NE(plugin, nullptr);
    }

    // One message as the host sends it, with the plug-in's globals word.
    ASErr Call(const char* caller, const char* selector) {
        AIMenuMessage message{};
        return hostPtr->Send(*plugin, caller, selector, message.d);
    }

    host::AllocationStats Memory() { return hostPtr->Memory().Stats(plugin); }

    std::vector<host::Event> Alerts() { return hostPtr->Events().OfKind(host::EventKind::Alert); }
    std::vector<std::string> Assertions() {
        std::vector<std::string> texts;
        for (const auto& event : hostPtr->Events().OfKind(host::EventKind::Assertion)) {
            texts.push_back(event.subject);
        }
        return texts;
    }

    std::unique_ptr<host::Host> hostPtr;
    host::LoadedPlugin* plugin = nullptr;
};

TEST_F(ModuleTest, BeforeStartUpEveryMessageAnswersZero) {
    EXPECT_EQ(Call("SP Interface", "Shutdown"), kNoErr);
    EXPECT_EQ(Call("AI Menu", "AI Go"), kNoErr);
    EXPECT_EQ(Call("SP Access", "Reload"), kNoErr);
    EXPECT_EQ(plugin->Globals(), nullptr);
    EXPECT_EQ(Memory().totalBlocks, 0u);
}

TEST_F(ModuleTest, StartsNamesItselfAndShutsDownWithNothingLeft) {
    host::Host& host = *hostPtr;
    ASSERT_EQ(host.Startup(*plugin), kNoErr);
    EXPECT_NE(plugin->Globals(), nullptr);
    EXPECT_EQ(plugin->Name(), "Lumaro");
    bool registered = false;
    for (const auto& notifier : host.Notifiers()) {
        registered |= notifier->name == "Lumaro App Started Notifier" &&
                      notifier->type == "AI Application Started Notifier";
    }
    EXPECT_TRUE(registered);
    EXPECT_GE(Memory().totalBlocks, 2u) << "the plug-in object and the suite holder";

    EXPECT_EQ(host.Shutdown(*plugin), kNoErr);
    EXPECT_EQ(plugin->Globals(), nullptr);
    EXPECT_EQ(Memory().blocksOutstanding, 0u);
    EXPECT_TRUE(host.HeldSuites(plugin).empty());
    EXPECT_EQ(host.Strings().LiveCount(plugin), 0u);
}

TEST_F(ModuleTest, UnhandledMessagesAnswerZero) {
    host::Host& host = *hostPtr;
    ASSERT_EQ(host.Startup(*plugin), kNoErr);
    EXPECT_EQ(Call("SP Interface", "Something"), kNoErr);
    EXPECT_EQ(Call("Workspace Manager", "Write Workspace"), kNoErr);
    EXPECT_EQ(Call("SP Cache", "Plug-in Purge"), kNoErr);
    EXPECT_EQ(Call("AI Timer", "AI Go"), kNoErr);
    EXPECT_EQ(host.Shutdown(*plugin), kNoErr);
}

class RefusedSuiteStartupTest : public ModuleTest,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedSuiteStartupTest, FailsGivesBackEverythingAndStaysDown) {
    host::Host& host = *hostPtr;
    // The host's own answer, whatever it is, is what start-up returns.
    const ASErr refusal = HostFourCC('N', 'o', 'p', 'e');
    host.RefuseSuite(GetParam(), true, refusal);
    const ASErr error = host.Startup(*plugin);
    EXPECT_EQ(error, refusal);
    EXPECT_EQ(plugin->Globals(), nullptr);
    EXPECT_TRUE(host.HeldSuites(plugin).empty());
    EXPECT_EQ(Memory().blocksOutstanding, 0u);
    EXPECT_EQ(plugin->State(), host::PluginState::Failed);
}

INSTANTIATE_TEST_SUITE_P(
    EachSuite, RefusedSuiteStartupTest,
    ::testing::Values("SP Access Suite", "SP Plug-ins Suite", "AI Notifier Suite",
                      "AI Context Suite", "ADM Basic Suite", "ADM Dialog Suite",
                      "ADM Dialog Group Suite", "ADM Entry Suite", "ADM Item Suite",
                      "ADM List Suite", "ADM Notifier Suite", "ADM Drawer Suite", "ADM Image Suite",
                      "ADM Hierarchy List Suite", "ADM Icon Suite", "AI Document Suite",
                      "AI Preference Suite", "AI Menu Suite", "AI Unicode String Suite",
                      "AI Font Suite", "AI ATE Text Util Suite"));

// A refusal's code reaches the host from start-up and from a reload; an
// ignored code is never shown, any other is, once.
TEST_F(ModuleTest, IgnoredCodesAreReturnedButNeverShown) {
    const struct {
        ASErr code;
        bool shown;
    } cases[] = {
        {361, false},
        {HostFourCC('S', 'T', 'O', 'P'), false},
        {HostFourCC('N', 'o', 'p', 'e'), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(host::FormatErrorCode(c.code));
        const std::size_t alerts = c.shown ? 1 : 0;

        NewHost();
        hostPtr->SetStringList(*plugin, kErrorList, {"*", "failed: %s"});
        hostPtr->RefuseSuite("AI Font Suite", true, c.code);
        EXPECT_EQ(hostPtr->Startup(*plugin), c.code);
        EXPECT_EQ(Alerts().size(), alerts) << "start-up";

        NewHost();
        hostPtr->SetStringList(*plugin, kErrorList, {"*", "failed: %s"});
        ASSERT_EQ(hostPtr->Startup(*plugin), kNoErr);
        ASSERT_EQ(hostPtr->Unload(*plugin), kNoErr);
        hostPtr->RefuseSuite("AI Font Suite", true, c.code);
        EXPECT_EQ(hostPtr->Reload(*plugin), c.code);
        EXPECT_EQ(Alerts().size(), alerts) << "reload";
        EXPECT_EQ(hostPtr->Shutdown(*plugin), kNoErr);
        EXPECT_TRUE(hostPtr->HeldSuites(plugin).empty());
    }
}

// After a reload that could not acquire the suites the object lives on
// without them: only another reload reaches it.
TEST_F(ModuleTest, WithoutItsSuitesOnlyAReloadReachesTheObject) {
    host::Host& host = *hostPtr;
    ASSERT_EQ(host.Startup(*plugin), kNoErr);
    ASSERT_EQ(host.Unload(*plugin), kNoErr);
    host.RefuseSuite("AI Menu Suite", true);
    ASSERT_NE(host.Reload(*plugin), kNoErr);
    ASSERT_TRUE(host.HeldSuites(plugin).empty());
    host.RefuseSuite("AI Menu Suite", false);

    // Dispatched, this notification would ask a panel that does not exist to
    // refresh, which asserts.
    const std::size_t sent = host.Events().Size();
    EXPECT_EQ(host.FireNotifier("AI Document Opened Notifier"), 1);
    for (const auto& event : host.Events().Since(sent)) {
        if (event.kind == host::EventKind::Message) {
            EXPECT_EQ(event.result, kNoErr);
        }
    }
    EXPECT_TRUE(Assertions().empty());

    EXPECT_EQ(Call("SP Access", "Reload"), kNoErr);
    EXPECT_FALSE(host.HeldSuites(plugin).empty());
    EXPECT_EQ(host.FireNotifier("AI Document Opened Notifier"), 1);
    EXPECT_EQ(Assertions(), std::vector<std::string>{"m_pDlgNonModal != NULL"});
    EXPECT_EQ(host.Shutdown(*plugin), kNoErr);
    EXPECT_TRUE(host.HeldSuites(plugin).empty());
}

// "SP Interface"/"About" shows strings 1 and 2 of list 16600, each empty
// when missing, in buffers of 256 bytes.
TEST_F(ModuleTest, AboutShowsTheFirstTwoStringsOfItsAboutList) {
    const std::string long300(300, 'x');
    const struct {
        bool supplied;
        std::vector<std::string> strings;
        std::string shown;
    } cases[] = {
        {false, {}, " | "},
        {true, {}, " | "},
        {true, {"Lumaro 1.0"}, "Lumaro 1.0 | "},
        {true, {"Lumaro 1.0", "Corvane Software", "third"}, "Lumaro 1.0 | Corvane Software"},
        {true, {long300, "b"}, std::string(255, 'x') + " | b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        NewHost();
        // Another list of the plug-in's, never to be read for the About box.
        hostPtr->SetStringList(*plugin, kErrorList, {"not", "these"});
        if (c.supplied) hostPtr->SetStringList(*plugin, 16600, c.strings);
        ASSERT_EQ(hostPtr->Startup(*plugin), kNoErr);
        EXPECT_EQ(hostPtr->About(*plugin), kNoErr);
        const auto alerts = Alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].subject, "about box");
        EXPECT_EQ(alerts[0].detail, c.shown);
        EXPECT_EQ(hostPtr->Shutdown(*plugin), kNoErr);
    }
}

TEST_F(ModuleTest, RefusedMemoryForTheObjectOrTheHolderIsOutOfMemory) {
    host::Host& host = *hostPtr;
    host.Memory().RefuseNthAllocation(1);
    EXPECT_EQ(host.Startup(*plugin), kOutOfMemoryErr);
    EXPECT_EQ(plugin->Globals(), nullptr);

    NewHost();
    hostPtr->Memory().RefuseNthAllocation(2);
    EXPECT_EQ(hostPtr->Startup(*plugin), kOutOfMemoryErr);
    EXPECT_EQ(plugin->Globals(), nullptr);
    EXPECT_EQ(Memory().blocksOutstanding, 0u);
    EXPECT_TRUE(hostPtr->HeldSuites(plugin).empty());
}

// Whatever allocation the host refuses, the plug-in fails cleanly or goes on,
// and nothing stays allocated or acquired after shutdown.
TEST_F(ModuleTest, EveryRefusedAllocationIsSurvived) {
    host::Host& host = *hostPtr;
    ASSERT_EQ(host.Startup(*plugin), kNoErr);
    const std::size_t allocations = Memory().totalBlocks;
    ASSERT_EQ(host.Shutdown(*plugin), kNoErr);
    for (std::size_t n = 1; n <= allocations + 2; ++n) {
        NewHost();
        host::Host& host = *hostPtr;
        host.Memory().RefuseNthAllocation(n);
        const ASErr error = host.Startup(*plugin);
        if (error == kNoErr) host.Shutdown(*plugin);
        host.Memory().RefuseNthAllocation(0);
        EXPECT_EQ(plugin->Globals(), nullptr) << "refusing allocation " << n;
        EXPECT_EQ(Memory().blocksOutstanding, 0u) << "refusing allocation " << n;
        EXPECT_TRUE(host.HeldSuites(plugin).empty()) << "refusing allocation " << n;
    }
}

TEST_F(ModuleTest, UnloadReallyUnloadsAndReloadBindsTheObjectToTheNewCode) {
    host::Host& host = *hostPtr;
    ASSERT_EQ(host.Startup(*plugin), kNoErr);
    void* const object = plugin->Globals();
    const std::uintptr_t firstBase = plugin->LoadBase();

    ASSERT_EQ(host.Unload(*plugin), kNoErr);
    EXPECT_FALSE(plugin->IsMapped());
    EXPECT_TRUE(host.HeldSuites(plugin).empty()) << "unload gives the suites back";
    EXPECT_EQ(plugin->Globals(), object) << "the object lives on in the globals word";

    ASSERT_EQ(host.Reload(*plugin), kNoErr);
    EXPECT_NE(plugin->LoadBase(), firstBase) << "the code came back elsewhere";
    EXPECT_EQ(plugin->Globals(), object);
    EXPECT_FALSE(host.HeldSuites(plugin).empty());

    // Virtual calls now run the reloaded code.
    EXPECT_EQ(host.About(*plugin), kNoErr);
    EXPECT_EQ(Call("AI Menu", "AI Update"), kNoErr);
    EXPECT_EQ(host.Shutdown(*plugin), kNoErr);
    EXPECT_EQ(Memory().blocksOutstanding, 0u);
    EXPECT_TRUE(host.HeldSuites(plugin).empty());
}

TEST_F(ModuleTest, ExportsOnlyTheEntryPointAndBringsItsOwnAllocator) {
    const std::string command = std::string("nm -D ") + LUMARO_MODULE_PATH;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::vector<std::string> defined;
    std::vector<std::string> undefinedAllocators;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        const std::size_t space = text.rfind(' ');
        const std::string symbol = text.substr(space + 1);
        const bool undefinedSymbol = text.find(" U ") != std::string::npos;
        const bool weakUndefined = text.find(" w ") != std::string::npos;
        if (!undefinedSymbol && !weakUndefined) defined.push_back(symbol);
        // operator new / delete in any form would mean allocations outside the host.
        if ((undefinedSymbol || weakUndefined) &&
            (symbol.rfind("_Znw", 0) == 0 || symbol.rfind("_Zna", 0) == 0 ||
             symbol.rfind("_Zdl", 0) == 0 || symbol.rfind("_Zda", 0) == 0)) {
            undefinedAllocators.push_back(symbol);
        }
    }
    EXPECT_EQ(defined, std::vector<std::string>{"PluginMain"});
    EXPECT_TRUE(undefinedAllocators.empty());
}

}  // namespace
