// Documents drawn with cairo: each font file given draws one line of text,
// so cairo embeds a subset of it ("ABCDEF+Name" in a PDF).
#pragma once

#include <string>
#include <vector>

namespace samples {

struct CairoDocumentOptions {
    // Draw every line inside a group, which cairo writes as a form XObject.
    bool textInGroup = false;
    // One page per font file instead of all lines on one page.
    bool pagePerFont = false;
};

// Each writer returns false with a reason when a font file cannot be read or
// cairo fails; nothing is left at `path` then.
bool WriteCairoPdf(const std::string& path, const std::vector<std::string>& fontFiles,
                   std::string& error, const CairoDocumentOptions& options = {});
bool WriteCairoEps(const std::string& path, const std::vector<std::string>& fontFiles,
                   std::string& error);

}  // namespace samples
