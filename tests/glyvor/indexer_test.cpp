#include "glyvor/indexer.h"

#include <gtest/gtest.h>

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
    ASSERT_EQ(r.groups.size(), 5u);
    const std::size_t expected[] = {
        CountFiles(glyvor_test::kUrwType1, ".t1"), CountFiles(glyvor_test::kUrwOpenType, ".otf"),
        CountFiles(glyvor_test::kLiberation, ".ttf"), CountFiles(glyvor_test::kDejaVu, ".ttf"),
        CountFiles(glyvor_test::kNoto, ".ttf")};
    for (std::size_t g = 0; g < 5; ++g) {
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
