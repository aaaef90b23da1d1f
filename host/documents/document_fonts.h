// The fonts an open document uses, as the simulated host reads them from the
// document file itself. No exception crosses this interface: every failure is
// a DocumentFonts whose error text says what went wrong.
#pragma once

#include <string>
#include <vector>

namespace host {

// What a document tells of the kind of a font it uses: a PDF's font
// dictionaries tell it, DSC comments and SVG do not.
enum class FontOutlines { Unknown, Type1, TrueType };

struct DocumentFontTraits {
    FontOutlines outlines = FontOutlines::Unknown;
    bool cidKeyed = false;
};

enum class DocumentKind {
    Unknown,     // nothing could be read
    Pdf,         // PDF, and PDF-compatible .ai files
    PostScript,  // PostScript and EPS, DOS EPS binaries included
    Svg,
};

// "PDF", "PostScript", "SVG" or "unknown".
const char* DocumentKindName(DocumentKind kind);

struct DocumentFonts {
    DocumentKind kind = DocumentKind::Unknown;
    // Font names in UTF-8 (bytes that are not are read as Latin-1), in order
    // of first use, each once, subset prefixes removed.
    // PDF and PostScript give PostScript names; SVG gives family names.
    std::vector<std::string> fonts;
    // One per font, in the same order: what the document tells of it.
    std::vector<DocumentFontTraits> traits;
    // Empty on success; otherwise a message that starts with the path.
    std::string error;

    bool ok() const { return error.empty(); }
};

// Reads the document at `path`. The kind is decided by the content; a file
// whose extension names another kind is refused (see document_sniffer.h).
DocumentFonts ReadDocumentFonts(const std::string& path);

}  // namespace host
