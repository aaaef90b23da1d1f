#include "glyvor/font_matcher.h"

#include <gtest/gtest.h>

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
        // The Type 1 Nimbus Sans has the full name "Nimbus Sans"; the OpenType one has not.
        {"Nimbus Sans", "URW:NimbusSans-Regular.t1#0", MatchKind::FullNameExact},
        {"nimbus_sans", "URW:NimbusSans-Regular.t1#0", MatchKind::FullNameLoose},
        {"C059 Bold Italic", "URW:C059-BdIta.t1#0", MatchKind::FullNameExact},
        {"c059-bold-italic", "URW:C059-BdIta.t1#0", MatchKind::FullNameLoose},
        // Family plus style, legacy pair and regular style spelt out.
        {"Liberation Sans Regular", "Liberation:LiberationSans-Regular.ttf#0",
         MatchKind::FamilyStyle},
        {"DejaVu Sans Light ExtraLight", "DejaVu:DejaVuSans-ExtraLight.ttf#0",
         MatchKind::FamilyStyle},
        {"LiberationSans,Bold", "Liberation:LiberationSans-Bold.ttf#0", MatchKind::FamilyStyle},
        {"LiberationSerif,BoldItalic", "Liberation:LiberationSerif-BoldItalic.ttf#0",
         MatchKind::FamilyStyle},
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

TEST(FontMatcher, AnEarlierStepWinsOverABetterFormat) {
    Catalog catalog;
    catalog.AddGroup("G", "/g");
    FontEntry t1;
    t1.relativePath = "exact.t1";
    t1.format = FontFormat::Type1;
    t1.postScriptName = "Target";
    FontEntry otf;
    otf.relativePath = "loose.otf";
    otf.format = FontFormat::OpenTypeCff;
    otf.postScriptName = "TARGET";
    otf.fullName = "Target";
    ASSERT_TRUE(catalog.AddEntry(t1));
    ASSERT_TRUE(catalog.AddEntry(otf));
    const FontMatcher matcher(catalog);
    EXPECT_EQ(matcher.Match("Target").entry->relativePath, "exact.t1");
    EXPECT_EQ(matcher.Match("TARGET").entry->relativePath, "loose.otf");
    // Both are loose PostScript matches: the format decides.
    EXPECT_EQ(matcher.Match("target").entry->relativePath, "loose.otf");
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
    EXPECT_EQ(matcher.Match("X Sans").entry, nullptr);  // typographic style is not regular
}

}  // namespace
