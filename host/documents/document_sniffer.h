// Tells a document's kind from its first bytes and checks it against what
// the file's extension promises.
#pragma once

#include <string>
#include <string_view>

#include "documents/document_fonts.h"

namespace host {

// The kind the content shows, or Unknown. Looks for "%PDF-" within the first
// 1024 bytes (as PDF readers do), "%!" or the DOS EPS binary header at the
// start, and an XML document (optionally after a byte-order mark) for SVG;
// whether its root really is <svg> is left to the SVG reader.
DocumentKind SniffDocumentKind(std::string_view content);

// Whether a file named `path` may hold a document of `kind`. Known
// extensions: .pdf (PDF), .ai (PDF or PostScript: older files are
// PostScript), .eps/.epsf/.epsi/.ps (PostScript), .svg (SVG); any other
// extension, or none, accepts every kind.
bool ExtensionAllows(const std::string& path, DocumentKind kind);

// The kind the extension promises, or Unknown for no or an unknown extension
// (for .ai: Pdf).
DocumentKind KindFromExtension(const std::string& path);

}  // namespace host
