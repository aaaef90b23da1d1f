// The document readers on hostile bytes, as the host reads an opened document:
// the kind its content shows, then that kind's reader (PDF through qpdf,
// PostScript/EPS through its DSC comments, SVG through libxml2). A reader
// either refuses with a reason and hands back nothing, or hands back names
// that are non-empty, distinct and valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "documents/document_fonts.h"
#include "documents/document_sniffer.h"
#include "documents/font_name_list.h"
#include "documents/pdf_fonts.h"
#include "documents/postscript_fonts.h"
#include "documents/svg_fonts.h"
#include "text/unicode_text.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "document reader broke its contract: %s\n", what);
        std::abort();
    }
}

bool IsUtf8(const std::string& text) {
    // Decoding replaces what is not UTF-8, so only valid text survives the trip.
    return host::EncodeUtf8(host::DecodeUtf8(text.data(), text.size())) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    host::FontNameList fonts;
    std::string error;
    bool read = false;
    switch (host::SniffDocumentKind(content)) {
        case host::DocumentKind::Pdf:
            read = host::ReadPdfFonts(content, fonts, error);
            break;
        case host::DocumentKind::PostScript:
            read = host::ReadPostScriptFonts(content, fonts, error);
            break;
        case host::DocumentKind::Svg:
            read = host::ReadSvgFonts(content, fonts, error);
            break;
        case host::DocumentKind::Unknown:
            return 0;
    }
    if (!read) {
        Require(!error.empty(), "a refused document has a reason");
        Require(fonts.Names().empty(), "a refused document hands back no fonts");
        return 0;
    }
    std::set<std::string> seen;
    for (const std::string& name : fonts.Names()) {
        Require(!name.empty(), "no font name is empty");
        Require(seen.insert(name).second, "each font name comes once");
        Require(IsUtf8(name), "every font name is UTF-8");
    }
    host::DocumentFonts result;
    fonts.MoveTo(result);
    Require(result.traits.size() == result.fonts.size(), "one set of traits per font");
    return 0;
}
