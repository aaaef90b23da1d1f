#include "glyvor/catalog.h"

#include <gtest/gtest.h>

#include "glyvor_test_support.h"

namespace {

using glyvor::Catalog;
using glyvor::FontEntry;
using glyvor::FontFormat;

FontEntry Entry(std::size_t group, std::string path, int face = 0) {
    FontEntry e;
    e.group = group;
    e.relativePath = std::move(path);
    e.faceIndex = face;
    return e;
}

TEST(Catalog, RoundTripsAnyUtf8AndTheEscapedCharacters) {
    Catalog original;
    ASSERT_EQ(original.AddGroup("Gruppe \xC3\xBC\tmit\\Tab", "/fonts/a b"), 0);
    ASSERT_EQ(original.AddGroup("Second", "/fonts/two"), 1);
    FontEntry e = Entry(0, "sub dir/\xE6\x97\xA5\xE6\x9C\xAC.ttc", 3);
    e.format = FontFormat::OpenTypeCff;
    e.postScriptName = "Weird\\Name\r";
    e.family = "Line\nBreak";
    e.style = "\xF0\x9F\x98\x80 Emoji";  // outside the Basic Multilingual Plane
    e.fullName = "Full\tName";
    e.typographicFamily = "\\t not a tab";
    e.typographicStyle = "";
    e.revision = 3030;
    e.otherNames = {{glyvor::NameKind::Family, "\xE6\x97\xA5\xE6\x9C\xAC\tB"},
                    {glyvor::NameKind::WwsStyle, "Back\\slash"},
                    {glyvor::NameKind::PostScript, "Other-PS"}};
    ASSERT_TRUE(original.AddEntry(e));
    FontEntry t1 = Entry(1, "x.t1");
    t1.format = FontFormat::Type1;
    ASSERT_TRUE(original.AddEntry(t1));

    Catalog loaded;
    std::string error;
    ASSERT_TRUE(loaded.Parse(original.Serialise(), &error)) << error;
    ASSERT_EQ(loaded.groups().size(), 2u);
    EXPECT_EQ(loaded.groups()[0].name, "Gruppe \xC3\xBC\tmit\\Tab");
    EXPECT_EQ(loaded.groups()[0].folder, "/fonts/a b");
    ASSERT_EQ(loaded.entries().size(), 2u);
    const FontEntry& r = loaded.entries()[0];
    EXPECT_EQ(r.relativePath, e.relativePath);
    EXPECT_EQ(r.faceIndex, 3);
    EXPECT_EQ(r.format, FontFormat::OpenTypeCff);
    EXPECT_EQ(r.postScriptName, e.postScriptName);
    EXPECT_EQ(r.family, e.family);
    EXPECT_EQ(r.style, e.style);
    EXPECT_EQ(r.fullName, e.fullName);
    EXPECT_EQ(r.typographicFamily, e.typographicFamily);
    EXPECT_EQ(r.revision, 3030u);
    ASSERT_EQ(r.otherNames.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r.otherNames[i].kind, e.otherNames[i].kind) << i;
        EXPECT_EQ(r.otherNames[i].text, e.otherNames[i].text) << i;
    }
    EXPECT_EQ(loaded.entries()[1].format, FontFormat::Type1);
    EXPECT_TRUE(loaded.entries()[1].otherNames.empty());
    EXPECT_EQ(loaded.Serialise(), original.Serialise());
}

TEST(Catalog, IdentifiersDetailsAndPaths) {
    Catalog c;
    c.AddGroup("Sans", "/f/sans/");
    ASSERT_TRUE(c.AddEntry(Entry(0, "deep/er/A.ttc", 2)));
    const FontEntry& e = c.entries()[0];
    EXPECT_EQ(c.IdentifierOf(e), "Sans:deep/er/A.ttc#2");
    EXPECT_EQ(c.DetailOf(e), "Sans: A.ttc");
    EXPECT_EQ(c.PathOf(e), "/f/sans/deep/er/A.ttc");
    EXPECT_EQ(c.FindById("Sans:deep/er/A.ttc#2"), &e);
    EXPECT_EQ(c.FindById("Sans:deep/er/A.ttc#0"), nullptr);
    EXPECT_EQ(c.FindById(""), nullptr);
}

TEST(Catalog, RefusesBadGroupsAndEntries) {
    Catalog c;
    EXPECT_EQ(c.AddGroup("", "/x"), -1);
    EXPECT_EQ(c.AddGroup("a:b", "/x"), -1);  // would make identifiers ambiguous
    EXPECT_EQ(c.AddGroup("A", "/x"), 0);
    EXPECT_EQ(c.AddGroup("A", "/y"), -1);
    EXPECT_TRUE(c.AddEntry(Entry(0, "f.ttf")));
    EXPECT_FALSE(c.AddEntry(Entry(0, "f.ttf")));    // same identifier
    EXPECT_TRUE(c.AddEntry(Entry(0, "f.ttf", 1)));  // another face of it
    EXPECT_FALSE(c.AddEntry(Entry(1, "g.ttf")));    // no such group
    EXPECT_FALSE(c.AddEntry(Entry(0, "")));
    EXPECT_FALSE(c.AddEntry(Entry(0, "h.ttf", -1)));
    EXPECT_EQ(c.entries().size(), 2u);
}

TEST(Catalog, ParseNamesTheLineOfEachFault) {
    const std::string head = "glyvor-catalog\t2\ngroup\tG\t/fonts\n";
    const std::string good = "font\t0\ta.ttf\t0\tttf\tPS\tFam\tSty\tFull\t\t\t1000\n";
    std::string tooMany = head + good;
    for (std::size_t i = 0; i <= glyvor::kMaxNamesOfAKind; ++i) {
        tooMany += "name\tstyle\tS" + std::to_string(i) + "\n";
    }
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "line 0: empty file"},
        {"hello\n", "line 1: not a Glyvor catalogue"},
        // The first format had no revisions and no other names.
        {"glyvor-catalog\t1\n", "line 1: unsupported catalogue version 1"},
        {"glyvor-catalog\t3\n", "line 1: unsupported catalogue version 3"},
        {head + "font\t0\ta.ttf\t0\tttf\tPS\n", "line 3: a font record has 12 fields, not 6"},
        {head + "font\t0\ta.ttf\t0\tttf\tPS\tF\tS\tN\t\t\n",
         "line 3: a font record has 12 fields, not 11"},
        {head + "font\t1\ta.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: unknown group"},
        {head + "font\t0\ta.ttf\t-1\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: bad face index"},
        {head + "font\t0\ta.ttf\t0\twoff\tPS\tF\tS\tN\t\t\t0\n", "line 3: unknown format woff"},
        {head + "font\t0\ta.ttf\t0\tttf\tP\\S\tF\tS\tN\t\t\t0\n", "line 3: bad escape sequence"},
        {head + "font\t0\ta.ttf\t0\tttf\tPS\\\tF\tS\tN\t\t\t0\n",
         "line 3: bad escape sequence"},  // a lone trailing backslash
        {head + "font\t0\t/abs.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: font path must be"},
        // Paths that would lead out of the group's folder.
        {head + "font\t0\t../x.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: font path must be"},
        {head + "font\t0\ta/../../x.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: font path must be"},
        {head + "font\t0\t./x.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: font path must be"},
        {head + "font\t0\ta//x.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: font path must be"},
        {head + "font\t0\ta/\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: font path must be"},
        {head + "font\t0\ta/..\t0\tttf\tPS\tF\tS\tN\t\t\t0\n", "line 3: font path must be"},
        {head + "font\t0\ta.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t\n", "line 3: bad revision"},
        {head + "font\t0\ta.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t1.5\n", "line 3: bad revision"},
        {head + "font\t0\ta.ttf\t0\tttf\tPS\tF\tS\tN\t\t\t4294967296\n", "line 3: bad revision"},
        // Names belong to the font record before them.
        {head + "name\tfamily\tX\n", "line 3: a name record must follow its font record"},
        {head + good + "group\tH\t/h\nname\tfamily\tX\n",
         "line 5: a name record must follow its font record"},
        {head + good + "name\tfamily\n", "line 4: malformed name record"},
        {head + good + "name\tfamily\tX\tY\n", "line 4: malformed name record"},
        {head + good + "name\tnick\tX\n", "line 4: unknown name kind nick"},
        {head + good + "name\tfamily\t\n", "line 4: empty name"},
        {head + good + "name\tfamily\tFam\n", "line 4: repeated name"},  // the font's own
        {head + good + "name\tfull\tX\nname\tfull\tX\n", "line 5: repeated name"},
        {head + good + "name\tfull\tX\\q\n", "line 4: bad escape sequence"},
        {head + good + "name\tfull\tX\xC3\n", "line 4: not valid UTF-8"},
        {tooMany, "line " + std::to_string(4 + glyvor::kMaxNamesOfAKind) + ": more than 64 names"},
        {head + good + good, "line 4: repeated font"},
        {head + "group\tG\t/other\n", "line 3: bad or repeated group name"},
        {"glyvor-catalog\t2\ngroup\tG\trelative\n", "line 2: group folder is not absolute"},
        {head + "fnt\t0\n", "line 3: unknown record 'fnt'"},
        {head + "font\t0\ta.ttf\t0\tttf\tP\xFFS\tF\tS\tN\t\t\t0\n", "line 3: not valid UTF-8"},
        {head + "group\tH\t/f\xC3\n", "line 3: not valid UTF-8"},
    };
    for (const auto& c : cases) {
        Catalog catalog;
        std::string error;
        ASSERT_TRUE(catalog.Parse(head + good, &error)) << error;
        EXPECT_FALSE(catalog.Parse(c.text, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << "got: " << error;
        // A failed parse leaves the catalogue as it was.
        EXPECT_EQ(catalog.entries().size(), 1u) << c.text;
    }
}

TEST(Catalog, ParseSkipsCommentsBlankLinesAndCarriageReturns) {
    Catalog c;
    std::string error;
    ASSERT_TRUE(
        c.Parse("# made by hand\r\nglyvor-catalog\t2\r\n\r\ngroup\tG\t/f\r\n"
                "font\t0\ta.otf\t0\totf\tA\tB\tC\tD\t\t\t0\r\n# its other names\r\n\r\n"
                "name\tfull\tE\r\n",
                &error))
        << error;
    ASSERT_EQ(c.entries().size(), 1u);
    EXPECT_EQ(c.entries()[0].typographicStyle, "");
    EXPECT_EQ(c.entries()[0].fullName, "D");
    ASSERT_EQ(c.entries()[0].otherNames.size(), 1u);
    EXPECT_EQ(c.entries()[0].otherNames[0].text, "E");
}

TEST(Catalog, SaveAndLoadThroughAFile) {
    glyvor_test::TempFolder dir;
    Catalog c;
    c.AddGroup("G", "/f");
    c.AddEntry(Entry(0, "a.ttf"));
    std::string error;
    ASSERT_TRUE(c.Save(dir / "catalog.txt", &error)) << error;
    Catalog loaded;
    ASSERT_TRUE(loaded.Load(dir / "catalog.txt", &error)) << error;
    EXPECT_EQ(loaded.Serialise(), c.Serialise());

    EXPECT_FALSE(loaded.Load(dir / "absent.txt", &error));
    EXPECT_NE(error.find("absent.txt: cannot open"), std::string::npos) << error;
    ASSERT_TRUE(c.Save(dir / "new/folder/catalog.txt", &error)) << error;
    EXPECT_EQ(glyvor_test::ReadFile(dir / "new/folder/catalog.txt"), c.Serialise());
    EXPECT_FALSE(c.Save(dir / "catalog.txt/inside-a-file.txt", &error));
    EXPECT_NE(error.find("cannot create the folder"), std::string::npos) << error;
}

}  // namespace
