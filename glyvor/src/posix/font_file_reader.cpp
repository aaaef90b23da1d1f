// The FreeType edition of the font-file reader.
#include "font_file_reader.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_FONT_FORMATS_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TYPE1_TABLES_H
#include <iconv.h>

#include <cstdint>
#include <memory>
#include <type_traits>

#include "font_revision.h"
#include "glyvor/encoding.h"

namespace glyvor {

namespace {

struct LibraryCloser {
    void operator()(FT_Library lib) const { FT_Done_FreeType(lib); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

LibraryPtr StartFreeType() {
    FT_Library raw = nullptr;
    if (FT_Init_FreeType(&raw) != 0) return nullptr;
    return LibraryPtr(raw);
}

FacePtr OpenFace(FT_Library lib, const std::string& path, FT_Long index) {
    FT_Face raw = nullptr;
    if (FT_New_Face(lib, path.c_str(), index, &raw) != 0) return nullptr;
    return FacePtr(raw);
}

std::string Convert(const char* from, const FT_Byte* bytes, FT_UInt length) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(length * 3 + 4, '\0');
    char* in = reinterpret_cast<char*>(const_cast<FT_Byte*>(bytes));
    std::size_t inLeft = length;
    char* dst = &out[0];
    std::size_t outLeft = out.size();
    std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return {};  // a broken name is no name
    out.resize(out.size() - outLeft);
    return out;
}

bool IsUnicodeRecord(const FT_SfntName& n) {
    return n.platform_id == TT_PLATFORM_APPLE_UNICODE ||
           (n.platform_id == TT_PLATFORM_MICROSOFT &&
            (n.encoding_id == TT_MS_ID_SYMBOL_CS || n.encoding_id == TT_MS_ID_UNICODE_CS ||
             n.encoding_id == TT_MS_ID_UCS_4));
}

// The iconv name of a name record's encoding; null for one we do not read.
const char* EncodingOf(const FT_SfntName& n) {
    if (IsUnicodeRecord(n)) return "UTF-16BE";
    if (n.platform_id != TT_PLATFORM_MACINTOSH) return nullptr;
    switch (n.encoding_id) {
        case TT_MAC_ID_ROMAN:
            return "MACINTOSH";
        case TT_MAC_ID_JAPANESE:
            return "SHIFT_JIS";
        case TT_MAC_ID_TRADITIONAL_CHINESE:
            return "BIG5";
        case TT_MAC_ID_KOREAN:
            return "CP949";
        case TT_MAC_ID_SIMPLIFIED_CHINESE:
            return "EUC-CN";
        default:
            return nullptr;
    }
}

std::string Decode(const FT_SfntName& n) {
    const char* encoding = EncodingOf(n);
    return encoding ? Convert(encoding, n.string, n.string_len) : std::string();
}

// A name from the sfnt name table as UTF-8: the Windows Unicode record in US
// English first, any Windows Unicode record next, then Unicode and Macintosh
// Roman records.
std::string SfntName(FT_Face face, FT_UShort nameId) {
    FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    int bestRank = 100;
    FT_SfntName best{};
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName n;
        if (FT_Get_Sfnt_Name(face, i, &n) != 0 || n.name_id != nameId) continue;
        int rank = 100;
        if (n.platform_id == TT_PLATFORM_MICROSOFT &&
            (n.encoding_id == TT_MS_ID_UNICODE_CS || n.encoding_id == TT_MS_ID_UCS_4)) {
            rank = n.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES ? 0 : 1;
        } else if (n.platform_id == TT_PLATFORM_APPLE_UNICODE) {
            rank = 2;
        } else if (n.platform_id == TT_PLATFORM_MACINTOSH && n.encoding_id == TT_MAC_ID_ROMAN) {
            rank = n.language_id == TT_MAC_LANGID_ENGLISH ? 3 : 4;
        }
        if (rank < bestRank) {
            bestRank = rank;
            best = n;
        }
    }
    if (bestRank >= 100) return {};
    return Convert(bestRank <= 2 ? "UTF-16BE" : "MACINTOSH", best.string, best.string_len);
}

// Every record of the name table that names the font, in every language.
void SfntNames(FT_Face face, std::vector<FontName>* names) {
    static const struct {
        FT_UShort id;
        NameKind kind;
    } kKinds[] = {
        {TT_NAME_ID_FONT_FAMILY, NameKind::Family},
        {TT_NAME_ID_FONT_SUBFAMILY, NameKind::Style},
        {TT_NAME_ID_FULL_NAME, NameKind::Full},
        {TT_NAME_ID_PS_NAME, NameKind::PostScript},
        {TT_NAME_ID_TYPOGRAPHIC_FAMILY, NameKind::TypographicFamily},
        {TT_NAME_ID_TYPOGRAPHIC_SUBFAMILY, NameKind::TypographicStyle},
        {TT_NAME_ID_WWS_FAMILY, NameKind::WwsFamily},
        {TT_NAME_ID_WWS_SUBFAMILY, NameKind::WwsStyle},
    };
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName n;
        if (FT_Get_Sfnt_Name(face, i, &n) != 0) continue;
        for (const auto& k : kKinds) {
            if (k.id != n.name_id) continue;
            std::string text = Decode(n);
            if (!text.empty()) names->push_back({k.kind, std::move(text)});
        }
    }
}

const char* OrEmpty(const char* text) { return text ? text : ""; }

// False when the face is of a format the catalogue does not hold.
bool Describe(FT_Face face, FaceDescription* out) {
    const std::string format = OrEmpty(FT_Get_Font_Format(face));
    if (format == "TrueType") {
        out->format = FontFormat::TrueType;
    } else if (format == "CFF" && FT_IS_SFNT(face)) {
        out->format = FontFormat::OpenTypeCff;
    } else if (format == "Type 1") {
        out->format = FontFormat::Type1;
    } else {
        return false;
    }
    out->postScriptName = NameToUtf8(OrEmpty(FT_Get_Postscript_Name(face)));
    if (FT_IS_SFNT(face)) {
        out->family = SfntName(face, TT_NAME_ID_FONT_FAMILY);
        out->style = SfntName(face, TT_NAME_ID_FONT_SUBFAMILY);
        out->fullName = SfntName(face, TT_NAME_ID_FULL_NAME);
        out->typographicFamily = SfntName(face, TT_NAME_ID_TYPOGRAPHIC_FAMILY);
        out->typographicStyle = SfntName(face, TT_NAME_ID_TYPOGRAPHIC_SUBFAMILY);
        SfntNames(face, &out->names);
        const auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face, FT_SFNT_HEAD));
        if (head) out->revision = RevisionFromFixed(static_cast<std::int32_t>(head->Font_Revision));
    } else {
        PS_FontInfoRec info;
        if (FT_Get_PS_Font_Info(face, &info) == 0) {
            out->fullName = NameToUtf8(OrEmpty(info.full_name));
            out->revision = RevisionFromText(OrEmpty(info.version));
        }
    }
    if (out->family.empty()) out->family = NameToUtf8(OrEmpty(face->family_name));
    if (out->style.empty()) out->style = NameToUtf8(OrEmpty(face->style_name));
    return true;
}

}  // namespace

FontFileResult ReadFontFile(const std::string& path, std::vector<FaceDescription>* faces,
                            std::string* why) {
    faces->clear();
    LibraryPtr lib = StartFreeType();
    if (!lib) {
        *why = "FreeType cannot start";
        return FontFileResult::Unreadable;
    }
    FacePtr first = OpenFace(lib.get(), path, 0);
    if (!first) {
        *why = "not a font FreeType reads";
        return FontFileResult::Unreadable;
    }
    const FT_Long count = first->num_faces;
    for (FT_Long index = 0; index < count; ++index) {
        FacePtr face = index == 0 ? std::move(first) : OpenFace(lib.get(), path, index);
        FaceDescription description;
        description.faceIndex = static_cast<int>(index);
        if (face && Describe(face.get(), &description)) faces->push_back(std::move(description));
    }
    if (faces->empty()) {
        *why = "no face of a catalogued format";
        return FontFileResult::Unreadable;
    }
    return FontFileResult::Read;
}

FontFileResult ReadFontFace(const std::string& path, int faceIndex, FaceDescription* face,
                            std::string* why) {
    LibraryPtr lib = StartFreeType();
    if (!lib) {
        *why = "FreeType cannot start";
        return FontFileResult::Unreadable;
    }
    FacePtr opened = OpenFace(lib.get(), path, faceIndex);
    face->faceIndex = faceIndex;
    if (!opened || !Describe(opened.get(), face)) {
        *why = "not a font FreeType reads";
        return FontFileResult::Unreadable;
    }
    return FontFileResult::Read;
}

}  // namespace glyvor
