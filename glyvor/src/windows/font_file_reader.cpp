// The DirectWrite edition of the font-file reader. DirectWrite reads TrueType
// and OpenType files; Type 1 files are refused by name, with a reason. Its
// informational strings come from the Windows-platform name records, and from
// Macintosh ones only where a font has no Windows record of that name: names
// that only a Macintosh record carries are known to the Linux edition alone.
#include "font_file_reader.h"

#include <windows.h>
// clang-format off
#include <dwrite_3.h>
// clang-format on

#include <algorithm>
#include <cstdint>

#include "com_ref.h"
#include "file_paths.h"
#include "font_revision.h"
#include "wide_text.h"

namespace glyvor {

namespace {

bool IsType1FileName(const std::string& path) {
    std::string ext = Utf8FromPath(PathFromUtf8(path).extension());
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".pfa" || ext == ".pfb" || ext == ".t1";
}

IDWriteFactory* Factory() {
    static const ComRef<IDWriteFactory> factory = [] {
        ComRef<IDWriteFactory> made;
        if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_ISOLATED, __uuidof(IDWriteFactory),
                                       reinterpret_cast<IUnknown**>(made.Put())))) {
            made.Reset();
        }
        return made;
    }();
    return factory.get();
}

std::string StringAt(IDWriteLocalizedStrings* strings, UINT32 index) {
    UINT32 length = 0;
    if (FAILED(strings->GetStringLength(index, &length))) return {};
    std::wstring text(length + 1, L'\0');
    if (FAILED(strings->GetString(index, &text[0], length + 1))) return {};
    text.resize(length);
    return Utf8FromWide(text);
}

// US English if the strings have it, else their first language; empty when there are none.
std::string English(IDWriteLocalizedStrings* strings) {
    if (!strings || strings->GetCount() == 0) return {};
    UINT32 index = 0;
    BOOL english = FALSE;
    if (FAILED(strings->FindLocaleName(L"en-us", &index, &english)) || !english) index = 0;
    return StringAt(strings, index);
}

// Every language of the strings, as names of one kind.
void AllOf(IDWriteLocalizedStrings* strings, NameKind kind, std::vector<FontName>* names) {
    if (!strings) return;
    for (UINT32 i = 0, n = strings->GetCount(); i < n; ++i) {
        std::string text = StringAt(strings, i);
        if (!text.empty()) names->push_back({kind, std::move(text)});
    }
}

ComRef<IDWriteLocalizedStrings> Informational(IDWriteFontFace3* face,
                                              DWRITE_INFORMATIONAL_STRING_ID id) {
    ComRef<IDWriteLocalizedStrings> strings;
    BOOL exists = FALSE;
    if (FAILED(face->GetInformationalStrings(id, strings.Put(), &exists)) || !exists) {
        strings.Reset();
    }
    return strings;
}

bool HasTable(IDWriteFontFace* face, UINT32 tag) {
    const void* data = nullptr;
    UINT32 size = 0;
    void* context = nullptr;
    BOOL exists = FALSE;
    if (FAILED(face->TryGetFontTable(tag, &data, &size, &context, &exists))) return false;
    if (exists) face->ReleaseFontTable(context);
    return exists != FALSE;
}

// The 'head' table's fontRevision; 0 when the table is missing or short.
FontRevision Revision(IDWriteFontFace* face) {
    const void* data = nullptr;
    UINT32 size = 0;
    void* context = nullptr;
    BOOL exists = FALSE;
    if (FAILED(face->TryGetFontTable(DWRITE_MAKE_OPENTYPE_TAG('h', 'e', 'a', 'd'), &data, &size,
                                     &context, &exists)) ||
        !exists) {
        return 0;
    }
    FontRevision revision = 0;
    if (size >= 8) {
        const auto* b = static_cast<const unsigned char*>(data);
        const std::uint32_t fixed = (std::uint32_t{b[4]} << 24) | (std::uint32_t{b[5]} << 16) |
                                    (std::uint32_t{b[6]} << 8) | std::uint32_t{b[7]};
        revision = RevisionFromFixed(static_cast<std::int32_t>(fixed));
    }
    face->ReleaseFontTable(context);
    return revision;
}

// False when DirectWrite cannot make the face or tell its names.
bool Describe(IDWriteFontFile* file, DWRITE_FONT_FACE_TYPE type, UINT32 index,
              FaceDescription* out) {
    ComRef<IDWriteFontFace> face;
    IDWriteFontFile* files[] = {file};
    if (FAILED(Factory()->CreateFontFace(type, 1, files, index, DWRITE_FONT_SIMULATIONS_NONE,
                                         face.Put()))) {
        return false;
    }
    ComRef<IDWriteFontFace3> named;
    if (FAILED(face->QueryInterface(__uuidof(IDWriteFontFace3), named.PutVoid()))) return false;
    out->faceIndex = static_cast<int>(index);
    out->format = HasTable(face.get(), DWRITE_MAKE_OPENTYPE_TAG('C', 'F', 'F', ' ')) ||
                          HasTable(face.get(), DWRITE_MAKE_OPENTYPE_TAG('C', 'F', 'F', '2'))
                      ? FontFormat::OpenTypeCff
                      : FontFormat::TrueType;
    IDWriteFontFace3* f = named.get();
    const struct {
        DWRITE_INFORMATIONAL_STRING_ID id;
        NameKind kind;
        std::string* field;  // null: no field of its own
    } kinds[] = {
        {DWRITE_INFORMATIONAL_STRING_POSTSCRIPT_NAME, NameKind::PostScript, &out->postScriptName},
        {DWRITE_INFORMATIONAL_STRING_WIN32_FAMILY_NAMES, NameKind::Family, &out->family},
        {DWRITE_INFORMATIONAL_STRING_WIN32_SUBFAMILY_NAMES, NameKind::Style, &out->style},
        {DWRITE_INFORMATIONAL_STRING_FULL_NAME, NameKind::Full, &out->fullName},
        {DWRITE_INFORMATIONAL_STRING_TYPOGRAPHIC_FAMILY_NAMES, NameKind::TypographicFamily,
         &out->typographicFamily},
        {DWRITE_INFORMATIONAL_STRING_TYPOGRAPHIC_SUBFAMILY_NAMES, NameKind::TypographicStyle,
         &out->typographicStyle},
        {DWRITE_INFORMATIONAL_STRING_WWS_FAMILY_NAME, NameKind::WwsFamily, nullptr},
    };
    for (const auto& k : kinds) {
        const ComRef<IDWriteLocalizedStrings> strings = Informational(f, k.id);
        if (k.field) *k.field = English(strings.get());
        AllOf(strings.get(), k.kind, &out->names);
    }
    // DirectWrite's own family and face names: those of the family that varies
    // only in weight, width and slope.
    ComRef<IDWriteLocalizedStrings> familyNames, faceNames;
    if (SUCCEEDED(f->GetFamilyNames(familyNames.Put()))) {
        AllOf(familyNames.get(), NameKind::WwsFamily, &out->names);
    }
    if (SUCCEEDED(f->GetFaceNames(faceNames.Put()))) {
        AllOf(faceNames.get(), NameKind::WwsStyle, &out->names);
    }
    out->revision = Revision(face.get());
    return true;
}

// Reads the face at `only`, or every face when `only` is negative.
FontFileResult Read(const std::string& path, int only, std::vector<FaceDescription>* faces,
                    std::string* why) {
    faces->clear();
    if (IsType1FileName(path)) {
        *why = "a Type 1 font; the Windows edition reads TrueType and OpenType fonts only";
        return FontFileResult::Refused;
    }
    if (Factory() == nullptr) {
        *why = "DirectWrite is not available";
        return FontFileResult::Unreadable;
    }
    ComRef<IDWriteFontFile> file;
    BOOL supported = FALSE;
    DWRITE_FONT_FILE_TYPE fileType{};
    DWRITE_FONT_FACE_TYPE faceType{};
    UINT32 count = 0;
    if (FAILED(
            Factory()->CreateFontFileReference(WideFromUtf8(path).c_str(), nullptr, file.Put())) ||
        FAILED(file->Analyze(&supported, &fileType, &faceType, &count)) || !supported) {
        *why = "not a font DirectWrite reads";
        return FontFileResult::Unreadable;
    }
    for (UINT32 index = 0; index < count; ++index) {
        if (only >= 0 && index != static_cast<UINT32>(only)) continue;
        FaceDescription face;
        if (Describe(file.get(), faceType, index, &face)) faces->push_back(std::move(face));
    }
    if (faces->empty()) {
        *why = "no face DirectWrite reads";
        return FontFileResult::Unreadable;
    }
    return FontFileResult::Read;
}

}  // namespace

FontFileResult ReadFontFile(const std::string& path, std::vector<FaceDescription>* faces,
                            std::string* why) {
    return Read(path, -1, faces, why);
}

FontFileResult ReadFontFace(const std::string& path, int faceIndex, FaceDescription* face,
                            std::string* why) {
    std::vector<FaceDescription> faces;
    if (faceIndex < 0) {
        *why = "no such face";
        return FontFileResult::Unreadable;
    }
    const FontFileResult result = Read(path, faceIndex, &faces, why);
    if (result == FontFileResult::Read) *face = std::move(faces.front());
    return result;
}

}  // namespace glyvor
