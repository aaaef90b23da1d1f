// How names are compared loosely: Unicode compatibility forms compose and
// case folds (NFKC with case folding), then spaces, hyphens and underscores
// vanish. So "Liberation Sans-Bold" and "liberationsans_bold" are the same
// key, and so are "ＩＰＡゴシック" and "ipaゴシック". See name_folding.h for
// where the Linux and Windows editions can differ.
#pragma once

#include <string>
#include <string_view>

namespace glyvor {

// Bytes of `name` that are not UTF-8 fold as U+FFFD.
std::string NormaliseName(std::string_view name);

// Styles that a host leaves out of a name ("Nimbus Sans" for the regular face).
bool IsRegularStyle(std::string_view style);

}  // namespace glyvor
