#include <gtest/gtest.h>

#include <cstring>

#include "host/current_plugin.h"
#include "host/host.h"
#include "test_paths.h"

namespace {

class BasicSuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        a = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
        b = host.LoadModule(host_test::ModulePath("good", "TestPluginB.aip"));
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        basic = host.BasicSuite();
    }

    host::Host host;
    host::LoadedPlugin* a = nullptr;
    host::LoadedPlugin* b = nullptr;
    SPBasicSuite* basic = nullptr;
};

TEST_F(BasicSuiteTest, EverySuiteThePluginAcquiresIsOfferedAtItsVersion) {
    const std::pair<const char*, ASInt32> suites[] = {
        {"SP Access Suite", 3},
        {"SP Plug-ins Suite", 4},
        {"AI Notifier Suite", 2},
        {"AI Context Suite", 5},
        {"ADM Basic Suite", 10},
        {"ADM Basic Suite", 11},
        {"ADM Dialog Suite", 10},
        {"ADM Dialog Group Suite", 1},
        {"ADM Entry Suite", 2},
        {"ADM Item Suite", 7},
        {"ADM List Suite", 1},
        {"ADM Notifier Suite", 2},
        {"ADM Drawer Suite", 6},
        {"ADM Image Suite", 2},
        {"ADM Hierarchy List Suite", 5},
        {"ADM Icon Suite", 2},
        {"AI Document Suite", 8},
        {"AI Preference Suite", 4},
        {"AI Menu Suite", 9},
        {"AI Unicode String Suite", 6},
        {"AI Font Suite", 4},
        {"AI ATE Text Util Suite", 2},
    };
    host::CurrentPluginScope scope(a);
    for (const auto& [name, version] : suites) {
        SCOPED_TRACE(name);
        const void* table = nullptr;
        EXPECT_EQ(basic->AcquireSuite(name, version, &table), kNoErr);
        EXPECT_NE(table, nullptr);
        EXPECT_EQ(basic->ReleaseSuite(name, version), kNoErr);
    }
    EXPECT_TRUE(host.HeldSuites(a).empty());
}

TEST_F(BasicSuiteTest, AcquisitionAnswersTheDocumentedErrors) {
    struct Case {
        const char* name;
        ASInt32 version;
        ASErr expected;
    };
    const Case cases[] = {
        {"AI Menu Suite", 9, kNoErr},
        {"AI Menu Suite", 8, kSuiteVersionErr},
        {"AI Menu Suite", 10, kSuiteVersionErr},
        {"AI Menu Suit", 9, kSuiteNotFoundErr},
        {"ai menu suite", 9, kSuiteNotFoundErr},
        {"", 1, kSuiteNotFoundErr},
    };
    host::CurrentPluginScope scope(a);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.version));
        const void* table = reinterpret_cast<const void*>(0x1);
        EXPECT_EQ(basic->AcquireSuite(c.name, c.version, &table), c.expected);
        EXPECT_EQ(table == nullptr, c.expected != kNoErr);
    }
    EXPECT_EQ(basic->AcquireSuite(nullptr, 1, nullptr), kBadParameterErr);
    EXPECT_EQ(host.SuiteUseCount(a, "AI Menu Suite", 9), 1);
    EXPECT_EQ(basic->ReleaseSuite("AI Menu Suite", 9), kNoErr);
}

TEST_F(BasicSuiteTest, AcquisitionsAreCountedPerPluginAndSuite) {
    const void* table = nullptr;
    {
        host::CurrentPluginScope scope(a);
        basic->AcquireSuite("AI Menu Suite", 9, &table);
        basic->AcquireSuite("AI Menu Suite", 9, &table);
        basic->AcquireSuite("ADM Basic Suite", 11, &table);
        {
            host::CurrentPluginScope nested(b);
            basic->AcquireSuite("AI Menu Suite", 9, &table);
        }
        basic->ReleaseSuite("AI Menu Suite", 9);
    }
    EXPECT_EQ(host.SuiteUseCount(a, "AI Menu Suite", 9), 1);
    EXPECT_EQ(host.SuiteUseCount(a, "ADM Basic Suite", 11), 1);
    EXPECT_EQ(host.SuiteUseCount(a, "ADM Basic Suite", 10), 0);
    EXPECT_EQ(host.SuiteUseCount(b, "AI Menu Suite", 9), 1);
    EXPECT_EQ(host.HeldSuites(a),
              (std::vector<std::string>{"ADM Basic Suite 11 (1)", "AI Menu Suite 9 (1)"}));

    host::CurrentPluginScope scope(b);
    EXPECT_EQ(basic->ReleaseSuite("AI Menu Suite", 9), kNoErr);
    EXPECT_EQ(basic->ReleaseSuite("AI Menu Suite", 9), kBadParameterErr);
    EXPECT_TRUE(host_test::HasProblem(host.Events(), "release of a suite not acquired"));
}

TEST_F(BasicSuiteTest, ARefusedSuiteIsMissingUntilAllowedAgain) {
    host::CurrentPluginScope scope(a);
    const void* table = nullptr;
    host.RefuseSuite("AI Font Suite");
    EXPECT_EQ(basic->AcquireSuite("AI Font Suite", 4, &table), kSuiteNotFoundErr);
    EXPECT_EQ(basic->AcquireSuite("AI Menu Suite", 9, &table), kNoErr);
    host.RefuseSuite("AI Font Suite", false);
    EXPECT_EQ(basic->AcquireSuite("AI Font Suite", 4, &table), kNoErr);
    EXPECT_EQ(host.SuiteUseCount(a, "AI Font Suite", 4), 1);
}

TEST_F(BasicSuiteTest, PlaceholderSuitesAnswerNotImplementedAndTheLatestRegistrationWins) {
    host::CurrentPluginScope scope(a);
    const void* table = nullptr;
    ASSERT_EQ(basic->AcquireSuite(kAIFontSuite, kAIFontSuiteVersion, &table), kNoErr);
    const auto* font = static_cast<const AIFontSuite4*>(table);
    ASInt32 count = 7;
    EXPECT_EQ(font->CountFonts(&count), kNotImplementedErr);
    EXPECT_EQ(font->GetFontName(nullptr, nullptr, 0), kNotImplementedErr);

    ASSERT_EQ(basic->AcquireSuite(kADMListSuite, kADMListSuiteVersion, &table), kNoErr);
    const auto* list = static_cast<const ADMListSuite1*>(table);
    EXPECT_EQ(list->NumberOfEntries(nullptr), 0);  // a count of 0 ends a caller's loop
    EXPECT_EQ(list->IndexEntry(nullptr, 0), nullptr);

    ASSERT_EQ(basic->AcquireSuite(kADMDialogSuite, kADMDialogSuiteVersion, &table), kNoErr);
    const auto* dialog = static_cast<const ADMDialogSuite10*>(table);
    EXPECT_EQ(dialog->Create(nullptr, "x", 1, 0, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(dialog->SetIcon(nullptr, 0, nullptr), kNotImplementedErr);

    static AIFontSuite4 real{};
    real.CountFonts = [](ASInt32* n) -> ASErr {
        *n = 3;
        return kNoErr;
    };
    host.Suites().Replace(kAIFontSuite, kAIFontSuiteVersion, &real);
    ASSERT_EQ(basic->AcquireSuite(kAIFontSuite, kAIFontSuiteVersion, &table), kNoErr);
    // The plug-in holds the host's wrapper of the table (every call passes the fault
    // plan); what it calls is the replacement, and its empty slots stay empty.
    EXPECT_EQ(static_cast<const AIFontSuite4*>(table)->CountFonts(&count), kNoErr);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(static_cast<const AIFontSuite4*>(table)->IndexFontList, nullptr);
}

TEST_F(BasicSuiteTest, BlocksAreAccountedToThePluginThatAskedForThem) {
    void* x = nullptr;
    void* y = nullptr;
    void* z = nullptr;
    void* own = nullptr;
    {
        host::CurrentPluginScope scope(a);
        ASSERT_EQ(basic->AllocateBlock(100, &x), kNoErr);
        ASSERT_EQ(basic->AllocateBlock(50, &y), kNoErr);
        ASSERT_EQ(basic->AllocateBlock(0, &z), kNoErr);
        EXPECT_NE(z, nullptr);
        EXPECT_EQ(basic->FreeBlock(x), kNoErr);
    }
    ASSERT_EQ(basic->AllocateBlock(10, &own), kNoErr);  // the host's own
    {
        // A block freed by another plug-in still leaves its owner's account.
        host::CurrentPluginScope scope(b);
        EXPECT_EQ(basic->FreeBlock(y), kNoErr);
        EXPECT_EQ(basic->FreeBlock(nullptr), kNoErr);
    }
    const host::AllocationStats sa = host.Memory().Stats(a);
    EXPECT_EQ(sa.blocksOutstanding, 1u);
    EXPECT_EQ(sa.bytesOutstanding, 0u);
    EXPECT_EQ(sa.peakBytes, 150u);
    EXPECT_EQ(sa.totalBlocks, 3u);
    EXPECT_EQ(sa.totalBytes, 150u);
    EXPECT_EQ(host.Memory().Stats(b).totalBlocks, 0u);
    EXPECT_EQ(host.Memory().Stats(nullptr).blocksOutstanding, 1u);
    basic->FreeBlock(own);
    host::CurrentPluginScope scope(a);
    basic->FreeBlock(z);
}

TEST_F(BasicSuiteTest, TheNthAllocationFromNowIsRefusedOnce) {
    host::CurrentPluginScope scope(a);
    host.Memory().RefuseNthAllocation(3);
    std::vector<ASErr> results;
    std::vector<void*> blocks;
    for (int i = 0; i < 5; ++i) {
        void* block = reinterpret_cast<void*>(0x1);
        results.push_back(basic->AllocateBlock(8, &block));
        if (block != nullptr) blocks.push_back(block);
        if (results.back() != kNoErr) {
            EXPECT_EQ(block, nullptr);
        }
    }
    EXPECT_EQ(results, (std::vector<ASErr>{kNoErr, kNoErr, kHostOutOfMemoryErr, kNoErr, kNoErr}));
    EXPECT_EQ(host.Memory().Stats(a).refused, 1u);
    for (void* block : blocks) basic->FreeBlock(block);
    EXPECT_EQ(host.Memory().Stats(a).blocksOutstanding, 0u);

    host.Memory().RefuseAll(true);
    void* block = nullptr;
    EXPECT_EQ(basic->AllocateBlock(1, &block), kHostOutOfMemoryErr);
    host.Memory().RefuseAll(false);
}

TEST_F(BasicSuiteTest, FreeingABlockTheHostNeverGaveOutIsReportedNotFatal) {
    host::CurrentPluginScope scope(a);
    int onTheStack = 0;
    EXPECT_EQ(basic->FreeBlock(&onTheStack), kBadParameterErr);
    void* block = nullptr;
    ASSERT_EQ(basic->AllocateBlock(16, &block), kNoErr);
    EXPECT_EQ(basic->FreeBlock(block), kNoErr);
    EXPECT_EQ(basic->FreeBlock(block), kBadParameterErr);  // twice
    void* moved = nullptr;
    EXPECT_EQ(basic->ReallocateBlock(&onTheStack, 8, &moved), kBadParameterErr);
    EXPECT_EQ(host.Memory().Stats(a).badFrees, 3u);
    EXPECT_EQ(host.Events().Count(host::EventKind::Problem), 3u);
}

TEST_F(BasicSuiteTest, ReallocationKeepsTheContentsAndTheOldBlockOnRefusal) {
    host::CurrentPluginScope scope(a);
    void* block = nullptr;
    ASSERT_EQ(basic->AllocateBlock(4, &block), kNoErr);
    std::memcpy(block, "abc", 4);
    void* bigger = nullptr;
    ASSERT_EQ(basic->ReallocateBlock(block, 64, &bigger), kNoErr);
    EXPECT_STREQ(static_cast<const char*>(bigger), "abc");
    host.Memory().RefuseNthAllocation(1);
    void* refused = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(basic->ReallocateBlock(bigger, 128, &refused), kHostOutOfMemoryErr);
    EXPECT_EQ(refused, nullptr);
    EXPECT_STREQ(static_cast<const char*>(bigger), "abc");
    EXPECT_EQ(host.Memory().Stats(a).bytesOutstanding, 64u);
    basic->FreeBlock(bigger);
}

TEST(HostLifetime, OnlyOneHostIsLiveAtATime) {
    EXPECT_EQ(host::Host::Current(), nullptr);
    {
        host::Host first;
        EXPECT_EQ(host::Host::Current(), &first);
        EXPECT_THROW(host::Host second, std::logic_error);
    }
    EXPECT_EQ(host::Host::Current(), nullptr);
}

}  // namespace
