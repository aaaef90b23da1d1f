#include "fontlist/font_file_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "TempFolder.h"

namespace {

using host::FontFaceInfo;
using host::FontFileReader;
using host::FontTechnology;

// A one-glyph bitmap font in BDF, which FreeType reads.
const char* const kBdfFont =
    "STARTFONT 2.1\n"
    "FONT -Test-Pixel-Medium-R-Normal--8-80-75-75-C-80-ISO10646-1\n"
    "SIZE 8 75 75\n"
    "FONTBOUNDINGBOX 8 8 0 0\n"
    "STARTPROPERTIES 4\n"
    "FAMILY_NAME \"Pixel\"\n"
    "WEIGHT_NAME \"Medium\"\n"
    "FONT_ASCENT 8\n"
    "FONT_DESCENT 0\n"
    "ENDPROPERTIES\n"
    "CHARS 1\n"
    "STARTCHAR A\n"
    "ENCODING 65\n"
    "SWIDTH 500 0\n"
    "DWIDTH 8 0\n"
    "BBX 8 8 0 0\n"
    "BITMAP\n"
    "FF\n81\n81\n81\n81\n81\n81\nFF\n"
    "ENDCHAR\n"
    "ENDFONT\n";

FontFaceInfo ReadOne(FontFileReader& reader, const std::string& path) {
    std::vector<FontFaceInfo> faces;
    std::string error;
    EXPECT_TRUE(reader.Read(path, faces, error)) << path << ": " << error;
    EXPECT_EQ(faces.size(), 1u);
    return faces.empty() ? FontFaceInfo{} : faces.front();
}

TEST(FontFileReader, TechnologyAndFlagsFollowTheFileFormat) {
    TempFolder dir;
    const std::string bdf = dir.Write("pixel.bdf", kBdfFont);
    const struct {
        std::string path;
        const char* postScriptName;
        FontTechnology technology;
        bool openType;
        bool bitmap;
    } cases[] = {
        {"/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1", "NimbusSans-Regular",
         FontTechnology::Type1, false, false},
        {"/usr/share/fonts/X11/Type1/NimbusSans-Regular.pfb", "NimbusSans-Regular",
         FontTechnology::Type1, false, false},
        {"/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf", "URWGothic-Book",
         FontTechnology::Type1, true, false},
        {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", "LiberationSans",
         FontTechnology::TrueType, true, false},
        {bdf, "Pixel-Regular", FontTechnology::Other, false, true},
    };
    FontFileReader reader;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const FontFaceInfo face = ReadOne(reader, c.path);
        EXPECT_EQ(face.postScriptName, c.postScriptName);
        EXPECT_EQ(face.technology, c.technology);
        EXPECT_EQ(face.openType, c.openType);
        EXPECT_EQ(face.bitmap, c.bitmap);
        EXPECT_FALSE(face.cidKeyed);
        EXPECT_EQ(face.path, c.path);
        EXPECT_EQ(face.faceIndex, 0);
    }
}

TEST(FontFileReader, WeightSlantAndPitchAreReported) {
    const struct {
        const char* path;
        int weight;
        bool italic;
        bool fixedPitch;
    } cases[] = {
        {"/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf", 700, false, true},
        {"/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf", 400, true, false},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans-ExtraLight.ttf", 200, false, false},
        {"/usr/share/fonts/type1/urw-base35/NimbusMonoPS-BoldItalic.t1", 700, true, true},
    };
    FontFileReader reader;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const FontFaceInfo face = ReadOne(reader, c.path);
        EXPECT_EQ(face.weight, c.weight);
        EXPECT_EQ(face.italic, c.italic);
        EXPECT_EQ(face.fixedPitch, c.fixedPitch);
        EXPECT_FALSE(face.multipleMaster);
    }
}

TEST(FontFileReader, NamesComeFromTheFont) {
    FontFileReader reader;
    const FontFaceInfo bold =
        ReadOne(reader, "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf");
    EXPECT_EQ(bold.postScriptName, "LiberationSerif-Bold");
    EXPECT_EQ(bold.familyName, "Liberation Serif");
    EXPECT_EQ(bold.styleName, "Bold");
    EXPECT_EQ(bold.fullName, "Liberation Serif Bold");
    EXPECT_EQ(bold.nativeFullName, bold.fullName);  // no names in other languages

    const FontFaceInfo type1 = ReadOne(reader, "/usr/share/fonts/type1/urw-base35/P052-Italic.t1");
    EXPECT_EQ(type1.familyName, "P052");
    EXPECT_EQ(type1.fullName, "P052 Italic");
}

std::uint32_t Be32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint8_t>(s[at + i]);
    return v;
}

void PutBe32(std::string& s, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}

// A TrueType collection of whole font files: each font's table offsets are
// moved by where the font lands in the collection.
std::string Collection(const std::vector<std::string>& fonts) {
    std::string header = "ttcf";
    header += std::string("\x00\x01\x00\x00", 4);
    header += std::string(4 + 4 * fonts.size(), '\0');
    PutBe32(header, 8, static_cast<std::uint32_t>(fonts.size()));
    std::string body;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        std::string font = fonts[i];
        while (body.size() % 4 != 0) body.push_back('\0');
        const auto base = static_cast<std::uint32_t>(header.size() + body.size());
        PutBe32(header, 12 + 4 * i, base);
        const std::uint32_t tables =
            static_cast<std::uint8_t>(font[4]) << 8 | static_cast<std::uint8_t>(font[5]);
        for (std::uint32_t t = 0; t < tables; ++t) {
            const std::size_t record = 12 + 16 * t + 8;
            PutBe32(font, record, Be32(font, record) + base);
        }
        body += font;
    }
    return header + body;
}

TEST(FontFileReader, EveryFaceOfACollectionIsRead) {
    TempFolder dir;
    const std::string path = dir.Write(
        "pair.ttc", Collection({ReadFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
                                ReadFile("/usr/share/fonts/truetype/liberation/"
                                         "LiberationSerif-Bold.ttf")}));
    FontFileReader reader;
    std::vector<FontFaceInfo> faces;
    std::string error;
    ASSERT_TRUE(reader.Read(path, faces, error)) << error;
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].postScriptName, "DejaVuSans");
    EXPECT_EQ(faces[0].faceIndex, 0);
    EXPECT_EQ(faces[1].postScriptName, "LiberationSerif-Bold");
    EXPECT_EQ(faces[1].faceIndex, 1);
    EXPECT_EQ(faces[1].path, path);

    // A collection whose second font is cut off is refused as a whole.
    const std::string whole = ReadFile(path);
    const std::string cut = dir.Write("cut.ttc", whole.substr(0, Be32(whole, 16) + 8));
    std::vector<FontFaceInfo> none;
    EXPECT_FALSE(reader.Read(cut, none, error));
    EXPECT_THAT(error, ::testing::StartsWith("face 1: "));
    EXPECT_TRUE(none.empty());
}

TEST(FontFileReader, FilesThatAreNotFontsAreRefusedWithAReason) {
    TempFolder dir;
    std::string ttf = ReadFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty.ttf", ""},
        {"text.ttf", "not a font at all"},
        {"truncated.ttf", ttf.substr(0, 200)},
    };
    FontFileReader reader;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<FontFaceInfo> faces;
        std::string error;
        EXPECT_FALSE(reader.Read(dir.Write(c.name, c.content), faces, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(faces.empty());
    }
    std::vector<FontFaceInfo> faces;
    std::string error;
    EXPECT_FALSE(reader.Read(dir.File("absent.ttf"), faces, error));
    EXPECT_EQ(error, "cannot open the file");
}

}  // namespace
