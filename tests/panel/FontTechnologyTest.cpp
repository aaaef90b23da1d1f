#include <gtest/gtest.h>

#include <string>

#include "fonts/ScanFonts.h"
#include "platform/emu/control.h"

namespace {

struct Flags {
    ASInt32 technology;
    ASInt32 openType, bitmap, cid, ocf, atc;
};

AIFontInfo Info(const Flags& f) {
    AIFontInfo info{};
    info.technology = f.technology;
    info.openType = f.openType;
    info.bitmap = f.bitmap;
    info.cidKeyed = f.cid;
    info.ocf = f.ocf;
    info.atc = f.atc;
    return info;
}

TEST(FontTechnology, FirstMatchingRuleWins) {
    const struct {
        Flags flags;
        const char* technology;
        const char* outlines;
    } cases[] = {
        {{1, 1, 0, 0, 0, 0}, "OpenType", "TT outlines"},
        {{0, 1, 0, 0, 0, 0}, "OpenType", "CFF outlines"},
        {{2, 1, 0, 0, 0, 0}, "OpenType", ""},
        {{-1, 7, 0, 0, 0, 0}, "OpenType", ""},
        // OpenType outranks everything else.
        {{1, 1, 1, 1, 1, 1}, "OpenType", "TT outlines"},
        {{1, 0, 1, 1, 0, 0}, "Bitmap font", ""},
        {{0, 0, 0, 1, 1, 1}, "Character ID-keyed font", ""},
        {{1, 0, 0, 0, 1, 1}, "Original Composite Format", ""},
        {{0, 0, 0, 0, 0, 1}, "Adobe Type Composer", ""},
        {{1, 0, 0, 0, 0, 0}, "TrueType", ""},
        {{0, 0, 0, 0, 0, 0}, "PostScript Type 1", ""},
        {{2, 0, 0, 0, 0, 0}, "", ""},
        {{-5, 0, 0, 0, 0, 0}, "", ""},
    };
    for (const auto& c : cases) {
        const FontTechnology result = ClassifyFontTechnology(Info(c.flags));
        SCOPED_TRACE(std::string(c.technology) + " / " + c.outlines);
        EXPECT_STREQ(result.technology, c.technology);
        EXPECT_STREQ(result.outlines, c.outlines);
    }
}

class FontRow : public ::testing::Test {
protected:
    void SetUp() override { EmuSetThreadCodePage(1252); }
    void TearDown() override { EmuSetThreadCodePage(1252); }
};

TEST_F(FontRow, MissingFontsShowTheirNarrowNameBehindAStar) {
    CFontItem item;
    item.m_bMissing = true;
    item.m_strName = "Optima-Bold";
    item.m_wstrNameB0 = L"Optima Bold";
    EXPECT_EQ(FontRowText(item), "* Optima-Bold");
    item.m_strName.clear();
    EXPECT_EQ(FontRowText(item), "* ");
}

TEST_F(FontRow, OtherFontsShowTheirFullNameInTheAnsiCodePage) {
    CFontItem item;
    item.m_bMissing = false;
    item.m_strName = "ignored";
    item.m_wstrNameB0 = L"Caf\u00e9 Sans \u4e2d";  // the last one is not in code page 1252
    EXPECT_EQ(FontRowText(item), "Caf\xe9 Sans ?");
}

TEST_F(FontRow, LongFullNamesAreCutTo1023Bytes) {
    CFontItem item;
    item.m_wstrNameB0.assign(1023, L'x');
    EXPECT_EQ(FontRowText(item).size(), 1023u);
    item.m_wstrNameB0.assign(2000, L'y');
    EXPECT_EQ(FontRowText(item), std::string(1023, 'y'));
    // Two bytes per character in a double-byte code page: whole characters only.
    ASSERT_TRUE(EmuSetThreadCodePage(932));
    item.m_wstrNameB0.assign(700, L'\u3042');
    const std::string text = FontRowText(item);
    EXPECT_EQ(text.size(), 1022u);
    EXPECT_EQ(text.substr(text.size() - 2), "\x82\xa0");
}

TEST_F(FontRow, ALongFullNameIsNotCutInsideASurrogatePair) {
    CFontItem item;
    // The cut to 1023 bytes falls between the two halves of U+1F600.
    const std::wstring name = std::wstring(1022, L'y') + L"\xD83D\xDE00" + L"z";
    item.m_wstrNameB0.assign(name.data(), name.size());
    EXPECT_EQ(FontRowText(item), std::string(1022, 'y'));
}

}  // namespace
