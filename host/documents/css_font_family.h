// Just enough CSS to find the font families a style sheet or a style
// attribute asks for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

// The first family of a font-family value that is not a generic family or a
// CSS-wide keyword; empty when there is none. Quoted names keep their inner
// blanks; unquoted names are their words joined by single blanks.
std::string FirstSpecificFamily(std::string_view value);

// The family list of a `font` shorthand value ("italic bold 12px/1.2 Foo,
// serif" gives "Foo, serif"): what follows the font size. Empty when the
// value has no size, or is a system font keyword such as "caption".
std::string FamilyListOfFontShorthand(std::string_view value);

// The families asked for by the declarations of a style attribute
// ("fill:red; font-family: Foo").
std::vector<std::string> FamiliesInDeclarations(std::string_view declarations);

// The families asked for by the rules of a style sheet. Rules inside
// @font-face are skipped; rules inside other blocks (@media, @supports)
// count.
std::vector<std::string> FamiliesInStyleSheet(std::string_view sheet);

}  // namespace host
