#include "documents/document_fonts.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "documents/document_sniffer.h"
#include "documents/pdf_fonts.h"
#include "documents/postscript_fonts.h"
#include "documents/svg_fonts.h"

namespace host {

const char* DocumentKindName(DocumentKind kind) {
    switch (kind) {
        case DocumentKind::Pdf:
            return "PDF";
        case DocumentKind::PostScript:
            return "PostScript";
        case DocumentKind::Svg:
            return "SVG";
        case DocumentKind::Unknown:
            break;
    }
    return "unknown";
}

namespace {

// Reads the whole file; documents are read once, at opening.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) {
        error = "is a folder, not a document";
        return false;
    }
    // A device or a pipe could be read for ever.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "is not a regular file";
        return false;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int err = errno;
        error = "cannot open the file (" +
                std::string(err != 0 ? std::strerror(err) : "unknown reason") + ")";
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = "cannot read the file";
        return false;
    }
    content = buffer.str();
    return true;
}

DocumentFonts Failure(const std::string& path, DocumentKind kind, const std::string& why) {
    DocumentFonts result;
    result.kind = kind;
    result.error = path + ": " + why;
    return result;
}

DocumentFonts Read(const std::string& path) {
    std::string content;
    std::string error;
    if (!ReadWholeFile(path, content, error)) return Failure(path, DocumentKind::Unknown, error);
    if (content.empty()) return Failure(path, DocumentKind::Unknown, "the file is empty");

    const DocumentKind kind = SniffDocumentKind(content);
    const DocumentKind promised = KindFromExtension(path);
    if (kind == DocumentKind::Unknown) {
        if (promised != DocumentKind::Unknown) {
            return Failure(
                path, DocumentKind::Unknown,
                std::string("the file is not a ") + DocumentKindName(promised) + " document");
        }
        return Failure(path, DocumentKind::Unknown, "not a PDF, PostScript or SVG document");
    }
    if (!ExtensionAllows(path, kind)) {
        return Failure(path, kind,
                       std::string("named as ") + DocumentKindName(promised) + " but holds " +
                           DocumentKindName(kind));
    }

    DocumentFonts result;
    result.kind = kind;
    FontNameList fonts;
    bool read = false;
    switch (kind) {
        case DocumentKind::Pdf:
            read = ReadPdfFonts(content, fonts, error);
            break;
        case DocumentKind::PostScript:
            read = ReadPostScriptFonts(content, fonts, error);
            break;
        case DocumentKind::Svg:
            read = ReadSvgFonts(content, fonts, error);
            break;
        case DocumentKind::Unknown:
            break;
    }
    if (!read) return Failure(path, kind, error);
    fonts.MoveTo(result);
    return result;
}

}  // namespace

DocumentFonts ReadDocumentFonts(const std::string& path) {
    if (path.empty()) return Failure(path, DocumentKind::Unknown, "no path given");
    try {
        return Read(path);
    } catch (const std::exception& e) {
        return Failure(path, DocumentKind::Unknown, std::string("cannot be read: ") + e.what());
    } catch (...) {
        return Failure(path, DocumentKind::Unknown, "cannot be read");
    }
}

}  // namespace host
