#include "fontlist/font_file_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "temp_folder.h"

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
