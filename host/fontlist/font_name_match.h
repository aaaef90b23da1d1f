// How loosely a document's font name matches a machine font.
#pragma once

#include <string>
#include <string_view>

namespace host {

// The key two names must share to match: ASCII letters folded to lower case,
// blanks, hyphens, underscores and commas dropped. So "Arial,Bold" (a PDF's
// name for a TrueType font), "Arial-Bold" and "Arial Bold" match, and an SVG
// family "DejaVu Sans" matches the font whose family is "DejaVu Sans".
std::string FontNameKey(std::string_view name);

}  // namespace host
