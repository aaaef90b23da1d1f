#include "glyvor/indexer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>

#include "glyvor/font_matcher.h"
#include "glyvor_test_support.h"

namespace {

namespace fs = std::filesystem;
using glyvor::FontFormat;
using glyvor::IndexFolders;
using glyvor::IndexResult;
using glyvor_test::CopyFile;
using glyvor_test::TempFolder;

std::size_t CountFiles(const char* folder, const char* extension) {
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (e.path().extension() == extension) ++n;
    }
    return n;
}

TEST(IndexFolders, ReadsEveryFormatOfTheSystemFonts) {
    const IndexResult& r = glyvor_test::SystemIndex();
    ASSERT_EQ(r.groups.size(), 6u);
    const std::size_t expected[] = {
        CountFiles(glyvor_test::kUrwType1, ".t1"),    CountFiles(glyvor_test::kUrwOpenType, ".otf"),
        CountFiles(glyvor_test::kLiberation, ".ttf"), CountFiles(glyvor_test::kDejaVu, ".ttf"),
        CountFiles(glyvor_test::kNoto, ".ttf"),       CountFiles(glyvor_test::kIpaGothic, ".ttf")};
    for (std::size_t g = 0; g < 6; ++g) {
        EXPECT_GT(expected[g], 0u);
        EXPECT_EQ(r.groups[g].fonts, expected[g]) << r.groups[g].name;
        EXPECT_EQ(r.groups[g].skipped, 0u) << r.groups[g].name;
    }
    std::map<std::string, FontFormat> byId;
    for (const glyvor::FontEntry& e : r.catalog.entries())
        byId[r.catalog.IdentifierOf(e)] = e.format;
    EXPECT_EQ(byId.at("URW:NimbusSans-Bold.t1#0"), FontFormat::Type1);
    EXPECT_EQ(byId.at("URWOT:NimbusSans-Bold.otf#0"), FontFormat::OpenTypeCff);
    EXPECT_EQ(byId.at("Liberation:LiberationSans-Bold.ttf#0"), FontFormat::TrueType);

    const glyvor::FontEntry* e = r.catalog.FindById("DejaVu:DejaVuSans-ExtraLight.ttf#0");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->postScriptName, "DejaVuSans-ExtraLight");
    EXPECT_EQ(e->family, "DejaVu Sans Light");
    EXPECT_EQ(e->style, "ExtraLight");
    EXPECT_EQ(e->fullName, "DejaVu Sans ExtraLight");
    EXPECT_EQ(e->typographicFamily, "DejaVu Sans");
    EXPECT_EQ(e->typographicStyle, "ExtraLight");
    const glyvor::FontEntry* t1 = r.catalog.FindById("URW:C059-BdIta.t1#0");
    ASSERT_NE(t1, nullptr);
    EXPECT_EQ(t1->fullName, "C059 Bold Italic");
    EXPECT_EQ(t1->family, "C059");
    EXPECT_EQ(t1->style, "Bold Italic");
}

bool HasName(const glyvor::FontEntry& e, glyvor::NameKind kind, const std::string& text) {
    for (const glyvor::FontName& n : e.otherNames) {
        if (n.kind == kind && n.text == text) return true;
    }
    return false;
}

TEST(IndexFolders, RecordsEveryLanguagesNamesAndTheFontsRevision) {
    const glyvor::Catalog& c = glyvor_test::SystemIndex().catalog;
    const glyvor::FontEntry* ipag = c.FindById("IPA:ipag.ttf#0");
    ASSERT_NE(ipag, nullptr);
    EXPECT_EQ(ipag->family, "IPAGothic");  // the US English names first
    EXPECT_EQ(ipag->fullName, "IPAGothic");
    EXPECT_TRUE(HasName(*ipag, glyvor::NameKind::Family, u8"IPAゴシック"));
    EXPECT_TRUE(HasName(*ipag, glyvor::NameKind::Full, u8"IPAゴシック"));
    // The Macintosh and Japanese records repeat the others: each name once.
    EXPECT_EQ(ipag->otherNames.size(), 2u);
    EXPECT_EQ(ipag->revision, 3030u);  // Version 003.03

    // The OpenType Nimbus Sans has the full name "Nimbus Sans" on the
    // Macintosh platform only.
    const glyvor::FontEntry* otf = c.FindById("URWOT:NimbusSans-Regular.otf#0");
    ASSERT_NE(otf, nullptr);
    EXPECT_EQ(otf->fullName, "NimbusSans-Regular");
    EXPECT_TRUE(HasName(*otf, glyvor::NameKind::Full, "Nimbus Sans"));

    // Revisions from 'head' tables and Type 1 version strings agree for the
    // same font in both formats.
    for (const auto& [name, revision] : std::vector<std::pair<std::string, std::uint32_t>>{
             {"C059-Roman", 1000}, {"D050000L", 2000}, {"NimbusSans-BoldItalic", 1100}}) {
        const glyvor::FontEntry* t1 = c.FindById("URW:" + name + ".t1#0");
        const glyvor::FontEntry* ot = c.FindById("URWOT:" + name + ".otf#0");
        ASSERT_TRUE(t1 && ot) << name;
        EXPECT_EQ(t1->revision, revision) << name;
        EXPECT_EQ(ot->revision, revision) << name;
    }
    EXPECT_EQ(c.FindById("Liberation:LiberationSans-Bold.ttf#0")->revision, 1070u);
}

// The font with its Macintosh Japanese family record (Shift-JIS) rewritten to
// `sjis`, of the same length as the record.
std::string WithMacJapaneseFamily(std::string font, const std::string& sjis) {
    auto get16 = [&](std::size_t at) {
        return std::size_t((std::uint8_t(font[at]) << 8) | std::uint8_t(font[at + 1]));
    };
    auto get32 = [&](std::size_t at) { return (get16(at) << 16) | get16(at + 2); };
    for (std::size_t t = 0; t < get16(4); ++t) {
        const std::size_t record = 12 + 16 * t;
        if (font.compare(record, 4, "name") != 0) continue;
        const std::size_t table = get32(record + 8);
        const std::size_t strings = table + get16(table + 4);
        for (std::size_t n = 0; n < get16(table + 2); ++n) {
            const std::size_t r = table + 6 + 12 * n;
            if (get16(r) == 1 && get16(r + 2) == 1 && get16(r + 6) == 1) {
                if (get16(r + 8) != sjis.size())
                    throw std::runtime_error("not the record's length");
                font.replace(strings + get16(r + 10), sjis.size(), sjis);
                return font;
            }
        }
    }
    throw std::runtime_error("no Macintosh Japanese family record");
}

TEST(IndexFolders, ReadsMacintoshJapaneseNames) {
    TempFolder dir;
    // "Xゴシック" in Shift-JIS: as long as "IPAGothic".
    glyvor_test::WriteFile(
        dir / "g/x.ttf",
        WithMacJapaneseFamily(
            glyvor_test::ReadFile(std::string(glyvor_test::kIpaGothic) + "/ipag.ttf"),
            "X\x83\x53\x83\x56\x83\x62\x83\x4E"));
    IndexResult r;
    std::string error;
    ASSERT_TRUE(IndexFolders({{"G", dir / "g"}}, &r, &error)) << error;
    ASSERT_EQ(r.catalog.entries().size(), 1u);
    EXPECT_TRUE(HasName(r.catalog.entries()[0], glyvor::NameKind::Family, u8"Xゴシック"));
}

TEST(IndexFolders, SkipsAndCountsUnreadableFontsAndIgnoresOtherFiles) {
    TempFolder dir;
    CopyFile(std::string(glyvor_test::kLiberation) + "/LiberationMono-Regular.ttf",
             dir / "g/nested/deeper/Mono.ttf");
    glyvor_test::WriteFile(dir / "g/broken.ttf", "this is not a font");
    glyvor_test::WriteFile(dir / "g/empty.OTF", "");
    // Truncated: FreeType cannot read the tables.
    glyvor_test::WriteFile(dir / "g/half.ttf",
                           glyvor_test::ReadFile(dir / "g/nested/deeper/Mono.ttf").substr(0, 64));
    glyvor_test::WriteFile(dir / "g/readme.txt", "not looked at");
    CopyFile(dir / "g/nested/deeper/Mono.ttf", dir / "g/Latin1-\xE9.ttf");  // not a UTF-8 name
    CopyFile(std::string(glyvor_test::kUrwType1) + "/C059-Roman.afm", dir / "g/C059-Roman.afm");

    IndexResult r;
    std::string error;
    ASSERT_TRUE(IndexFolders({{"G", dir / "g"}}, &r, &error)) << error;
    ASSERT_EQ(r.groups.size(), 1u);
    EXPECT_EQ(r.groups[0].fonts, 1u);
    EXPECT_EQ(r.groups[0].skipped, 4u);
    ASSERT_EQ(r.catalog.entries().size(), 1u);
    EXPECT_EQ(r.catalog.IdentifierOf(r.catalog.entries()[0]), "G:nested/deeper/Mono.ttf#0");
}

TEST(IndexFolders, IdentifiersSurviveAReindexAndAMovedTree) {
    TempFolder a, b;
    for (const char* f : {"LiberationSerif-Bold.ttf", "LiberationSans-Italic.ttf"}) {
        CopyFile(std::string(glyvor_test::kLiberation) + "/" + f, a / (std::string("sub/") + f));
        CopyFile(std::string(glyvor_test::kLiberation) + "/" + f, b / (std::string("sub/") + f));
    }
    IndexResult first, second, moved;
    std::string error;
    ASSERT_TRUE(IndexFolders({{"Lib", a.Path().string()}}, &first, &error)) << error;
    ASSERT_TRUE(IndexFolders({{"Lib", a.Path().string() + "/./sub/.."}}, &second, &error)) << error;
    ASSERT_TRUE(IndexFolders({{"Lib", b.Path().string()}}, &moved, &error)) << error;
    EXPECT_EQ(first.catalog.Serialise(), second.catalog.Serialise());
    ASSERT_EQ(first.catalog.entries().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(first.catalog.IdentifierOf(first.catalog.entries()[i]),
                  moved.catalog.IdentifierOf(moved.catalog.entries()[i]));
    }
    EXPECT_EQ(first.catalog.groups()[0].folder, fs::canonical(a.Path().string()).string());
}

TEST(IndexFolders, TheEarlierGroupWinsForTheSameFont) {
    TempFolder dir;
    const std::string src = std::string(glyvor_test::kLiberation) + "/LiberationSans-Bold.ttf";
    CopyFile(src, dir / "first/LiberationSans-Bold.ttf");
    CopyFile(src, dir / "second/LiberationSans-Bold.ttf");
    for (const auto& [groups, winner] :
         std::vector<std::pair<std::vector<glyvor::GroupSource>, std::string>>{
             {{{"One", dir / "first"}, {"Two", dir / "second"}}, "One"},
             {{{"Two", dir / "second"}, {"One", dir / "first"}}, "Two"}}) {
        IndexResult r;
        std::string error;
        ASSERT_TRUE(IndexFolders(groups, &r, &error)) << error;
        const glyvor::MatchResult m = glyvor::FontMatcher(r.catalog).Match("Liberation Sans Bold");
        ASSERT_NE(m.entry, nullptr);
        EXPECT_EQ(r.catalog.groups()[m.entry->group].name, winner);
    }
}

TEST(IndexFolders, RefusesBadSources) {
    TempFolder dir;
    glyvor_test::WriteFile(dir / "file.ttf", "x");
    const struct {
        std::vector<glyvor::GroupSource> sources;
        const char* message;
    } cases[] = {
        {{{"A", dir / "absent"}}, "is not a readable folder"},
        {{{"A", dir / "file.ttf"}}, "is not a readable folder"},
        {{{"", dir.Path().string()}}, "empty, repeated, holds ':'"},
        {{{"A", dir.Path().string()}, {"A", dir.Path().string()}}, "empty, repeated, holds ':'"},
        {{{"A:B", dir.Path().string()}}, "empty, repeated, holds ':'"},
        {{{"A\xFF", dir.Path().string()}}, "or is not valid UTF-8"},
    };
    for (const auto& c : cases) {
        IndexResult r;
        std::string error;
        EXPECT_FALSE(IndexFolders(c.sources, &r, &error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

}  // namespace

namespace {

TEST(IndexFolders, EveryFaceOfACollectionHasItsOwnIdentifier) {
    TempFolder dir;
    const std::string lib = glyvor_test::kLiberation;
    glyvor_test::WriteFile(
        dir / "g/Pair.ttc",
        glyvor_test::MakeCollection({glyvor_test::ReadFile(lib + "/LiberationSans-Bold.ttf"),
                                     glyvor_test::ReadFile(lib + "/LiberationSerif-Italic.ttf")}));
    IndexResult r;
    std::string error;
    ASSERT_TRUE(IndexFolders({{"G", dir / "g"}}, &r, &error)) << error;
    ASSERT_EQ(r.catalog.entries().size(), 2u);
    EXPECT_EQ(r.groups[0].fonts, 2u);
    const glyvor::FontEntry* second = r.catalog.FindById("G:Pair.ttc#1");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->postScriptName, "LiberationSerif-Italic");
    EXPECT_EQ(r.catalog.FindById("G:Pair.ttc#0")->postScriptName, "LiberationSans-Bold");
    const glyvor::MatchResult m = glyvor::FontMatcher(r.catalog).Match("Liberation Serif Italic");
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(r.catalog.IdentifierOf(*m.entry), "G:Pair.ttc#1");
}

}  // namespace
