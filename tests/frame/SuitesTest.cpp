// Acquiring and releasing the host suites as one.
#include <gtest/gtest.h>

#include <memory>

#include "frame/Suites.h"
#include "host/host.h"

namespace {

class SuitesTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_spBasic = host.BasicSuite();
        g_suiteUseCount = 0;
    }
    void TearDown() override {
        EXPECT_TRUE(host.HeldSuites(nullptr).empty());
        g_spBasic = nullptr;
    }

    std::size_t HeldCount() { return host.HeldSuites(nullptr).size(); }

    host::Host host;
};

TEST_F(SuitesTest, AHolderAcquiresEverySuiteAndGivesThemBack) {
    {
        PluginSuites suites;
        EXPECT_EQ(suites.AcquireError(), kNoErr);
        EXPECT_EQ(g_suiteUseCount, 1);
        EXPECT_EQ(HeldCount(), 21u);
        EXPECT_NE(g_admDialog, nullptr);
        EXPECT_NE(g_aiFont, nullptr);
        EXPECT_NE(g_spAccess, nullptr);
        EXPECT_EQ(host.SuiteUseCount(nullptr, "AI Font Suite", 4), 1);
        EXPECT_EQ(host.SuiteUseCount(nullptr, "ADM Basic Suite", 10), 1);
    }
    EXPECT_EQ(g_suiteUseCount, 0);
    EXPECT_EQ(g_admDialog, nullptr);
    EXPECT_EQ(g_aiATETextUtil, nullptr);
}

TEST_F(SuitesTest, TwoHoldersShareOneAcquisition) {
    auto first = std::make_unique<PluginSuites>();
    auto second = std::make_unique<PluginSuites>();
    EXPECT_EQ(g_suiteUseCount, 2);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "AI Menu Suite", 9), 1) << "the host is called once";
    first.reset();
    EXPECT_EQ(g_suiteUseCount, 1);
    EXPECT_EQ(HeldCount(), 21u) << "deleting one holder releases nothing";
    EXPECT_NE(g_aiMenu, nullptr);
    second.reset();
    EXPECT_EQ(HeldCount(), 0u);
}

// Start-up failing at each suite in turn: the code comes back and exactly the
// suites acquired before the refused one are given back when the holder goes.
class RefusedSuiteTest : public SuitesTest, public ::testing::WithParamInterface<int> {};

TEST_P(RefusedSuiteTest, KeepsWhatWasAcquiredUntilTheHolderGoes) {
    const int refused = GetParam();
    std::vector<const SuiteEntry*> order;
    for (const SuiteEntry& entry : g_frameSuites) order.push_back(&entry);
    for (const SuiteEntry* entry = g_importSuites; entry->name != nullptr; ++entry) {
        order.push_back(entry);
    }
    ASSERT_EQ(order.size(), 21u);
    host.RefuseSuite(order[refused]->name);

    auto suites = std::make_unique<PluginSuites>();
    EXPECT_NE(suites->AcquireError(), kNoErr);
    EXPECT_EQ(g_suiteUseCount, 0);
    EXPECT_EQ(HeldCount(), static_cast<std::size_t>(refused));
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(*order[i]->pointer != nullptr, i < refused) << order[i]->name;
    }

    // The owner forces the count to 1 before deleting a failed holder.
    g_suiteUseCount = 1;
    suites.reset();
    EXPECT_EQ(HeldCount(), 0u);
    for (const SuiteEntry* entry : order) EXPECT_EQ(*entry->pointer, nullptr) << entry->name;
}

INSTANTIATE_TEST_SUITE_P(EachSuiteInTurn, RefusedSuiteTest, ::testing::Range(0, 21));

TEST_F(SuitesTest, WithoutOptionalSuitesAcquireOptionalDoesNothing) {
    PluginSuites suites;
    const std::size_t before = host.Events().Size();
    suites.AcquireOptional();
    suites.AcquireOptional();
    EXPECT_EQ(suites.OptionalHeld(), 0);
    EXPECT_EQ(host.Events().Size(), before);
}

TEST_F(SuitesTest, SuitesComeFromTheVersionsTheFrameNames) {
    PluginSuites suites;
    EXPECT_EQ(host.SuiteUseCount(nullptr, "ADM Dialog Suite", 10), 1);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "ADM Dialog Group Suite", 1), 1);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "ADM Entry Suite", 2), 1);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "ADM Item Suite", 7), 1);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "AI Unicode String Suite", 6), 1);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "AI Preference Suite", 4), 1);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "SP Plug-ins Suite", 4), 1);
    EXPECT_EQ(host.SuiteUseCount(nullptr, "AI Context Suite", 5), 1);
}

}  // namespace
