#include <gtest/gtest.h>

#include <cstring>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

uint32_t PrefixOf(BSTR text) {
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - 4, 4);
    return prefix;
}

TEST(Bstr, CarriesByteLengthPrefixAndTerminator) {
    BSTR text = SysAllocString(OLESTR("Arial"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(PrefixOf(text), 10u);
    EXPECT_EQ(SysStringLen(text), 5u);
    EXPECT_EQ(SysStringByteLen(text), 10u);
    EXPECT_EQ(text[5], 0);
    EXPECT_EQ(std::u16string(text), u"Arial");
    SysFreeString(text);
}

TEST(Bstr, KeepsEmbeddedZerosAtFullLength) {
    const OLECHAR source[] = {u'a', 0, u'b', 0, 0};
    BSTR text = SysAllocStringLen(source, 4);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(std::u16string(text, 4), std::u16string(source, 4));
    EXPECT_EQ(text[4], 0);
    SysFreeString(text);
}

TEST(Bstr, NullAndEmptyInputs) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);  // does nothing

    BSTR empty = SysAllocString(OLESTR(""));
    ASSERT_NE(empty, nullptr) << "an empty text is a BSTR, not null";
    EXPECT_EQ(SysStringLen(empty), 0u);
    EXPECT_EQ(empty[0], 0);
    SysFreeString(empty);

    BSTR zeros = SysAllocStringLen(nullptr, 3);  // null source: zero-filled
    ASSERT_NE(zeros, nullptr);
    EXPECT_EQ(SysStringLen(zeros), 3u);
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(zeros[i], 0) << i;
    SysFreeString(zeros);
}

TEST(Bstr, OddByteLengthRoundsUnitsDownAndStaysTerminated) {
    BSTR text = SysAllocStringByteLen("abc", 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringByteLen(text), 3u);
    EXPECT_EQ(SysStringLen(text), 1u);
    EXPECT_EQ(reinterpret_cast<const char*>(text)[3], 0);
    EXPECT_EQ(reinterpret_cast<const char*>(text)[4], 0);
    SysFreeString(text);
}

TEST(Bstr, RefusesLengthsBeyondThePrefixRange) {
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x7FFFFFFFu), nullptr);
    EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
}

TEST(Bstr, ReallocationReplacesAndFreesTheOld) {
    const LONG before = EmuLiveBstrCount();
    BSTR text = SysAllocString(OLESTR("old"));
    ASSERT_TRUE(SysReAllocString(&text, OLESTR("newer")));
    EXPECT_EQ(std::u16string(text), u"newer");
    // From its own contents: the new copy is taken before the old is freed.
    ASSERT_TRUE(SysReAllocStringLen(&text, text + 2, 3));
    EXPECT_EQ(std::u16string(text), u"wer");
    EXPECT_FALSE(SysReAllocString(nullptr, OLESTR("x")));
    EXPECT_EQ(EmuLiveBstrCount(), before + 1);
    SysFreeString(text);
    EXPECT_EQ(EmuLiveBstrCount(), before);
}

TEST(Bstr, LiveCountFollowsEveryAllocationAndFree) {
    const LONG before = EmuLiveBstrCount();
    BSTR a = SysAllocString(OLESTR("a"));
    BSTR b = SysAllocStringLen(OLESTR("bb"), 2);
    BSTR c = SysAllocStringByteLen("c", 1);
    EXPECT_EQ(EmuLiveBstrCount(), before + 3);
    SysFreeString(b);
    SysFreeString(nullptr);
    EXPECT_EQ(EmuLiveBstrCount(), before + 2);
    SysFreeString(a);
    SysFreeString(c);
    EXPECT_EQ(EmuLiveBstrCount(), before);
}

TEST(BstrHolder, SharesOneBstrAndFreesItWithTheLastHolder) {
    const LONG before = EmuLiveBstrCount();
    {
        _bstr_t first;
        first.Attach(SysAllocStringLen(OLESTR("a\0b"), 3));
        EXPECT_EQ(first.length(), 3u);
        _bstr_t second = first;
        EXPECT_EQ(second.GetBSTR(), first.GetBSTR()) << "copies share the record";
        EXPECT_EQ(EmuLiveBstrCount(), before + 1);
        first.Attach(SysAllocString(OLESTR("other")));
        EXPECT_EQ(EmuLiveBstrCount(), before + 2);
        EXPECT_EQ(second.length(), 3u);
        BSTR copy = second.copy();
        EXPECT_EQ(SysStringLen(copy), 3u) << "a copy keeps embedded zeros";
        SysFreeString(copy);
        _bstr_t third = second;
        EXPECT_EQ(second.Detach(), nullptr) << "a shared record cannot be detached";
        EXPECT_EQ(third.length(), 3u);
    }
    EXPECT_EQ(EmuLiveBstrCount(), before);
    _bstr_t sole(OLESTR("mine"));
    BSTR detached = sole.Detach();
    EXPECT_TRUE(!sole);
    EXPECT_EQ(std::u16string(detached), u"mine");
    SysFreeString(detached);
    EXPECT_EQ(EmuLiveBstrCount(), before);
}

TEST(BstrHolder, OutArgumentSlot) {
    const LONG before = EmuLiveBstrCount();
    {
        _bstr_t holder(OLESTR("before"));
        BSTR* slot = holder.GetAddress();
        EXPECT_EQ(EmuLiveBstrCount(), before) << "the old text is freed";
        *slot = SysAllocString(OLESTR("filled"));
        EXPECT_EQ(std::u16string(static_cast<const OLECHAR*>(holder)), u"filled");
    }
    EXPECT_EQ(EmuLiveBstrCount(), before);
}

}  // namespace
