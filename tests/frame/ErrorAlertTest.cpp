// Which failures reach the user, how often, and with what text.
#include <gtest/gtest.h>

#include <string>

#include "HeldSuite.h"
#include "frame/Plugin.h"
#include "frame/Suites.h"
#include "host/host.h"
#include "platform/emu/control.h"

namespace {

std::int64_t g_now = 0;
std::int64_t TestClock() { return g_now; }

class ErrorAlertTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_spBasic = host.BasicSuite();
        plugin = host.LoadModule(LUMARO_MODULE_PATH);
        ASSERT_NE(plugin, nullptr);
        SetErrorClock(&TestClock);
        g_now = 1000;
    }
    void TearDown() override {
        SetErrorClock(nullptr);
        g_spBasic = nullptr;
    }

    void SetList(std::vector<std::string> strings) {
        host.SetStringList(*plugin, kErrorStringListID, std::move(strings));
    }
    std::vector<std::string> Alerts() {
        std::vector<std::string> texts;
        for (const host::Event& event : host.Events().OfKind(host::EventKind::Alert)) {
            texts.push_back(event.detail);
        }
        return texts;
    }
    std::string Find(ASErr code) {
        char buffer[128];
        const char* found = FindErrorText(plugin->Ref(), code, buffer, sizeof buffer);
        return found != nullptr ? found : "<null>";
    }

    host::Host host;
    HeldSuite<ADMBasicSuite10> basic{host, kADMBasicSuite, kADMBasicSuiteVersion10, g_admBasic};
    host::LoadedPlugin* plugin = nullptr;
};

TEST_F(ErrorAlertTest, FindErrorTextReadsKeysAndTheCatchAll) {
    SetList({"!ABC", "abc failed", "42", "forty-two", "-5", "minus five", "XXXX", "anything else"});
    EXPECT_EQ(Find(HostFourCC('!', 'A', 'B', 'C')), "abc failed");
    EXPECT_EQ(Find(42), "forty-two");
    EXPECT_EQ(Find(-5), "minus five");
    EXPECT_EQ(Find(HostFourCC('Z', 'Z', 'Z', 'Z')), "anything else");
}

TEST_F(ErrorAlertTest, FindErrorTextWithNoListOrAnEmptyFirstKeyFindsNothing) {
    EXPECT_EQ(Find(42), "<null>");
    SetList({"", "never read"});
    EXPECT_EQ(Find(42), "<null>");
}

TEST_F(ErrorAlertTest, AnEmptyKeyEndsTheListAtTheMessageBeforeIt) {
    SetList({"AAAA", "first", "", "after the end"});
    EXPECT_EQ(Find(HostFourCC('B', 'B', 'B', 'B')), "first");
}

TEST_F(ErrorAlertTest, TheFoundTextIsATemplateForTheCodeOnly) {
    const struct {
        const char* pattern;
        ASErr code;
        const char* shown;
    } cases[] = {
        {"Error %s occurred", HostFourCC('!', 'A', 'B', 'C'), "Error !ABC occurred"},
        {"Code %s", 77, "Code 77"},
        {"%d %n %x %%", 77, "%d %n %x %%"},
        {"%s and %s", 77, "77 and 77"},
        {"100%", 77, "100%"},
    };
    for (const auto& c : cases) {
        host.Events().Clear();
        SetList({"*", c.pattern});
        ShowErrorAlert(plugin->Ref(), c.code);
        EXPECT_EQ(Alerts(), std::vector<std::string>{c.shown}) << c.pattern;
    }
}

TEST_F(ErrorAlertTest, ALongTextIsShownUnchanged) {
    const std::string text = std::string(121, 'x') + "%s";
    SetList({"*", text});
    ShowErrorAlert(plugin->Ref(), 77);
    EXPECT_EQ(Alerts(), std::vector<std::string>{text.substr(0, 127)});
}

// The host's codes that are never shown, in the order of its table.
const ASErr kIgnoredCodes[] = {
    HostFourCC('F', 'M', 'T', '?'),
    HostFourCC('R', 'F', 'S', 'E'),
    HostFourCC('A', 'F', 'T', 'R'),
    HostFourCC('V', 'A', 'L', 'D'),
    HostFourCC('M', 'O', 'O', 'T'),
    HostFourCC('T', 'R', 'S', 'H'),
    HostFourCC('C', 'H', 'E', 'K'),
    HostFourCC('C', 'H', 'I', 'T'),
    HostFourCC('T', 'L', 'T', 'K'),
    HostFourCC('p', 'F', 'l', 's'),
    HostFourCC('S', '!', 'F', 'd'),
    HostFourCC('!', 'A', 'c', 'q'),
    HostFourCC('d', 's', 'R', 'P'),
    HostFourCC('s', 'k', 'p', 'E'),
    HostFourCC('D', 'O', 'N', 'E'),
    HostFourCC('S', 'T', 'O', 'P'),
    361,
};

TEST_F(ErrorAlertTest, IgnoredCodesAreNeverShown) {
    SetList({"*", "shown"});
    Plugin reporter(plugin->Ref());
    for (ASErr code : kIgnoredCodes) {
        SCOPED_TRACE(host::FormatErrorCode(code));
        EXPECT_TRUE(IsIgnoredError(code));
        ShowErrorAlert(plugin->Ref(), code);
        reporter.ReportMessageError(code, "c", "s", nullptr);
        EXPECT_TRUE(Alerts().empty());
    }
    // Near misses, and 0, which ends the table, are not ignored.
    const ASErr nearMisses[] = {0,
                                360,
                                362,
                                kCantHappenErr,
                                HostFourCC('S', 'T', 'O', 'p'),
                                HostFourCC('D', 'O', 'N', 'e'),
                                HostFourCC('F', 'M', 'T', '!')};
    for (ASErr code : nearMisses) {
        EXPECT_FALSE(IsIgnoredError(code)) << host::FormatErrorCode(code);
    }
    ShowErrorAlert(plugin->Ref(), 362);
    EXPECT_EQ(Alerts(), std::vector<std::string>{"shown"});
}

TEST_F(ErrorAlertTest, WithoutTheBasicSuiteTheAlertBorrowsVersion11) {
    SetList({"*", "shown"});
    host.ReleaseSuite(kADMBasicSuite, kADMBasicSuiteVersion10);
    g_admBasic = nullptr;
    ShowErrorAlert(plugin->Ref(), 77);
    EXPECT_EQ(Alerts(), std::vector<std::string>{"shown"});
    EXPECT_EQ(g_admBasic, nullptr);
    EXPECT_EQ(host.SuiteUseCount(nullptr, kADMBasicSuite, kADMBasicSuiteVersion11), 0);
}

TEST_F(ErrorAlertTest, RepeatsAreSuppressedForFiveSeconds) {
    SetList({"*", "failed: %s"});
    Plugin reporter(plugin->Ref());
    const ASErr code = HostFourCC('A', 'B', 'C', 'D');
    reporter.ReportMessageError(code, "c", "s", nullptr);
    g_now += 4;
    reporter.ReportMessageError(code, "c", "s", nullptr);
    EXPECT_EQ(Alerts().size(), 1u);
    g_now += 1;
    reporter.ReportMessageError(code, "c", "s", nullptr);
    EXPECT_EQ(Alerts().size(), 2u);
    // The window runs from the last alert shown, not from the last attempt.
    g_now += 3;
    reporter.ReportMessageError(code, "c", "s", nullptr);
    EXPECT_EQ(Alerts().size(), 2u);
}

// The system clock as FILETIME gives it: 100 ns units since 1601.
FILETIME FileTimeAt(std::int64_t unixSeconds) {
    const auto units = static_cast<std::uint64_t>(unixSeconds + 11644473600) * 10000000u;
    return FILETIME{static_cast<DWORD>(units & 0xFFFFFFFFu), static_cast<DWORD>(units >> 32)};
}

constexpr std::int64_t k2038 = std::int64_t{1} << 31;  // 2038-01-19 03:14:08 UTC

class SystemClockTest : public ErrorAlertTest {
protected:
    void SetUp() override {
        ErrorAlertTest::SetUp();
        SetErrorClock(nullptr);
    }
    void TearDown() override {
        EmuSetSystemTime(nullptr);
        ErrorAlertTest::TearDown();
    }
    void SetSystemTime(std::int64_t unixSeconds) {
        const FILETIME time = FileTimeAt(unixSeconds);
        EmuSetSystemTime(&time);
    }
};

TEST_F(SystemClockTest, CountsWholeSecondsSince1970PastJanuary2038) {
    const std::int64_t cases[] = {
        0, 1000, k2038 - 1, k2038, k2038 + 1, 2208988800 /* 2040 */, 32503680000 /* 3000 */};
    for (std::int64_t seconds : cases) {
        SetSystemTime(seconds);
        EXPECT_EQ(SystemSeconds(), seconds);
    }
    // The real clock, unfixed, is well past 2020.
    EmuSetSystemTime(nullptr);
    EXPECT_GT(SystemSeconds(), 1577836800);
}

TEST_F(SystemClockTest, RepeatsAcrossJanuary2038AreShownAgainAfterFiveSeconds) {
    SetList({"*", "failed: %s"});
    Plugin reporter(plugin->Ref());
    const ASErr code = HostFourCC('A', 'B', 'C', 'D');
    const struct {
        std::int64_t at;
        std::size_t alerts;
    } steps[] = {
        {k2038 - 3, 1},                    // shown
        {k2038 + 1, 1},                    // within five seconds
        {k2038 + 2, 2},                    // five seconds on
        {k2038 + 6, 2},  {2208988800, 3},  // years later
        {2208988804, 3}, {2208988805, 4},
    };
    for (const auto& step : steps) {
        SetSystemTime(step.at);
        reporter.ReportMessageError(code, "c", "s", nullptr);
        EXPECT_EQ(Alerts().size(), step.alerts) << "at " << step.at;
    }
}

TEST_F(ErrorAlertTest, ADifferentCodeResetsTheComparison) {
    SetList({"*", "failed: %s"});
    Plugin reporter(plugin->Ref());
    reporter.ReportMessageError(HostFourCC('A', 'A', 'A', 'A'), "c", "s", nullptr);
    reporter.ReportMessageError(HostFourCC('B', 'B', 'B', 'B'), "c", "s", nullptr);
    reporter.ReportMessageError(HostFourCC('A', 'A', 'A', 'A'), "c", "s", nullptr);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"failed: AAAA", "failed: BBBB", "failed: AAAA"}));
}

TEST_F(ErrorAlertTest, IgnoredCodesDoNotTouchTheRepeatState) {
    SetList({"*", "failed: %s"});
    Plugin reporter(plugin->Ref());
    reporter.ReportMessageError(HostFourCC('A', 'A', 'A', 'A'), "c", "s", nullptr);
    reporter.ReportMessageError(361, "c", "s", nullptr);
    reporter.ReportMessageError(HostFourCC('A', 'A', 'A', 'A'), "c", "s", nullptr);
    EXPECT_EQ(Alerts().size(), 1u);
}

}  // namespace
