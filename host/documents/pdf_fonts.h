#pragma once

#include <string>
#include <vector>

#include "documents/font_name_list.h"

namespace host {

// Base font names of the fonts a PDF's pages use: page resources, form
// XObjects and tiling patterns (nested to any depth, each visited once),
// Type 3 fonts' own resources and annotation appearance streams. Type 0 fonts
// are named by their descendant font. A file that is damaged or truncated, or
// encrypted with a password, is refused rather than read in part.
bool ReadPdfFonts(const std::string& content, FontNameList& fonts, std::string& error);

}  // namespace host
