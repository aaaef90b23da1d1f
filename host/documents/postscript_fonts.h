#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "documents/font_name_list.h"

namespace host {

// Fonts named in a PostScript or EPS file's DSC comments: %%DocumentFonts,
// %%DocumentNeededFonts, %%DocumentSuppliedFonts and the font entries of
// %%DocumentNeededResources and %%DocumentSuppliedResources, with their %%+
// continuations, from the header and, for "(atend)", the trailer; then the
// fonts that %%BeginResource/%%IncludeResource (type font), %%BeginFont and
// %%IncludeFont name in the body.
//
// Supplied (embedded) fonts count as used: as with the subset fonts embedded
// in a PDF, the document only carries the glyphs it draws, and editing its
// text needs the whole font on the machine.
//
// A DOS EPS binary is read through its PostScript section.
bool ReadPostScriptFonts(std::string_view content, FontNameList& fonts, std::string& error);

}  // namespace host
