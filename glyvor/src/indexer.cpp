#include "glyvor/indexer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_FONT_FORMATS_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TYPE1_TABLES_H
#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "glyvor/encoding.h"

namespace glyvor {

namespace fs = std::filesystem;

namespace {

struct LibraryCloser {
    void operator()(FT_Library lib) const { FT_Done_FreeType(lib); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

bool IsFontFileName(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".ttf" || ext == ".otf" || ext == ".ttc" || ext == ".otc" || ext == ".pfa" ||
           ext == ".pfb" || ext == ".t1";
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

const char* OrEmpty(const char* text) { return text ? text : ""; }

// False when the face is of a format the catalogue does not hold.
bool Describe(FT_Face face, FontEntry* entry) {
    const std::string format = OrEmpty(FT_Get_Font_Format(face));
    if (format == "TrueType") {
        entry->format = FontFormat::TrueType;
    } else if (format == "CFF" && FT_IS_SFNT(face)) {
        entry->format = FontFormat::OpenTypeCff;
    } else if (format == "Type 1") {
        entry->format = FontFormat::Type1;
    } else {
        return false;
    }
    entry->postScriptName = OrEmpty(FT_Get_Postscript_Name(face));
    if (FT_IS_SFNT(face)) {
        entry->family = SfntName(face, TT_NAME_ID_FONT_FAMILY);
        entry->style = SfntName(face, TT_NAME_ID_FONT_SUBFAMILY);
        entry->fullName = SfntName(face, TT_NAME_ID_FULL_NAME);
        entry->typographicFamily = SfntName(face, TT_NAME_ID_TYPOGRAPHIC_FAMILY);
        entry->typographicStyle = SfntName(face, TT_NAME_ID_TYPOGRAPHIC_SUBFAMILY);
    } else {
        PS_FontInfoRec info;
        if (FT_Get_PS_Font_Info(face, &info) == 0)
            entry->fullName = NameToUtf8(OrEmpty(info.full_name));
    }
    if (entry->family.empty()) entry->family = NameToUtf8(OrEmpty(face->family_name));
    if (entry->style.empty()) entry->style = NameToUtf8(OrEmpty(face->style_name));
    entry->postScriptName = NameToUtf8(entry->postScriptName);
    return true;
}

// Adds every face of one file; false when the file is skipped.
bool IndexFile(FT_Library lib, const fs::path& file, const std::string& relative, std::size_t group,
               Catalog* catalog) {
    FT_Face raw = nullptr;
    if (FT_New_Face(lib, file.c_str(), 0, &raw) != 0) return false;
    FacePtr first(raw);
    const FT_Long faces = first->num_faces;
    bool any = false;
    for (FT_Long index = 0; index < faces; ++index) {
        FacePtr face;
        if (index == 0) {
            face = std::move(first);
        } else {
            raw = nullptr;
            if (FT_New_Face(lib, file.c_str(), index, &raw) != 0) continue;
            face.reset(raw);
        }
        FontEntry entry;
        entry.group = group;
        entry.relativePath = relative;
        entry.faceIndex = static_cast<int>(index);
        if (Describe(face.get(), &entry) && catalog->AddEntry(std::move(entry))) any = true;
    }
    return any;
}

}  // namespace

bool IndexFolders(const std::vector<GroupSource>& sources, IndexResult* result,
                  std::string* error) {
    FT_Library raw = nullptr;
    if (FT_Init_FreeType(&raw) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    LibraryPtr lib(raw);
    IndexResult out;
    for (const GroupSource& source : sources) {
        std::error_code ec;
        fs::path folder = fs::absolute(source.folder, ec);
        if (!ec) folder = fs::weakly_canonical(folder, ec);
        if (!ec && !IsUtf8(folder.string())) {
            *error = "group '" + source.name + "': the folder's path is not valid UTF-8";
            return false;
        }
        if (ec || !fs::is_directory(folder, ec)) {
            *error = "group '" + source.name + "': " + source.folder + " is not a readable folder";
            return false;
        }
        long group = IsUtf8(source.name) ? out.catalog.AddGroup(source.name, folder.string()) : -1;
        if (group < 0) {
            *error = "group '" + source.name +
                     "': the name is empty, repeated, holds ':' or is not valid UTF-8";
            return false;
        }
        std::vector<fs::path> files;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                            ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_regular_file(ec) && IsFontFileName(it->path())) files.push_back(it->path());
        }
        if (ec) {
            *error =
                "group '" + source.name + "': cannot read " + folder.string() + ": " + ec.message();
            return false;
        }
        // Sorted, so that the same folders give the same catalogue.
        std::sort(files.begin(), files.end());
        GroupReport report;
        report.name = source.name;
        const std::size_t before = out.catalog.entries().size();
        for (const fs::path& file : files) {
            std::string relative = file.lexically_relative(folder).generic_string();
            // Identifiers must cross the automation boundary as UTF-16 and come back.
            if (!IsUtf8(relative) || !IndexFile(lib.get(), file, relative,
                                                static_cast<std::size_t>(group), &out.catalog)) {
                ++report.skipped;
            }
        }
        report.fonts = out.catalog.entries().size() - before;
        out.groups.push_back(report);
    }
    *result = std::move(out);
    return true;
}

}  // namespace glyvor
