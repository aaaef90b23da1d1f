// Font files through DirectWrite. Its faces give the names of the OpenType name
// table (PostScript, full, family, style, in every language the font has), the
// outline format and the OS/2 weight. It reads TrueType and OpenType (CFF) files
// and collections; Type 1 files are refused with a message of their own, as is
// anything it cannot read. A CID-keyed CFF font is not told apart here: DirectWrite
// has no query for it, so cidKeyed stays false.
#include <dwrite_3.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fontlist/font_file_reader.h"
#include "host/text/unicode_text.h"

namespace host {

namespace {

template <typename T>
struct ComRef {
    T* p = nullptr;
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }
    void Reset() {
        if (p != nullptr) p->Release();
        p = nullptr;
    }
    T* operator->() const { return p; }
    T** Out() {
        Reset();
        return &p;
    }
};

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = DecodeUtf8(utf8.data(), utf8.size());
    return std::wstring(units.begin(), units.end());
}

std::string StringAt(IDWriteLocalizedStrings* strings, UINT32 index) {
    UINT32 length = 0;
    if (FAILED(strings->GetStringLength(index, &length))) return {};
    std::wstring text(length + 1, L'\0');
    if (FAILED(strings->GetString(index, text.data(), length + 1))) return {};
    text.resize(length);
    return EncodeUtf8(std::u16string(text.begin(), text.end()));
}

bool IsEnglish(IDWriteLocalizedStrings* strings, UINT32 index) {
    UINT32 length = 0;
    if (FAILED(strings->GetLocaleNameLength(index, &length))) return false;
    std::wstring locale(length + 1, L'\0');
    if (FAILED(strings->GetLocaleName(index, locale.data(), length + 1))) return false;
    return length >= 2 && (locale[0] == L'e' || locale[0] == L'E') &&
           (locale[1] == L'n' || locale[1] == L'N') && (length == 2 || locale[2] == L'-');
}

// The English and the first other-language form of one informational string.
struct Names {
    bool exists = false;
    std::string english;
    std::string native;
};

Names ReadNames(IDWriteFontFace3* face, DWRITE_INFORMATIONAL_STRING_ID id) {
    Names names;
    ComRef<IDWriteLocalizedStrings> strings;
    BOOL exists = FALSE;
    if (FAILED(face->GetInformationalStrings(id, strings.Out(), &exists)) || !exists ||
        strings.p == nullptr)
        return names;
    const UINT32 count = strings->GetCount();
    for (UINT32 i = 0; i < count; ++i) {
        std::string text = StringAt(strings.p, i);
        if (text.empty()) continue;
        if (IsEnglish(strings.p, i)) {
            if (names.english.empty()) names.english = std::move(text);
        } else if (names.native.empty()) {
            names.native = std::move(text);
        }
    }
    // A font with names in one other language only still has a name.
    if (names.english.empty()) names.english = names.native;
    names.exists = !names.english.empty();
    return names;
}

bool HasTable(IDWriteFontFace* face, UINT32 tag) {
    const void* data = nullptr;
    UINT32 size = 0;
    void* context = nullptr;
    BOOL exists = FALSE;
    if (FAILED(face->TryGetFontTable(tag, &data, &size, &context, &exists))) return false;
    if (exists) face->ReleaseFontTable(context);
    return exists && size > 0;
}

std::string WithoutBlanks(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out.push_back(c);
    return out;
}

bool Describe(IDWriteFontFace* plain, const std::string& path, long index, FontFaceInfo& info,
              std::string& error) {
    ComRef<IDWriteFontFace3> face;
    if (FAILED(plain->QueryInterface(__uuidof(IDWriteFontFace3),
                                     reinterpret_cast<void**>(face.Out())))) {
        error = "this system's DirectWrite gives no font names (no IDWriteFontFace3)";
        return false;
    }
    info.path = path;
    info.faceIndex = index;

    switch (plain->GetType()) {
        case DWRITE_FONT_FACE_TYPE_CFF:
        case DWRITE_FONT_FACE_TYPE_OPENTYPE_COLLECTION:
            info.technology = FontTechnology::Type1;
            info.openType = true;
            break;
        case DWRITE_FONT_FACE_TYPE_RAW_CFF:
            info.technology = FontTechnology::Type1;
            break;
        case DWRITE_FONT_FACE_TYPE_TRUETYPE:
            info.technology = FontTechnology::TrueType;
            info.openType = HasTable(plain, DWRITE_MAKE_OPENTYPE_TAG('G', 'S', 'U', 'B')) ||
                            HasTable(plain, DWRITE_MAKE_OPENTYPE_TAG('G', 'P', 'O', 'S'));
            break;
        case DWRITE_FONT_FACE_TYPE_BITMAP:
            info.bitmap = true;
            info.technology = FontTechnology::Other;
            break;
        default:
            info.technology = FontTechnology::Other;
            break;
    }

    const Names typographicFamily =
        ReadNames(face.p, DWRITE_INFORMATIONAL_STRING_TYPOGRAPHIC_FAMILY_NAMES);
    const Names win32Family = ReadNames(face.p, DWRITE_INFORMATIONAL_STRING_WIN32_FAMILY_NAMES);
    const Names typographicStyle =
        ReadNames(face.p, DWRITE_INFORMATIONAL_STRING_TYPOGRAPHIC_SUBFAMILY_NAMES);
    const Names win32Style = ReadNames(face.p, DWRITE_INFORMATIONAL_STRING_WIN32_SUBFAMILY_NAMES);
    const Names full = ReadNames(face.p, DWRITE_INFORMATIONAL_STRING_FULL_NAME);
    const Names postScript = ReadNames(face.p, DWRITE_INFORMATIONAL_STRING_POSTSCRIPT_NAME);

    // The typographic names first, as a font's menu name is its typographic family.
    const Names& family = typographicFamily.exists ? typographicFamily : win32Family;
    const Names& style = typographicStyle.exists ? typographicStyle : win32Style;
    info.familyName = family.english;
    info.styleName = style.english;
    info.postScriptName = postScript.english;
    if (full.exists) {
        info.fullName = full.english;
    } else if (info.styleName.empty() || info.styleName == "Regular") {
        info.fullName = info.familyName;
    } else {
        info.fullName = info.familyName + " " + info.styleName;
    }
    if (info.postScriptName.empty() && !info.familyName.empty()) {
        info.postScriptName = WithoutBlanks(info.familyName);
        if (!info.styleName.empty()) info.postScriptName += "-" + WithoutBlanks(info.styleName);
    }
    info.nativeFamilyName = family.native.empty() ? info.familyName : family.native;
    info.nativeFullName = full.native.empty() ? info.fullName : full.native;

    info.weight = static_cast<std::int32_t>(face->GetWeight());
    info.italic = face->GetStyle() != DWRITE_FONT_STYLE_NORMAL;
    info.fixedPitch = face->IsMonospacedFont() != FALSE;
    return true;
}

// Type 1 fonts begin with a PFB segment marker or a PostScript font header.
bool LooksLikeType1(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    char head[32] = {};
    in.read(head, sizeof head);
    const std::string start(head, static_cast<std::size_t>(in.gcount()));
    return (start.size() >= 2 && static_cast<unsigned char>(start[0]) == 0x80 && start[1] == 1) ||
           start.compare(0, 14, "%!PS-AdobeFont") == 0 || start.compare(0, 11, "%!FontType1") == 0;
}

}  // namespace

struct FontFileReader::Library {
    IDWriteFactory* factory = nullptr;
};

FontFileReader::FontFileReader() : m_library(std::make_unique<Library>()) {
    if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_ISOLATED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(&m_library->factory))))
        m_library->factory = nullptr;
}

FontFileReader::~FontFileReader() {
    if (m_library->factory != nullptr) m_library->factory->Release();
}

bool FontFileReader::Read(const std::string& path, std::vector<FontFaceInfo>& faces,
                          std::string& error) {
    if (m_library->factory == nullptr) {
        error = "DirectWrite cannot start";
        return false;
    }
    ComRef<IDWriteFontFile> file;
    HRESULT hr =
        m_library->factory->CreateFontFileReference(Wide(path).c_str(), nullptr, file.Out());
    if (FAILED(hr)) {
        error = hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                        hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
                    ? "cannot open the file"
                    : "cannot open the file (" + Hex(hr) + ")";
        return false;
    }
    BOOL supported = FALSE;
    DWRITE_FONT_FILE_TYPE fileType = DWRITE_FONT_FILE_TYPE_UNKNOWN;
    DWRITE_FONT_FACE_TYPE faceType = DWRITE_FONT_FACE_TYPE_UNKNOWN;
    UINT32 count = 0;
    hr = file->Analyze(&supported, &fileType, &faceType, &count);
    if (FAILED(hr)) {
        error = "cannot read the file (" + Hex(hr) + ")";
        return false;
    }
    if (fileType == DWRITE_FONT_FILE_TYPE_TYPE1_PFM ||
        fileType == DWRITE_FONT_FILE_TYPE_TYPE1_PFB || (!supported && LooksLikeType1(path))) {
        error = "a Type 1 font: this edition reads TrueType and OpenType fonts only";
        return false;
    }
    if (!supported || count == 0) {
        error = "not a font file";
        return false;
    }
    std::vector<FontFaceInfo> found;
    for (UINT32 index = 0; index < count; ++index) {
        ComRef<IDWriteFontFace> face;
        IDWriteFontFile* files[] = {file.p};
        hr = m_library->factory->CreateFontFace(faceType, 1, files, index,
                                                DWRITE_FONT_SIMULATIONS_NONE, face.Out());
        if (FAILED(hr)) {
            error = index == 0
                        ? "damaged font file (" + Hex(hr) + ")"
                        : "face " + std::to_string(index) + ": damaged font file (" + Hex(hr) + ")";
            return false;
        }
        FontFaceInfo info;
        if (!Describe(face.p, path, static_cast<long>(index), info, error)) return false;
        found.push_back(std::move(info));
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
