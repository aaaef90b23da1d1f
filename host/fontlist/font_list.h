// The host's application-wide font list: the machine's fonts and, marked
// missing, the fonts that open documents use and the machine lacks. This is
// what the host's font suite answers from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "documents/document_fonts.h"
#include "fontlist/font_face_info.h"
#include "fontlist/machine_fonts.h"

namespace host {

// The font suite's four Unicode name queries.
enum class FontNameQuery {
    A,  // PostScript name
    B,  // full display name ("Liberation Sans Bold")
    C,  // family name
    D,  // style name
};

struct FontEntry {
    // For a missing font every name is the name the documents use, the style
    // is empty and the path empty; the technology and the CID flag are what
    // the first document that uses it tells (a PDF does), else Other.
    FontFaceInfo face;
    FontOrigin origin = FontOrigin::Installed;
    bool missing = false;
    // Composite (OCF) and composer (ATC) fonts are formats no font file on
    // the machine can have; kept so the information record is complete.
    bool ocf = false;
    bool atc = false;
    // For a missing font: the open documents that use it, in opening order.
    std::vector<std::string> documents;

    std::int32_t TechnologyCode() const { return static_cast<std::int32_t>(face.technology); }
    // The name the host gives narrow (its PostScript name), in UTF-8: its
    // conversion to the thread's code page is the font suite's business.
    const std::string& Name() const { return face.postScriptName; }
    // `native` picks the font's own-language form of B and C; A and D have
    // one form.
    const std::string& UnicodeName(FontNameQuery query, bool native) const;
};

// Order: the machine's fonts sorted by PostScript name, then the missing
// fonts sorted by name (both ignoring ASCII case), as a host's font menu
// lists what it has before what it lacks. A document font is present when
// FontNameKey (font_name_match.h) of its name equals that of a machine
// font's PostScript, full or family name (English or native).
class FontList {
public:
    // Reads the machine's fonts at once.
    explicit FontList(std::string machineDir);

    // Reads the machine's fonts again (the host does so on WM_FONTCHANGE) and
    // recomputes which document fonts are missing. Files unchanged in size
    // and modification time since the last enumeration are not read again.
    void Enumerate();
    // Takes `fonts` as the machine's fonts without reading the folder (one per
    // PostScript name, as an enumeration yields them) and recomputes which
    // document fonts are missing: for lists far larger than a folder of files.
    void SetMachineFonts(std::vector<MachineFont> fonts);

    // Reads a document and adds its fonts; opening an open document again
    // reads it anew. On failure the list does not change and the result
    // carries the error.
    DocumentFonts OpenDocument(const std::string& path);
    // Adds or replaces a document's fonts without reading a file; traits,
    // when given, are one per font.
    void SetDocumentFonts(const std::string& path, std::vector<std::string> fonts,
                          std::vector<DocumentFontTraits> traits = {});
    // Returns false when no such document is open.
    bool CloseDocument(const std::string& path);
    std::vector<std::string> OpenDocuments() const;

    const std::vector<FontEntry>& Entries() const { return m_entries; }
    std::size_t Count() const { return m_entries.size(); }
    std::size_t MachineFontCount() const { return m_machineCount; }
    std::size_t MissingCount() const { return m_entries.size() - m_machineCount; }
    // Lists the entry at `index` a second time, right after it, as a host
    // does that found one face in two places; until the list is next rebuilt
    // (Enumerate, a document set or closed).
    void ListTwice(std::size_t index);
    // The entry a name matches (same rule as for document fonts), or null.
    const FontEntry* Find(const std::string& name) const;

    // Of the last enumeration.
    std::size_t FilesRead() const { return m_filesRead; }
    std::size_t FilesReused() const { return m_filesReused; }
    const std::vector<std::string>& SkippedFiles() const { return m_skipped; }
    std::size_t DuplicateFaces() const { return m_duplicates; }

    const std::string& MachineDir() const { return m_machineDir; }

private:
    struct Document {
        std::string key;  // canonical path
        std::string path;
        std::vector<std::string> fonts;
        std::vector<DocumentFontTraits> traits;
    };

    void TakeMachineFonts(std::vector<MachineFont> fonts);
    void RecomputeMissing();
    std::string DocumentKey(const std::string& path) const;

    std::string m_machineDir;
    std::vector<FontEntry> m_entries;  // machine fonts first, then missing
    std::size_t m_machineCount = 0;
    std::vector<std::string> m_presentKeys;  // sorted FontNameKeys of machine fonts
    std::vector<Document> m_documents;
    std::size_t m_filesRead = 0;
    std::size_t m_filesReused = 0;
    FontFileCache m_fileCache;
    std::vector<std::string> m_skipped;
    std::size_t m_duplicates = 0;
};

}  // namespace host
