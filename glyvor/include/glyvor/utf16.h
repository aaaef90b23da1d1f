// UTF-8 inside the font manager, UTF-16 at the automation boundary.
#pragma once

#include <string>
#include <string_view>

namespace glyvor {

// False for text that is not well-formed UTF-16 (a lone surrogate).
bool Utf16ToUtf8(std::u16string_view text, std::string* out);
// Every byte that is not part of well-formed UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace glyvor
