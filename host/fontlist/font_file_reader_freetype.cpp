#include <ft2build.h>

#include "fontlist/font_file_reader.h"
#include FT_FREETYPE_H
#include FT_CID_H
#include FT_ERRORS_H
#include FT_FONT_FORMATS_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_TYPE1_TABLES_H

#include <cstring>

#include "host/text/unicode_text.h"

namespace host {

struct FontFileReader::Library {
    FT_Library ft = nullptr;
};

namespace {

struct FaceGuard {
    FT_Face face = nullptr;
    ~FaceGuard() {
        if (face) FT_Done_Face(face);
    }
};

// sfnt names of the Unicode and Microsoft platforms are UTF-16BE; an unpaired
// surrogate becomes U+FFFD.
std::string Utf16BeToUtf8(const FT_Byte* bytes, FT_UInt length) {
    return EncodeUtf8(DecodeUtf16Be(bytes, length));
}

struct SfntNames {
    std::string englishFull;
    std::string nativeFamily;
    std::string nativeFull;
};

bool IsEnglish(FT_UShort languageId) { return (languageId & 0x3FF) == 0x09; }

SfntNames ReadSfntNames(FT_Face face) {
    SfntNames names;
    std::string nativeTypographicFamily;
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) != 0) continue;
        const bool unicode =
            name.platform_id == TT_PLATFORM_MICROSOFT &&
            (name.encoding_id == TT_MS_ID_UNICODE_CS || name.encoding_id == TT_MS_ID_UCS_4);
        if (!unicode) continue;
        const std::string text = Utf16BeToUtf8(name.string, name.string_len);
        if (text.empty()) continue;
        if (IsEnglish(name.language_id)) {
            if (name.name_id == TT_NAME_ID_FULL_NAME && names.englishFull.empty()) {
                names.englishFull = text;
            }
        } else if (name.name_id == TT_NAME_ID_FULL_NAME && names.nativeFull.empty()) {
            names.nativeFull = text;
        } else if (name.name_id == TT_NAME_ID_TYPOGRAPHIC_FAMILY &&
                   nativeTypographicFamily.empty()) {
            nativeTypographicFamily = text;
        } else if (name.name_id == TT_NAME_ID_FONT_FAMILY && names.nativeFamily.empty()) {
            names.nativeFamily = text;
        }
    }
    if (!nativeTypographicFamily.empty()) names.nativeFamily = nativeTypographicFamily;
    return names;
}

bool HasTable(FT_Face face, FT_ULong tag) {
    FT_ULong length = 0;
    return FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 && length > 0;
}

std::string WithoutBlanks(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != ' ') out.push_back(c);
    }
    return out;
}

FontFaceInfo Describe(FT_Face face, const std::string& path, long index) {
    FontFaceInfo info;
    info.path = path;
    info.faceIndex = index;
    info.familyName = face->family_name ? face->family_name : "";
    info.styleName = face->style_name ? face->style_name : "";
    const char* psName = FT_Get_Postscript_Name(face);
    info.postScriptName = psName ? psName : "";

    const char* format = FT_Get_Font_Format(face);
    const std::string fmt = format ? format : "";
    const bool scalable = FT_IS_SCALABLE(face);
    const bool sfnt = FT_IS_SFNT(face);

    if (!scalable) {
        info.bitmap = true;
        info.technology = FontTechnology::Other;
    } else if (fmt == "TrueType" || fmt == "Type 42") {
        info.technology = FontTechnology::TrueType;
        info.openType = sfnt && (HasTable(face, TTAG_GSUB) || HasTable(face, TTAG_GPOS));
    } else if (fmt == "CFF" || fmt == "Type 1" || fmt == "CID Type 1") {
        info.technology = FontTechnology::Type1;
        info.openType = sfnt;
    } else {
        info.technology = FontTechnology::Other;
    }
    if (scalable) {
        FT_Bool cid = 0;
        if (fmt == "CID Type 1" ||
            (FT_Get_CID_Is_Internally_CID_Keyed(face, &cid) == 0 && cid != 0)) {
            info.cidKeyed = true;
        }
    }

    info.multipleMaster = FT_HAS_MULTIPLE_MASTERS(face) && !sfnt;
    info.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    info.fixedPitch = FT_IS_FIXED_WIDTH(face);
    info.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ? 700 : 400;
    if (sfnt) {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && os2->usWeightClass >= 1 &&
            os2->usWeightClass <= 1000) {
            info.weight = os2->usWeightClass;
        }
    }

    SfntNames sfntNames;
    if (sfnt) sfntNames = ReadSfntNames(face);
    PS_FontInfoRec psInfo;
    if (!sfntNames.englishFull.empty()) {
        info.fullName = sfntNames.englishFull;
    } else if (FT_Get_PS_Font_Info(face, &psInfo) == 0 && psInfo.full_name && *psInfo.full_name) {
        info.fullName = psInfo.full_name;
    } else if (info.styleName.empty() || info.styleName == "Regular") {
        info.fullName = info.familyName;
    } else {
        info.fullName = info.familyName + " " + info.styleName;
    }
    if (info.postScriptName.empty() && !info.familyName.empty()) {
        // Bitmap formats often carry no PostScript name.
        info.postScriptName = WithoutBlanks(info.familyName);
        if (!info.styleName.empty()) info.postScriptName += "-" + WithoutBlanks(info.styleName);
    }
    info.nativeFamilyName =
        sfntNames.nativeFamily.empty() ? info.familyName : sfntNames.nativeFamily;
    info.nativeFullName = sfntNames.nativeFull.empty() ? info.fullName : sfntNames.nativeFull;
    return info;
}

std::string FreeTypeError(FT_Error code) {
    switch (code) {
        case FT_Err_Cannot_Open_Resource:
            return "cannot open the file";
        case FT_Err_Unknown_File_Format:
            return "not a font file";
        case FT_Err_Invalid_File_Format:
            return "damaged font file";
        default:
            break;
    }
    const char* text = FT_Error_String(code);
    return text ? text : "FreeType error " + std::to_string(code);
}

}  // namespace

FontFileReader::FontFileReader() : m_library(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&m_library->ft) != 0) m_library->ft = nullptr;
}

FontFileReader::~FontFileReader() {
    if (m_library->ft) FT_Done_FreeType(m_library->ft);
}

bool FontFileReader::Read(const std::string& path, std::vector<FontFaceInfo>& faces,
                          std::string& error) {
    if (!m_library->ft) {
        error = "FreeType cannot start";
        return false;
    }
    FaceGuard first;
    FT_Error err = FT_New_Face(m_library->ft, path.c_str(), 0, &first.face);
    if (err != 0) {
        error = FreeTypeError(err);
        return false;
    }
    const long count = first.face->num_faces;
    std::vector<FontFaceInfo> found;
    found.push_back(Describe(first.face, path, 0));
    for (long index = 1; index < count; ++index) {
        FaceGuard next;
        err = FT_New_Face(m_library->ft, path.c_str(), index, &next.face);
        if (err != 0) {
            error = "face " + std::to_string(index) + ": " + FreeTypeError(err);
            return false;
        }
        found.push_back(Describe(next.face, path, index));
    }
    for (const FontFaceInfo& face : found) {
        if (face.postScriptName.empty()) {
            error = "face " + std::to_string(face.faceIndex) + " has no name";
            return false;
        }
    }
    faces.insert(faces.end(), found.begin(), found.end());
    return true;
}

}  // namespace host
