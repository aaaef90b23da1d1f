// Reading the faces of a font file: FreeType on Linux, DirectWrite on Windows.
// The indexer and the font service see font files only through this.
#pragma once

#include <string>
#include <vector>

#include "glyvor/font_entry.h"

namespace glyvor {

// One face as the catalogue records it. Names are UTF-8; where a font carries a
// name in several languages, the fields give the US English one (else the
// first), and `names` gives every name of the kinds NameKind lists, in every
// language and from every platform the reader knows, in the font's own order
// (repeats and the fields' own names may be among them).
struct FaceDescription {
    int faceIndex = 0;
    FontFormat format = FontFormat::TrueType;
    std::string postScriptName;
    std::string family;
    std::string style;
    std::string fullName;
    std::string typographicFamily;  // empty when the font has none
    std::string typographicStyle;
    std::vector<FontName> names;
    FontRevision revision = 0;  // from the 'head' table, or a Type 1 font's version
};

enum class FontFileResult {
    Read,
    Unreadable,  // not a font, damaged, or of a format no edition catalogues
    Refused,     // a font format this edition does not read; *why says so
};

// Every face of the file, in face-index order; faces that cannot be read are left out.
FontFileResult ReadFontFile(const std::string& path, std::vector<FaceDescription>* faces,
                            std::string* why);

// The one face at `faceIndex`.
FontFileResult ReadFontFace(const std::string& path, int faceIndex, FaceDescription* face,
                            std::string* why);

}  // namespace glyvor
