// What the conversions share on every platform; UTF-8 itself is converted by
// utf8_iconv.cpp (POSIX) or utf8_windows.cpp (Windows).
#include "host/text/unicode_text.h"

namespace host {

std::string EncodeCodePoint(char32_t codePoint) {
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        codePoint = 0xFFFD;
    }
    std::u16string units;
    if (codePoint >= 0x10000) {
        const char32_t v = codePoint - 0x10000;
        units.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
        units.push_back(static_cast<char16_t>(codePoint));
    }
    return EncodeUtf8(units);
}

std::u16string DecodeUtf16Be(const unsigned char* bytes, std::size_t length) {
    std::u16string text(length / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
    }
    return text;
}

}  // namespace host
