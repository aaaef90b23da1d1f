#include "fontlist/font_list.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

#include "fontlist/font_name_match.h"

namespace host {

namespace {

// Case-insensitive (ASCII) order, bytes breaking ties so the order is total.
bool NameLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char ca = a[i];
        char cb = b[i];
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

const std::string& FontEntry::UnicodeName(FontNameQuery query, bool native) const {
    switch (query) {
        case FontNameQuery::A:
            return face.postScriptName;
        case FontNameQuery::B:
            return native ? face.nativeFullName : face.fullName;
        case FontNameQuery::C:
            return native ? face.nativeFamilyName : face.familyName;
        case FontNameQuery::D:
            break;
    }
    return face.styleName;
}

FontList::FontList(std::string machineDir) : m_machineDir(std::move(machineDir)) { Enumerate(); }

void FontList::Enumerate() {
    MachineFontScan scan = ScanMachineFonts(m_machineDir, &m_fileCache);
    m_filesRead = scan.filesRead;
    m_filesReused = scan.filesReused;
    m_skipped = std::move(scan.skipped);
    m_duplicates = scan.duplicates;
    TakeMachineFonts(std::move(scan.fonts));
}

void FontList::SetMachineFonts(std::vector<MachineFont> fonts) {
    m_filesRead = 0;
    m_filesReused = 0;
    m_skipped.clear();
    m_duplicates = 0;
    TakeMachineFonts(std::move(fonts));
}

void FontList::TakeMachineFonts(std::vector<MachineFont> fonts) {
    m_entries.clear();
    m_entries.reserve(fonts.size());
    m_presentKeys.clear();
    for (MachineFont& font : fonts) {
        for (const std::string* name :
             {&font.face.postScriptName, &font.face.fullName, &font.face.familyName,
              &font.face.nativeFullName, &font.face.nativeFamilyName}) {
            m_presentKeys.push_back(FontNameKey(*name));
        }
        FontEntry entry;
        entry.face = std::move(font.face);
        entry.origin = font.origin;
        m_entries.push_back(std::move(entry));
    }
    std::sort(m_presentKeys.begin(), m_presentKeys.end());
    m_presentKeys.erase(std::unique(m_presentKeys.begin(), m_presentKeys.end()),
                        m_presentKeys.end());
    std::sort(m_entries.begin(), m_entries.end(), [](const FontEntry& a, const FontEntry& b) {
        return NameLess(a.face.postScriptName, b.face.postScriptName);
    });
    m_machineCount = m_entries.size();
    RecomputeMissing();
}

void FontList::RecomputeMissing() {
    m_entries.resize(m_machineCount);
    std::vector<FontEntry> missing;
    std::unordered_map<std::string, std::size_t> byKey;
    for (const Document& doc : m_documents) {
        for (std::size_t i = 0; i < doc.fonts.size(); ++i) {
            const std::string& name = doc.fonts[i];
            const std::string key = FontNameKey(name);
            if (!key.empty() &&
                std::binary_search(m_presentKeys.begin(), m_presentKeys.end(), key)) {
                continue;
            }
            // Names that differ only in the ignored characters are one font.
            auto found = byKey.find(key);
            if (found == byKey.end()) {
                FontEntry entry;
                entry.face.postScriptName = name;
                entry.face.familyName = name;
                entry.face.fullName = name;
                entry.face.nativeFamilyName = name;
                entry.face.nativeFullName = name;
                const DocumentFontTraits traits =
                    i < doc.traits.size() ? doc.traits[i] : DocumentFontTraits{};
                entry.face.technology =
                    traits.outlines == FontOutlines::Type1      ? FontTechnology::Type1
                    : traits.outlines == FontOutlines::TrueType ? FontTechnology::TrueType
                                                                : FontTechnology::Other;
                entry.face.cidKeyed = traits.cidKeyed;
                entry.origin = FontOrigin::Missing;
                entry.missing = true;
                found = byKey.emplace(key, missing.size()).first;
                missing.push_back(std::move(entry));
            }
            std::vector<std::string>& users = missing[found->second].documents;
            if (users.empty() || users.back() != doc.path) users.push_back(doc.path);
        }
    }
    std::sort(missing.begin(), missing.end(), [](const FontEntry& a, const FontEntry& b) {
        return NameLess(a.face.postScriptName, b.face.postScriptName);
    });
    for (FontEntry& entry : missing) m_entries.push_back(std::move(entry));
}

std::string FontList::DocumentKey(const std::string& path) const {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : canonical.string();
}

DocumentFonts FontList::OpenDocument(const std::string& path) {
    DocumentFonts result = ReadDocumentFonts(path);
    if (result.ok()) SetDocumentFonts(path, result.fonts, result.traits);
    return result;
}

void FontList::SetDocumentFonts(const std::string& path, std::vector<std::string> fonts,
                                std::vector<DocumentFontTraits> traits) {
    const std::string key = DocumentKey(path);
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [&](const Document& d) { return d.key == key; });
    if (it != m_documents.end()) {
        it->fonts = std::move(fonts);
        it->traits = std::move(traits);
    } else {
        m_documents.push_back(Document{key, path, std::move(fonts), std::move(traits)});
    }
    RecomputeMissing();
}

void FontList::ListTwice(std::size_t index) {
    if (index >= m_entries.size()) return;
    FontEntry copy = m_entries[index];
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(copy));
    if (index < m_machineCount) ++m_machineCount;
}

bool FontList::CloseDocument(const std::string& path) {
    const std::string key = DocumentKey(path);
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [&](const Document& d) { return d.key == key; });
    if (it == m_documents.end()) return false;
    m_documents.erase(it);
    RecomputeMissing();
    return true;
}

std::vector<std::string> FontList::OpenDocuments() const {
    std::vector<std::string> paths;
    for (const Document& doc : m_documents) paths.push_back(doc.path);
    return paths;
}

const FontEntry* FontList::Find(const std::string& name) const {
    const std::string key = FontNameKey(name);
    if (key.empty()) return nullptr;
    // A PostScript name is the most specific match; family names come last.
    for (const FontEntry& entry : m_entries) {
        if (FontNameKey(entry.face.postScriptName) == key) return &entry;
    }
    for (const FontEntry& entry : m_entries) {
        for (const std::string* candidate :
             {&entry.face.fullName, &entry.face.nativeFullName, &entry.face.familyName,
              &entry.face.nativeFamilyName}) {
            if (FontNameKey(*candidate) == key) return &entry;
        }
    }
    return nullptr;
}

}  // namespace host
