// This edition has no PDF reader: Windows offers none of its own, and the
// library the POSIX edition reads PDF with is not built for Windows here.
#include "documents/pdf_fonts.h"

namespace host {

bool ReadPdfFonts(const std::string&, FontNameList&, std::string& error) {
    error = "PDF documents (and PDF-compatible .ai files) are not read in this edition";
    return false;
}

}  // namespace host
