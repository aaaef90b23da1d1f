// One face of a font file in the catalogue, and the groups that hold them.
#pragma once

#include <cstdint>
#include <string>

namespace glyvor {

// Declared in tie-break order: when two faces answer a name equally well,
// the lower format wins.
enum class FontFormat : std::uint8_t {
    OpenTypeCff = 0,
    TrueType = 1,
    Type1 = 2,
};

// The catalogue's own spelling of each format ("otf", "ttf", "t1").
const char* FormatTag(FontFormat format);
bool FormatFromTag(const std::string& tag, FontFormat* format);

struct FontGroup {
    std::string name;    // any UTF-8 except empty
    std::string folder;  // absolute path of the folder the group was indexed from
};

struct FontEntry {
    std::size_t group = 0;     // index into Catalog::groups()
    std::string relativePath;  // path below the group's folder, '/'-separated
    int faceIndex = 0;         // face inside a collection, 0 for single-face files
    FontFormat format = FontFormat::TrueType;
    std::string postScriptName;
    std::string family;  // legacy family (name ID 1 in sfnt files)
    std::string style;   // legacy style (name ID 2)
    std::string fullName;
    std::string typographicFamily;  // name ID 16, empty when the font has none
    std::string typographicStyle;   // name ID 17, empty when the font has none
};

}  // namespace glyvor
