#include <gtest/gtest.h>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override { EmuResetCounters(); }
    void TearDown() override {
        EmuSetShellExecuteResult(42);
        EmuResetCounters();
    }
};

TEST_F(Shell, RecordsEveryArgumentOfTheLastCall) {
    HWND desktop = GetDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(GetDesktopWindow(), desktop) << "always the same window";

    HINSTANCE result = ShellExecuteW(desktop, u"open", u"https://example.test/help", nullptr,
                                     nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(result), 42) << "success by default";
    EXPECT_EQ(EmuShellExecuteCount(), 1u);
    EXPECT_EQ(EmuLastShellExecuteOwner(), desktop);
    EXPECT_EQ(std::u16string(EmuLastShellExecuteVerb()), u"open");
    EXPECT_EQ(std::u16string(EmuLastShellExecuteFile()), u"https://example.test/help");
    EXPECT_EQ(EmuLastShellExecuteParameters(), nullptr) << "null stays distinguishable";
    EXPECT_EQ(EmuLastShellExecuteDirectory(), nullptr);
    EXPECT_EQ(EmuLastShellExecuteShowCommand(), SW_SHOWNORMAL);

    ShellExecuteW(nullptr, nullptr, u"second", u"", u"/tmp", SW_HIDE);
    EXPECT_EQ(EmuShellExecuteCount(), 2u);
    EXPECT_EQ(EmuLastShellExecuteVerb(), nullptr);
    EXPECT_EQ(std::u16string(EmuLastShellExecuteParameters()), u"") << "empty is not null";
    EXPECT_EQ(std::u16string(EmuLastShellExecuteDirectory()), u"/tmp");
}

TEST_F(Shell, AnswersTheResultTestsSet) {
    for (INT_PTR wanted : {INT_PTR{2}, INT_PTR{32}, INT_PTR{33}}) {
        EmuSetShellExecuteResult(wanted);
        EXPECT_EQ(reinterpret_cast<INT_PTR>(
                      ShellExecuteW(nullptr, u"open", u"x", nullptr, nullptr, SW_SHOWNORMAL)),
                  wanted);
    }
    EmuResetCounters();
    EXPECT_EQ(EmuShellExecuteCount(), 0u);
    EXPECT_EQ(EmuLastShellExecuteFile(), nullptr);
}

}  // namespace
