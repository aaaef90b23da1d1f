// How names are compared loosely: ASCII letters fold to lower case and
// spaces, hyphens and underscores vanish, so "Liberation Sans-Bold" and
// "liberationsans_bold" are the same key. Other bytes (UTF-8 included) are
// kept as they are.
#pragma once

#include <string>
#include <string_view>

namespace glyvor {

std::string NormaliseName(std::string_view name);

// Styles that a host leaves out of a name ("Nimbus Sans" for the regular face).
bool IsRegularStyle(std::string_view style);

}  // namespace glyvor
