// Folding a name for comparison: compatibility composition (NFKC) and case
// folding, so that "ＩＰＡゴシック" and "IPAゴシック", or "LIBERATION" and
// "liberation", fold to the same text. ICU does it on Linux, Windows' own
// normalisation and case mapping on Windows.
//
// ASCII names never come here (name_key.cpp folds them itself, the same on
// both). The two agree on full-width and half-width forms, kana, kanji and the
// letters that lower-case one to one. They can differ for exotic input: ICU's case folding turns
// "ß" into "ss" and drops default-ignorable characters (soft hyphen, zero-width space), where
// Windows' lower-casing keeps both.
#pragma once

#include <string>
#include <string_view>

namespace glyvor {

// Bytes that are not UTF-8 fold as U+FFFD.
std::string FoldName(std::string_view utf8);

}  // namespace glyvor
