// Text between narrow strings, UTF-16, BSTRs and host strings.
#include <gtest/gtest.h>

#include <string>

#include "HeldSuite.h"
#include "fontmanager/Bstr.h"
#include "fontmanager/HostString.h"
#include "fontmanager/TextConversion.h"
#include "frame/Suites.h"
#include "host/host.h"
#include "platform/emu/control.h"

namespace {

class StringsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_spBasic = host.BasicSuite();
        bstrsBefore = EmuLiveBstrCount();
    }
    void TearDown() override {
        EmuSetThreadCodePage(1252);
        EXPECT_EQ(EmuLiveBstrCount(), bstrsBefore);
        EXPECT_EQ(host.Strings().LiveCount(), 0u);
        g_spBasic = nullptr;
    }

    host::Host host;
    HeldSuite<AIUnicodeStringSuite6> strings{host, kAIUnicodeStringSuite,
                                             kAIUnicodeStringSuiteVersion, g_aiUnicodeString};
    long bstrsBefore = 0;
};

TEST_F(StringsTest, CopyUtf16CutsLongNamesAndReportsTheFullLength) {
    ai::HostString text;
    const std::u16string long2000(2000, u'x');
    text.Record()->impl = host.Strings().Create(nullptr, long2000);
    ASUnicode buffer[1024];
    std::fill(std::begin(buffer), std::end(buffer), 0xFFFF);
    EXPECT_EQ(text.CopyUtf16(buffer, 1024), 2001u);
    EXPECT_EQ(buffer[1022], u'x');
    EXPECT_EQ(buffer[1023], 0);

    ai::HostString empty("", kAIPlatformCharacterEncoding);
    buffer[0] = 0xFFFF;
    EXPECT_EQ(empty.CopyUtf16(buffer, 1024), 1u);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(StringsTest, CopyUtf16NeverKeepsHalfASurrogatePair) {
    // U+1F600 as the pair D83D DE00, placed so that a 1024-unit buffer's last
    // text unit falls on either half or just after it.
    const struct {
        std::size_t before;  // units ahead of the pair
        std::size_t kept;    // units copied
    } cases[] = {{1021, 1023}, {1022, 1022}, {1023, 1023}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        ai::HostString text;
        const std::u16string units = std::u16string(c.before, u'x') + u"\xD83D\xDE00" + u"tail";
        text.Record()->impl = host.Strings().Create(nullptr, units);
        ASUnicode buffer[1024];
        std::fill(std::begin(buffer), std::end(buffer), 0xFFFF);
        EXPECT_EQ(text.CopyUtf16(buffer, 1024), units.size() + 1);
        EXPECT_EQ(std::u16string(buffer, buffer + c.kept), units.substr(0, c.kept));
        EXPECT_EQ(buffer[c.kept], 0);
    }
}

TEST_F(StringsTest, ANullTextMakesAnEmptyStringWithoutCallingTheHost) {
    {
        ai::HostString text(nullptr, kAIPlatformCharacterEncoding);
        EXPECT_EQ(text.Record()->impl, nullptr);
        EXPECT_EQ(host.Strings().LiveCount(), 0u);
    }
    EXPECT_EQ(host.Strings().LiveCount(), 0u);
}

TEST_F(StringsTest, FailingHostStringOperationsRaiseTheirCode) {
    ai::HostString a("abc", kAIPlatformCharacterEncoding);
    ai::HostString b("def", kAIPlatformCharacterEncoding);
    host.Strings().FailNthCall(host::StringFunction::Assign, 1, HostFourCC('F', 'A', 'I', 'L'));
    try {
        a.assign(b);
        FAIL() << "assign should raise";
    } catch (const ai::Error& error) {
        EXPECT_EQ(error.Code(), HostFourCC('F', 'A', 'I', 'L'));
    }
    host.Strings().FailNthCall(host::StringFunction::Erase, 1, 7);
    EXPECT_THROW(a.erase(0, 0xFFFFFFFF), ai::Error);
    a.erase(0, 0xFFFFFFFF);
    const ASUnicode* units = nullptr;
    EXPECT_EQ(a.GetUtf16(&units), 0u);
}

TEST_F(StringsTest, NarrowToWideEdgeCases) {
    WCHAR scratch[4] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    ASSERT_NE(NarrowToWide(scratch, "", 4), nullptr);
    EXPECT_EQ(scratch[0], 0);
    EXPECT_EQ(NarrowToWide(scratch, nullptr, 4), nullptr);
    EXPECT_EQ(NarrowToWideString(nullptr), std::wstring());
}

// Names that each code page can spell, as the host gives them and as UTF-16.
struct CodePageCase {
    UINT codePage;
    std::string narrow;
    std::u16string wide;
};

class CodePageTest : public StringsTest, public ::testing::WithParamInterface<CodePageCase> {};

TEST_P(CodePageTest, NamesSurviveBothWays) {
    const CodePageCase& c = GetParam();
    EmuSetThreadCodePage(c.codePage);
    const std::wstring wide = NarrowToWideString(c.narrow.c_str());
    EXPECT_EQ(ToUnits(wide), std::basic_string<WCHAR>(c.wide.begin(), c.wide.end()));
    EXPECT_EQ(WideToNarrowString(wide), c.narrow);

    // The host string made from the narrow name holds the same units.
    ai::HostString host_string(c.narrow.c_str(), kAIPlatformCharacterEncoding);
    const ASUnicode* units = nullptr;
    const ASUInt32 length = host_string.GetUtf16(&units);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(units), length), c.wide);
}

INSTANTIATE_TEST_SUITE_P(
    EachCodePage, CodePageTest,
    ::testing::Values(CodePageCase{1252, "Caf\xE9 Gr\xFCn \x80", u"Caf\u00E9 Gr\u00FCn \u20AC"},
                      CodePageCase{1250, "\xA3\xF3\x9F", u"\u0141\u00F3\u017A"},
                      CodePageCase{1251, "\xCC\xEE\xF1\xEA\xE2\xE0",
                                   u"\u041C\u043E\u0441\u043A\u0432\u0430"},
                      CodePageCase{932, "\x96\xBE\x92\xA9 Mincho", u"\u660E\u671D Mincho"},
                      CodePageCase{65001, "\xE6\x98\x8E\xE6\x9C\x9D \xF0\x9F\x98\x80",
                                   u"\u660E\u671D \U0001F600"}));

TEST_F(StringsTest, WideToNarrowIsSizedFromTheConversionNotTwoBytesAUnit) {
    EmuSetThreadCodePage(65001);
    // Three bytes for each of these units: two a unit would not hold them.
    const std::wstring name = FromUnits(u"\u660E\u671D\u4F53");
    EXPECT_EQ(WideToNarrowString(name), "\xE6\x98\x8E\xE6\x9C\x9D\xE4\xBD\x93");
}

TEST_F(StringsTest, CharactersTheCodePageLacksBecomeQuestionMarks) {
    EmuSetThreadCodePage(1252);
    EXPECT_EQ(WideToNarrowString(FromUnits(u"A\u660EB")), "A?B");
}

TEST_F(StringsTest, CopyBstrStopsAtTheFirstZeroAndTakesNullAsEmpty) {
    std::wstring target = L"old";
    CopyBstr(target, nullptr);
    EXPECT_TRUE(target.empty());
    const OLECHAR units[] = {u'a', u'b', 0, u'c'};
    BSTR embedded = SysAllocStringLen(units, 4);
    CopyBstr(target, embedded);
    EXPECT_EQ(target, L"ab");
    SysFreeString(embedded);
}

TEST_F(StringsTest, AssignBstrMakesAFullLengthBstr) {
    BstrHolder holder;
    AssignBstr(holder, std::wstring());
    ASSERT_NE(holder.Get(), nullptr) << "an empty text is an empty BSTR, not a null one";
    EXPECT_EQ(SysStringLen(holder.Get()), 0u);

    AssignBstr(holder, std::wstring(L"ab\0cd", 5));
    ASSERT_EQ(SysStringLen(holder.Get()), 5u);
    EXPECT_EQ(holder.Get()[0], u'a');
    EXPECT_EQ(holder.Get()[2], 0);
    EXPECT_EQ(holder.Get()[3], 0) << "units after an embedded zero come out as zeros";
}

TEST_F(StringsTest, BstrHoldersShareOneBstr) {
    const long before = EmuLiveBstrCount();
    {
        BstrHolder first;
        AssignBstr(first, L"shared");
        BstrHolder second = first;
        EXPECT_EQ(second.Get(), first.Get());
        EXPECT_EQ(first.UseCount(), 2);
        EXPECT_EQ(EmuLiveBstrCount(), before + 1);
        AssignBstr(first, L"other");
        EXPECT_EQ(second.UseCount(), 1);
        EXPECT_EQ(EmuLiveBstrCount(), before + 2);
    }
    EXPECT_EQ(EmuLiveBstrCount(), before);
}

}  // namespace
