// The host's fault plan: which call fails, how a suite function of each kind fails, and
// what counts as a fault point.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/current_plugin.h"
#include "host/host.h"
#include "platform/emu/control.h"
#include "test_paths.h"

namespace {

using host::FaultKind;

class FaultPlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
        ASSERT_NE(plugin, nullptr);
        basic = host.BasicSuite();
    }

    template <typename Suite>
    const Suite* Acquire(const char* name, ASInt32 version) {
        const void* table = nullptr;
        EXPECT_EQ(basic->AcquireSuite(name, version, &table), kNoErr) << name;
        return static_cast<const Suite*>(table);
    }

    std::vector<host::Event> Faults() { return host.Events().OfKind(host::EventKind::Fault); }

    host::Host host;
    host::LoadedPlugin* plugin = nullptr;
    SPBasicSuite* basic = nullptr;
};

// Any call that can fail counts; the n-th of them fails the way its function fails.
TEST_F(FaultPlanTest, TheNthCallThatCanFailFailsAsItsFunctionFails) {
    host::CurrentPluginScope scope(plugin);
    const auto* menu = Acquire<AIMenuSuite9>(kAIMenuSuite, kAIMenuSuiteVersion);
    const auto* list = Acquire<ADMListSuite1>(kADMListSuite, kADMListSuiteVersion);
    const auto* dialog = Acquire<ADMDialogSuite10>(kADMDialogSuite, kADMDialogSuiteVersion);
    const long before = host.Faults().Count(FaultKind::SuiteCall);
    // Every call is counted at its site, and named only when asked.
    auto callsOf = [&](const char* suite, const char* function) {
        const auto calls = host.Faults().CallsBySite();
        const auto it = calls.find(std::string(suite) + " " + function);
        return it == calls.end() ? 0L : it->second;
    };
    const long menuCalls = callsOf(kAIMenuSuite, "CountMenuGroups");
    const long listCalls = callsOf(kADMListSuite, "NumberOfEntries");
    host.Faults().FailNth(FaultKind::SuiteCall, 2, HostFourCC('F', 'A', 'I', 'L'));

    ASInt32 count = -1;
    EXPECT_EQ(menu->CountMenuGroups(&count), kNoErr);  // 1
    EXPECT_EQ(list->NumberOfEntries(nullptr), 0);      // cannot fail: not counted
    dialog->Show(nullptr, true);                       // nor this
    count = -1;
    EXPECT_EQ(menu->CountMenuGroups(&count), HostFourCC('F', 'A', 'I', 'L'));  // 2
    EXPECT_EQ(count, -1) << "a failed call leaves its output alone";
    EXPECT_EQ(menu->CountMenuGroups(&count), kNoErr) << "once only";
    EXPECT_EQ(host.Faults().Count(FaultKind::SuiteCall) - before, 3);
    EXPECT_EQ(callsOf(kAIMenuSuite, "CountMenuGroups") - menuCalls, 3);
    EXPECT_EQ(callsOf(kADMListSuite, "NumberOfEntries") - listCalls, 1);

    // A function that answers a reference fails with null.
    host.Faults().FailNth(FaultKind::SuiteCall, 1, kBadParameterErr);
    EXPECT_EQ(dialog->GetItem(nullptr, 3), nullptr);
    ASSERT_EQ(host.Faults().Fired().size(), 2u);
    EXPECT_EQ(host.Faults().Fired()[1].function, "GetItem");

    const auto events = Faults();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].plugin, plugin->Name());
    EXPECT_EQ(events[0].subject, "suite-call 2");
    EXPECT_EQ(events[0].detail, "AI Menu Suite CountMenuGroups failed with 'FAIL'");
}

TEST_F(FaultPlanTest, ANamedFunctionCountsOnlyItsOwnCalls) {
    host::CurrentPluginScope scope(plugin);
    const auto* menu = Acquire<AIMenuSuite9>(kAIMenuSuite, kAIMenuSuiteVersion);
    host.Faults().FailNth(FaultKind::SuiteCall, 2, kBadParameterErr, kAIMenuSuite,
                          "GetNthMenuGroup");
    AIMenuGroup group = nullptr;
    ASInt32 count = 0;
    EXPECT_EQ(menu->CountMenuGroups(&count), kNoErr);
    EXPECT_NE(menu->GetNthMenuGroup(0, &group), kBadParameterErr);
    EXPECT_EQ(menu->CountMenuGroups(&count), kNoErr);
    EXPECT_EQ(menu->GetNthMenuGroup(0, &group), kBadParameterErr);
    EXPECT_EQ(host.Faults().Armed(), 0u);
}

TEST_F(FaultPlanTest, TheBasicSuiteRefusesAnAcquisitionAndCountsAllocationsApart) {
    host::CurrentPluginScope scope(plugin);
    host.Faults().FailNth(FaultKind::SuiteCall, 1, kSuiteNotFoundErr);
    const void* table = &table;
    EXPECT_EQ(basic->AcquireSuite(kAIMenuSuite, kAIMenuSuiteVersion, &table), kSuiteNotFoundErr);
    EXPECT_EQ(table, &table) << "the host wrote nothing";
    EXPECT_EQ(host.SuiteUseCount(plugin, kAIMenuSuite, kAIMenuSuiteVersion), 0);

    host.Memory().RefuseNthAllocation(2);
    void* blocks[3] = {};
    EXPECT_EQ(basic->AllocateBlock(8, &blocks[0]), kNoErr);
    EXPECT_EQ(basic->AllocateBlock(8, &blocks[1]), kHostOutOfMemoryErr);
    EXPECT_EQ(basic->AllocateBlock(8, &blocks[2]), kNoErr);
    EXPECT_EQ(host.Faults().Count(FaultKind::Allocation), 3);
    EXPECT_EQ(host.Faults().Count(FaultKind::SuiteCall), 1)
        << "allocations are a kind of their own";
    for (void* b : blocks) basic->FreeBlock(b);
}

TEST_F(FaultPlanTest, HostStringFaultsAreFaultsOfThePlan) {
    host::CurrentPluginScope scope(plugin);
    const auto* strings =
        Acquire<AIUnicodeStringSuite6>(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion);
    const long suiteCalls = host.Faults().Count(FaultKind::SuiteCall);
    host.Strings().FailNthCall(host::StringFunction::Assign, 2, kBadParameterErr);
    AIUnicodeString a{}, b{};
    ASSERT_EQ(strings->Initialize(&a, "a", 1, kAIPlatformCharacterEncoding), kNoErr);
    ASSERT_EQ(strings->Initialize(&b, "b", 1, kAIPlatformCharacterEncoding), kNoErr);
    EXPECT_EQ(strings->Assign(&a, &b), kNoErr);
    EXPECT_EQ(strings->Assign(&a, &b), kBadParameterErr);
    const ASUnicode* units = nullptr;
    strings->GetUtf16(&a, &units);
    EXPECT_EQ(strings->Destroy(&a), kNoErr);
    EXPECT_EQ(strings->Destroy(&b), kNoErr);
    // GetUtf16 answers no error and Destroy gives back: neither is a fault point.
    EXPECT_EQ(host.Faults().Count(FaultKind::HostString), 4);
    EXPECT_EQ(host.Faults().Count(FaultKind::SuiteCall), suiteCalls);
    // Any host-string call, the next one that can fail.
    host.Faults().FailNth(FaultKind::HostString, 1, kBadParameterErr);
    EXPECT_EQ(strings->Destroy(&a), kNoErr);
    EXPECT_EQ(strings->Initialize(&a, "a", 1, kAIPlatformCharacterEncoding), kBadParameterErr);
}

TEST_F(FaultPlanTest, AutomationFaultsAreTheEmulationsAndCountedFromThePlan) {
    EXPECT_EQ(host.Faults().Count(FaultKind::Automation), 0);
    host.Faults().FailNth(FaultKind::Automation, 3, E_FAIL);
    EXPECT_EQ(host.Faults().Armed(), 1u);
    host.Faults().Clear();
    EXPECT_EQ(host.Faults().Armed(), 0u);
}

TEST_F(FaultPlanTest, KnownSitesSayWhatCanFail) {
    const auto& sites = host::KnownFaultSites();
    auto find = [&](const std::string& suite, const std::string& function) {
        return std::find_if(sites.begin(), sites.end(), [&](const host::FaultSite& s) {
            return suite == s.suite && function == s.function;
        });
    };
    const struct {
        const char* suite;
        const char* function;
        FaultKind kind;
        bool canFail;
    } cases[] = {
        {kADMListSuite, "InsertEntry", FaultKind::SuiteCall, true},
        {kADMDialogSuite, "Destroy", FaultKind::SuiteCall, false},
        {kADMListSuite, "NumberOfEntries", FaultKind::SuiteCall, false},
        {kAIFontSuite, "GetFontInfo", FaultKind::SuiteCall, true},
        {kSPBasicSuite, "AcquireSuite", FaultKind::SuiteCall, true},
        {kSPBasicSuite, "FreeBlock", FaultKind::SuiteCall, false},
        {kAIContextSuite, "PopAppContext", FaultKind::SuiteCall, false},
        {kAIUnicodeStringSuite, "Erase", FaultKind::HostString, true},
        {kAIUnicodeStringSuite, "Destroy", FaultKind::HostString, false},
    };
    for (const auto& c : cases) {
        const auto it = find(c.suite, c.function);
        ASSERT_NE(it, sites.end()) << c.suite << " " << c.function;
        EXPECT_EQ(it->kind, c.kind) << c.function;
        EXPECT_EQ(it->canFail, c.canFail) << c.function;
    }
}

}  // namespace
