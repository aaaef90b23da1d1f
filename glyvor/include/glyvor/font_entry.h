// One face of a font file in the catalogue, and the groups that hold them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// What a name names. Family and style names pair with names of their own kind
// only: the legacy pair, the typographic pair, and the pair of the family
// that varies only in weight, width and slope (name IDs 21 and 22 in sfnt
// files; DirectWrite's own family and face names on Windows).
enum class NameKind : std::uint8_t {
    PostScript,
    Full,
    Family,
    Style,
    TypographicFamily,
    TypographicStyle,
    WwsFamily,
    WwsStyle,
};

// The catalogue's own spelling of each kind ("ps", "full", "family", ...).
const char* NameKindTag(NameKind kind);
bool NameKindFromTag(const std::string& tag, NameKind* kind);

struct FontName {
    NameKind kind = NameKind::PostScript;
    std::string text;
};

// A font's own revision in thousandths (3030 for version 3.03), as its 'head'
// table or its Type 1 version string gives it; 0 when it gives none.
using FontRevision = std::uint32_t;

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
    FontRevision revision = 0;
    // Every other name the font carries, in any language and on any platform:
    // distinct, not empty, none repeating the field above of its kind, at most
    // kMaxNamesOfAKind of each kind.
    std::vector<FontName> otherNames;
};

inline constexpr std::size_t kMaxNamesOfAKind = 64;

enum class AddNameResult { Added, Known, Empty, TooMany };
// Adds `name` to entry.otherNames unless it is empty, already known (as a
// field or another name of its kind), or its kind is full.
AddNameResult AddOtherName(FontEntry* entry, FontName name);

}  // namespace glyvor
