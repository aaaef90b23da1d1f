#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

struct Sunk {
    std::vector<std::string> texts;
};

void Sink(const char* expression, const char* source, int line, void* context) {
    static_cast<Sunk*>(context)->texts.push_back(std::string(source) + ":" + std::to_string(line) +
                                                 ":" + expression);
}

TEST(Assertions, AreRecordedAndHandedToTheSink) {
    EmuClearAssertions();
    Sunk sunk;
    EmuSetAssertionSink(Sink, &sunk);
    PlatformReportAssertion("m_pDlgNonModal != NULL", "Source\\LumaroPlugin", 436);
    PlatformReportAssertion(nullptr, nullptr, 0);  // tolerated
    EmuSetAssertionSink(nullptr, nullptr);
    PlatformReportAssertion("after", "sink removed", 1);

    ASSERT_EQ(sunk.texts.size(), 2u);
    EXPECT_EQ(sunk.texts[0], "Source\\LumaroPlugin:436:m_pDlgNonModal != NULL");
    ASSERT_EQ(EmuAssertionCount(), 3u) << "recorded with or without a sink";
    const char* expression = nullptr;
    const char* source = nullptr;
    int line = 0;
    ASSERT_TRUE(EmuAssertionAt(0, &expression, &source, &line));
    EXPECT_STREQ(expression, "m_pDlgNonModal != NULL");
    EXPECT_STREQ(source, "Source\\LumaroPlugin");
    EXPECT_EQ(line, 436);
    ASSERT_TRUE(EmuAssertionAt(1, &expression, nullptr, nullptr));
    EXPECT_STREQ(expression, "");
    EXPECT_FALSE(EmuAssertionAt(3, &expression, &source, &line));
    EmuClearAssertions();
    EXPECT_EQ(EmuAssertionCount(), 0u);
}

}  // namespace
