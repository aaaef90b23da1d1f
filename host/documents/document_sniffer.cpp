#include "documents/document_sniffer.h"

#include <algorithm>
#include <cctype>

namespace host {

namespace {

constexpr std::string_view kDosEpsMagic("\xC5\xD0\xD3\xC6", 4);

std::string LowerExtension(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

}  // namespace

DocumentKind SniffDocumentKind(std::string_view content) {
    if (content.substr(0, 4) == kDosEpsMagic) return DocumentKind::PostScript;
    if (content.substr(0, 1024).find("%PDF-") != std::string_view::npos) return DocumentKind::Pdf;

    std::string_view s = content;
    // Some spoolers put a Ctrl-D before a PostScript job.
    if (!s.empty() && s.front() == '\x04') s.remove_prefix(1);
    if (s.substr(0, 2) == "%!") return DocumentKind::PostScript;

    s = content;
    if (s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);
    while (!s.empty() &&
           (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n')) {
        s.remove_prefix(1);
    }
    if (s.substr(0, 5) == "<?xml" || s.substr(0, 4) == "<svg" || s.substr(0, 4) == "<!--" ||
        s.substr(0, 9) == "<!DOCTYPE") {
        return DocumentKind::Svg;
    }
    return DocumentKind::Unknown;
}

DocumentKind KindFromExtension(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == "pdf" || ext == "ai") return DocumentKind::Pdf;
    if (ext == "eps" || ext == "epsf" || ext == "epsi" || ext == "ps") {
        return DocumentKind::PostScript;
    }
    if (ext == "svg") return DocumentKind::Svg;
    return DocumentKind::Unknown;
}

bool ExtensionAllows(const std::string& path, DocumentKind kind) {
    if (LowerExtension(path) == "ai") {
        return kind == DocumentKind::Pdf || kind == DocumentKind::PostScript;
    }
    const DocumentKind promised = KindFromExtension(path);
    return promised == DocumentKind::Unknown || promised == kind;
}

}  // namespace host
