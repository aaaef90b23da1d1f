#include "glyvor/font_matcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "glyvor_test_support.h"

namespace {

using glyvor::Catalog;
using glyvor::FontEntry;
using glyvor::FontFormat;
using glyvor::FontMatcher;
using glyvor::MatchKind;

const char* KindName(MatchKind kind) {
    switch (kind) {
        case MatchKind::PostScriptExact:
            return "PostScriptExact";
        case MatchKind::PostScriptLoose:
            return "PostScriptLoose";
        case MatchKind::FullNameExact:
            return "FullNameExact";
        case MatchKind::FullNameLoose:
            return "FullNameLoose";
        case MatchKind::FamilyStyle:
            return "FamilyStyle";
    }
    return "?";
}

TEST(FontMatcher, AnswersHostNamesFromTheSystemFonts) {
    const Catalog& catalog = glyvor_test::SystemIndex().catalog;
    const FontMatcher matcher(catalog);
    const struct {
        const char* name;
        const char* identifier;
        MatchKind kind;
    } cases[] = {
        {"LiberationSans-Bold", "Liberation:LiberationSans-Bold.ttf#0", MatchKind::PostScriptExact},
        {"liberationsans-bold", "Liberation:LiberationSans-Bold.ttf#0", MatchKind::PostScriptLoose},
        {"Liberation_Sans Bold", "Liberation:LiberationSans-Bold.ttf#0",
         MatchKind::PostScriptLoose},
        {"LIBERATION-SANS-BOLD", "Liberation:LiberationSans-Bold.ttf#0",
         MatchKind::PostScriptLoose},
        {"DejaVuSans-ExtraLight", "DejaVu:DejaVuSans-ExtraLight.ttf#0", MatchKind::PostScriptExact},
        // The full name of the Type 1 file (and of the OpenType file's Macintosh
        // record): the OpenType face of the same font answers.
        {"Nimbus Sans", "URWOT:NimbusSans-Regular.otf#0", MatchKind::FullNameExact},
        {"nimbus_sans", "URWOT:NimbusSans-Regular.otf#0", MatchKind::FullNameLoose},
        {"NimbusSans", "URWOT:NimbusSans-Regular.otf#0", MatchKind::FullNameLoose},
        {"C059 Bold Italic", "URWOT:C059-BdIta.otf#0", MatchKind::FullNameExact},
        {"c059-bold-italic", "URWOT:C059-BdIta.otf#0", MatchKind::FullNameLoose},
        // Family plus style, legacy pair and regular style spelt out.
        {"Liberation Sans Regular", "Liberation:LiberationSans-Regular.ttf#0",
         MatchKind::FamilyStyle},
        {"DejaVu Sans Light ExtraLight", "DejaVu:DejaVuSans-ExtraLight.ttf#0",
         MatchKind::FamilyStyle},
        {"LiberationSans,Bold", "Liberation:LiberationSans-Bold.ttf#0", MatchKind::FamilyStyle},
        {"LiberationSerif,BoldItalic", "Liberation:LiberationSerif-BoldItalic.ttf#0",
         MatchKind::FamilyStyle},
        // PDF subset tags.
        {"ABCDEF+LiberationSans-Bold", "Liberation:LiberationSans-Bold.ttf#0",
         MatchKind::PostScriptExact},
        {"QWERTY+LiberationSerif,BoldItalic", "Liberation:LiberationSerif-BoldItalic.ttf#0",
         MatchKind::FamilyStyle},
        {"ZZZZZZ+NimbusSans-Regular", "URWOT:NimbusSans-Regular.otf#0", MatchKind::PostScriptExact},
        // Names in Japanese, as a host in code page 932 gives them, and their
        // full-width, half-width and spaced forms.
        {"IPAGothic", "IPA:ipag.ttf#0", MatchKind::PostScriptExact},
        {u8"IPAゴシック", "IPA:ipag.ttf#0", MatchKind::FullNameExact},
        {u8"ＩＰＡゴシック", "IPA:ipag.ttf#0", MatchKind::FullNameLoose},
        {u8"ipa ｺﾞｼｯｸ", "IPA:ipag.ttf#0", MatchKind::FullNameLoose},
        {u8"IPAゴシック Regular", "IPA:ipag.ttf#0", MatchKind::FamilyStyle},
        {u8"IPAゴシック,Regular", "IPA:ipag.ttf#0", MatchKind::FamilyStyle},
        {u8"ABCDEF+IPAゴシック", "IPA:ipag.ttf#0", MatchKind::FullNameExact},
        {u8"IPA Pゴシック", "IPA:ipagp.ttf#0", MatchKind::FullNameExact},
        {u8"IPAPゴシック", "IPA:ipagp.ttf#0", MatchKind::FullNameLoose},
        {u8"ＩＰＡ　Ｐゴシック", "IPA:ipagp.ttf#0", MatchKind::FullNameLoose},
    };
    for (const auto& c : cases) {
        const glyvor::MatchResult m = matcher.Match(c.name);
        ASSERT_NE(m.entry, nullptr) << c.name;
        EXPECT_EQ(catalog.IdentifierOf(*m.entry), c.identifier) << c.name;
        EXPECT_STREQ(KindName(m.kind), KindName(c.kind)) << c.name;
    }
}

TEST(FontMatcher, LeavesUnknownAndEmptyNamesUnmatched) {
    const FontMatcher matcher(glyvor_test::SystemIndex().catalog);
    for (const char* name :
         {"", " ", "-_-", "Helvetica", "LiberationSans-Bol", "Liberation", "LiberationSans-Bold ,",
          "Liberation,Sans,Bold", ",LiberationSansBold"}) {
        EXPECT_EQ(matcher.Match(name).entry, nullptr) << "'" << name << "'";
    }
}

TEST(FontMatcher, NeverOffersAnotherFontForANameItDoesNotHold) {
    const FontMatcher matcher(glyvor_test::SystemIndex().catalog);
    for (const char* name : {// Metric twins are other fonts.
                             "Arial", "Arial-BoldMT", "Arial,Bold", "Times New Roman",
                             "TimesNewRomanPSMT", "Courier New", "Helvetica-Bold", "ABCDEF+Arial",
                             // Fonts of the same families that the machine lacks.
                             "IPAMincho", u8"IPA明朝", u8"ＩＰＡ明朝", u8"IPAP明朝",
                             "Noto Sans CJK JP", u8"ヒラギノ角ゴ Pro W3", u8"游明朝 Demibold",
                             // Not subset tags: the tag is six capital letters and a plus sign.
                             "ABCDE+LiberationSans-Bold", "abcdef+LiberationSans-Bold",
                             "ABCDEFG+LiberationSans-Bold", "ABC1EF+LiberationSans-Bold", "ABCDEF+",
                             "ABCDEF-LiberationSans-Bold", "LiberationSans-Bold+ABCDEF",
                             // Only the ExtraLight face has the family "DejaVu Sans Light".
                             "DejaVu Sans Light", "DejaVu Sans ExtraLight Regular"}) {
        const glyvor::MatchResult m = matcher.Match(name);
        EXPECT_EQ(m.entry, nullptr)
            << name << " gave " << (m.entry ? m.entry->relativePath : std::string());
    }
}

// Two copies of one font file, one made newer by its 'head' table, in groups
// of either order.
TEST(FontMatcher, TheNewerVersionOfAFontWinsByEveryRuleAndGroupOrder) {
    const std::string lib = glyvor_test::kLiberation;
    const std::string bold = glyvor_test::ReadFile(lib + "/LiberationSans-Bold.ttf");
    for (const bool newerFirst : {false, true}) {
        glyvor_test::TempFolder dir;
        glyvor_test::WriteFile(dir / "old/LiberationSans-Bold.ttf", bold);
        glyvor_test::WriteFile(dir / "new/LiberationSans-Bold.ttf",
                               glyvor_test::WithRevision(bold, 0x00020000));
        std::vector<glyvor::GroupSource> groups = {{"Old", dir / "old"}, {"New", dir / "new"}};
        if (newerFirst) std::swap(groups[0], groups[1]);
        glyvor::IndexResult r;
        std::string error;
        ASSERT_TRUE(glyvor::IndexFolders(groups, &r, &error)) << error;
        const FontMatcher matcher(r.catalog);
        for (const char* name :
             {"LiberationSans-Bold", "liberation sans-bold", "Liberation Sans Bold",
              "LiberationSans,Bold", "ABCDEF+LiberationSans-Bold"}) {
            const glyvor::MatchResult m = matcher.Match(name);
            ASSERT_NE(m.entry, nullptr) << name;
            EXPECT_EQ(r.catalog.groups()[m.entry->group].name, "New") << name << newerFirst;
            EXPECT_EQ(m.entry->revision, 2000u) << name;
        }
    }
}

// The version comes before the format: an OpenType file older than the Type 1
// file of the same font loses to it.
TEST(FontMatcher, AnOlderOpenTypeFileLosesToTheType1FileOfTheSameFont) {
    glyvor_test::TempFolder dir;
    const std::string otf =
        glyvor_test::ReadFile(std::string(glyvor_test::kUrwOpenType) + "/NimbusSans-Bold.otf");
    glyvor_test::CopyFile(std::string(glyvor_test::kUrwType1) + "/NimbusSans-Bold.t1",
                          dir / "t1/NimbusSans-Bold.t1");
    for (const auto& [revision, winner] :
         {std::pair<std::uint32_t, FontFormat>{0x00008000, FontFormat::Type1},
          {0x00010000, FontFormat::OpenTypeCff}}) {
        glyvor_test::WriteFile(dir / "otf/NimbusSans-Bold.otf",
                               glyvor_test::WithRevision(otf, revision));
        glyvor::IndexResult r;
        std::string error;
        ASSERT_TRUE(glyvor::IndexFolders({{"T1", dir / "t1"}, {"OTF", dir / "otf"}}, &r, &error))
            << error;
        const FontMatcher matcher(r.catalog);
        for (const char* name : {"NimbusSans-Bold", "Nimbus Sans Bold", "NimbusSans,Bold"}) {
            const glyvor::MatchResult m = matcher.Match(name);
            ASSERT_NE(m.entry, nullptr) << name;
            EXPECT_EQ(m.entry->format, winner) << name << " at revision " << revision;
        }
    }
}

TEST(FontMatcher, OpenTypeBeatsType1OfTheSameNameWhateverTheGroupOrder) {
    // "URW" (Type 1) comes before "URWOT" (OpenType) in the catalogue.
    const Catalog& catalog = glyvor_test::SystemIndex().catalog;
    const FontMatcher matcher(catalog);
    for (const char* name : {"NimbusSans-Regular", "NimbusRoman-Bold", "nimbus-mono-ps-italic"}) {
        const glyvor::MatchResult m = matcher.Match(name);
        ASSERT_NE(m.entry, nullptr) << name;
        EXPECT_EQ(m.entry->format, FontFormat::OpenTypeCff) << name;
        EXPECT_EQ(catalog.groups()[m.entry->group].name, "URWOT") << name;
    }
}

// A catalogue of made-up faces that all carry the PostScript name "Tie".
struct TieCase {
    const char* label;
    std::vector<std::tuple<std::size_t, FontFormat, const char*, int>> faces;
    const char* winner;
};

TEST(FontMatcher, BreaksTiesByFormatThenGroupThenPathThenFace) {
    const TieCase cases[] = {
        {"format beats group",
         {{0, FontFormat::Type1, "t.t1", 0},
          {1, FontFormat::TrueType, "t.ttf", 0},
          {2, FontFormat::OpenTypeCff, "t.otf", 0}},
         "C:t.otf#0"},
        {"TrueType beats Type 1",
         {{0, FontFormat::Type1, "t.t1", 0}, {2, FontFormat::TrueType, "t.ttf", 0}},
         "C:t.ttf#0"},
        {"earlier group",
         {{2, FontFormat::TrueType, "a.ttf", 0}, {1, FontFormat::TrueType, "z.ttf", 0}},
         "B:z.ttf#0"},
        {"path order",
         {{1, FontFormat::TrueType, "b/x.ttf", 0}, {1, FontFormat::TrueType, "a/x.ttf", 0}},
         "B:a/x.ttf#0"},
        {"face order",
         {{1, FontFormat::TrueType, "x.ttc", 4}, {1, FontFormat::TrueType, "x.ttc", 1}},
         "B:x.ttc#1"},
    };
    for (const TieCase& c : cases) {
        Catalog catalog;
        catalog.AddGroup("A", "/a");
        catalog.AddGroup("B", "/b");
        catalog.AddGroup("C", "/c");
        for (const auto& [group, format, path, face] : c.faces) {
            FontEntry e;
            e.group = group;
            e.format = format;
            e.relativePath = path;
            e.faceIndex = face;
            e.postScriptName = "Tie";
            e.fullName = "Tie Full";
            e.family = "Tie Family";
            e.style = "Bold";
            ASSERT_TRUE(catalog.AddEntry(e));
        }
        const FontMatcher matcher(catalog);
        // The same rule holds in every step.
        for (const char* name : {"Tie", "TIE", "Tie Full", "tie-full", "Tie Family Bold"}) {
            const glyvor::MatchResult m = matcher.Match(name);
            ASSERT_NE(m.entry, nullptr) << c.label << " / " << name;
            EXPECT_EQ(catalog.IdentifierOf(*m.entry), c.winner) << c.label << " / " << name;
        }
    }
}

FontEntry Face(const char* path, FontFormat format, const char* ps, std::uint32_t revision = 0) {
    FontEntry e;
    e.relativePath = path;
    e.format = format;
    e.postScriptName = ps;
    e.revision = revision;
    return e;
}

// Between different fonts the strongest rule decides, whatever the format or
// version; between faces of the same font, the version and then the format,
// whatever rule found each.
TEST(FontMatcher, AStrongerRuleWinsAcrossFontsAndTheBetterFaceWithinOne) {
    Catalog catalog;
    catalog.AddGroup("G", "/g");
    // Two fonts: "Target" is one's PostScript name and the other's full name.
    FontEntry exact = Face("exact.t1", FontFormat::Type1, "Target");
    FontEntry other = Face("other.otf", FontFormat::OpenTypeCff, "Other", 9000);
    other.fullName = "Target";
    // One font, "Same", in three files: its full name is only in the Type 1
    // file's, its family and style only in the newer TrueType file's.
    FontEntry sameT1 = Face("same.t1", FontFormat::Type1, "Same", 1000);
    sameT1.fullName = "Same Face";
    FontEntry sameOtf = Face("same.otf", FontFormat::OpenTypeCff, "Same", 1000);
    FontEntry sameTtf = Face("same.ttf", FontFormat::TrueType, "SAME", 1500);
    sameTtf.family = "Same";
    sameTtf.style = "Face";
    // A third font whose family and style spell the second's full name.
    FontEntry third = Face("third.otf", FontFormat::OpenTypeCff, "Third", 5000);
    third.family = "Same Face";
    for (FontEntry* e : {&exact, &other, &sameT1, &sameOtf, &sameTtf, &third})
        ASSERT_TRUE(catalog.AddEntry(*e));
    const FontMatcher matcher(catalog);
    const struct {
        const char* name;
        const char* answer;
        MatchKind kind;
    } cases[] = {
        {"Target", "exact.t1", MatchKind::PostScriptExact},
        {"TARGET", "exact.t1", MatchKind::PostScriptLoose},
        {"Other", "other.otf", MatchKind::PostScriptExact},
        // The full name finds the Type 1 file; the newer TrueType file of the
        // same font answers "Same Face" by family and style.
        {"Same Face", "same.ttf", MatchKind::FullNameExact},
        {"same_face", "same.ttf", MatchKind::FullNameLoose},
        // By its PostScript name all three answer: the newest.
        {"Same", "same.ttf", MatchKind::PostScriptExact},
    };
    for (const auto& c : cases) {
        const glyvor::MatchResult m = matcher.Match(c.name);
        ASSERT_NE(m.entry, nullptr) << c.name;
        EXPECT_EQ(m.entry->relativePath, c.answer) << c.name;
        EXPECT_STREQ(KindName(m.kind), KindName(c.kind)) << c.name;
    }
}

// A name that two fonts carry by the same rule: the format decides which font,
// then that font's newest face answers, whichever font the index met first.
TEST(FontMatcher, ANameOfTwoFontsAnswersWithTheChosenFontsNewestFace) {
    for (const bool otherFirst : {true, false}) {
        Catalog catalog;
        catalog.AddGroup("G", "/g");
        FontEntry other = Face("other.ttf", FontFormat::TrueType, "Other", 9000);
        FontEntry older = Face("b-old.otf", FontFormat::OpenTypeCff, "Chosen", 1000);
        FontEntry newer = Face("c-new.otf", FontFormat::OpenTypeCff, "Chosen", 2000);
        FontEntry middle = Face("a-mid.otf", FontFormat::OpenTypeCff, "Chosen", 1500);
        for (FontEntry* e : {&other, &older, &newer, &middle}) e->fullName = "Shared Name";
        std::vector<FontEntry*> order = {&older, &newer, &middle};
        order.insert(otherFirst ? order.begin() : order.end(), &other);
        for (FontEntry* e : order) ASSERT_TRUE(catalog.AddEntry(*e));
        const FontMatcher matcher(catalog);
        for (const char* name : {"Shared Name", "shared-name", "Chosen"}) {
            const glyvor::MatchResult m = matcher.Match(name);
            ASSERT_NE(m.entry, nullptr) << name;
            EXPECT_EQ(m.entry->relativePath, "c-new.otf") << name << otherFirst;
        }
    }
}

TEST(FontMatcher, EveryLanguagesNamesAnswerAndPairWithinTheirKind) {
    Catalog catalog;
    catalog.AddGroup("G", "/g");
    FontEntry e = Face("m.otf", FontFormat::OpenTypeCff, "MinchoStd-Bold");
    e.family = "Mincho Std";
    e.style = "Bold";
    e.fullName = "Mincho Std Bold";
    e.otherNames = {{glyvor::NameKind::Family, u8"明朝 Std"},
                    {glyvor::NameKind::Style, u8"太字"},
                    {glyvor::NameKind::Full, u8"明朝 Std 太字"},
                    {glyvor::NameKind::PostScript, "MinchoStd-BoldAlias"},
                    {glyvor::NameKind::TypographicFamily, u8"明朝"},
                    {glyvor::NameKind::WwsFamily, u8"明朝 W"},
                    {glyvor::NameKind::WwsStyle, u8"ボールド"}};
    ASSERT_TRUE(catalog.AddEntry(e));
    const FontMatcher matcher(catalog);
    for (const char* name :
         {u8"明朝 Std 太字", u8"明朝Std太字", u8"明朝 Std Bold", u8"Mincho Std 太字",
          "MinchoStd-BoldAlias", u8"明朝 Bold", u8"明朝 太字", u8"明朝 W ボールド",
          u8"明朝 W,ボールド", u8"ABCDEF+明朝 Std 太字"}) {
        EXPECT_NE(matcher.Match(name).entry, nullptr) << name;
    }
    // A bold face is not the regular one, the pairs do not mix, and a subset
    // tag is ASCII.
    for (const char* name :
         {u8"明朝 Std", "Mincho Std", u8"明朝", u8"明朝 W", u8"明朝 W 太字", u8"明朝 ボールド",
          u8"Mincho Std ボールド", u8"ＡＢＣＤＥＦ+明朝 Std 太字"}) {
        EXPECT_EQ(matcher.Match(name).entry, nullptr) << name;
    }
}

TEST(FontMatcher, TypographicFamilyAndRegularStyleAreKnown) {
    Catalog catalog;
    catalog.AddGroup("G", "/g");
    FontEntry e;
    e.relativePath = "x.ttf";
    e.postScriptName = "XSans-Light";
    e.family = "X Sans Light";
    e.style = "Regular";
    e.typographicFamily = "X Sans";
    e.typographicStyle = "Light";
    ASSERT_TRUE(catalog.AddEntry(e));
    const FontMatcher matcher(catalog);
    for (const char* name : {"X Sans Light Regular", "X Sans Light", "x_sans light"}) {
        EXPECT_NE(matcher.Match(name).entry, nullptr) << name;
    }
    EXPECT_EQ(matcher.Match("X Sans").entry, nullptr);          // typographic style is not regular
    EXPECT_EQ(matcher.Match("X Sans Regular").entry, nullptr);  // nor is the legacy one its own
}

}  // namespace
