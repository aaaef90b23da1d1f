// What the host knows of one face of a font file.
#pragma once

#include <cstdint>
#include <string>

namespace host {

// The font information record's technology code.
enum class FontTechnology : std::int32_t {
    Type1 = 0,     // PostScript outlines: Type 1, CFF (also inside OpenType)
    TrueType = 1,  // TrueType (glyf) outlines, also inside OpenType
    Other = 2,     // bitmap fonts, and fonts the host only knows by name
};

struct FontFaceInfo {
    std::string path;
    long faceIndex = 0;

    // Names in UTF-8. The native forms are the names the font gives in a
    // language other than English, when it has them; otherwise the English
    // names again.
    std::string postScriptName;
    std::string familyName;
    std::string styleName;
    std::string fullName;
    std::string nativeFamilyName;
    std::string nativeFullName;

    FontTechnology technology = FontTechnology::Other;
    // An sfnt with CFF outlines, or with TrueType outlines and OpenType layout
    // tables (GSUB or GPOS).
    bool openType = false;
    bool cidKeyed = false;
    bool bitmap = false;
    // Type 1 multiple masters; variable sfnt fonts are not counted.
    bool multipleMaster = false;

    // The rest of what the information record carries.
    std::int32_t weight = 400;  // OS/2 weight class, else 700 for bold and 400
    bool italic = false;
    bool fixedPitch = false;
};

}  // namespace host
