// Text is UTF-8 inside the font manager and UTF-16 at the automation boundary.
#pragma once

#include <string>
#include <string_view>

namespace glyvor {

// False for text that is not well-formed UTF-16 (a lone surrogate).
bool Utf16ToUtf8(std::u16string_view text, std::string* out);
// Every byte that is not part of well-formed UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

bool IsUtf8(std::string_view text);
// Text that is already UTF-8 is kept; anything else is read as Latin-1, the
// encoding older Type 1 fonts use for their names.
std::string NameToUtf8(std::string_view text);

}  // namespace glyvor
