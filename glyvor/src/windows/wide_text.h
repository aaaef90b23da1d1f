// UTF-8, as glyvor keeps text, and the UTF-16 of the Windows API.
#pragma once

#include <string>

namespace glyvor {

// Invalid UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8);
// A lone surrogate becomes U+FFFD.
std::string Utf8FromWide(const std::wstring& wide);
std::string Utf8FromWide(const wchar_t* wide);

}  // namespace glyvor
