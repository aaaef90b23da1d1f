#pragma once

#include <string>
#include <vector>

#include "documents/font_name_list.h"

namespace host {

// Font families an SVG document asks for: font-family attributes, font-family
// and font declarations in style attributes and in <style> elements (rules
// inside @font-face are skipped: they name a family the document supplies).
// Of each family list the first family that is not generic counts, as that
// is the font the document asks for; the rest are fallbacks.
bool ReadSvgFonts(const std::string& content, FontNameList& fonts, std::string& error);

}  // namespace host
