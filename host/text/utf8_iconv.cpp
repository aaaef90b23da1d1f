// UTF-8 to and from UTF-16 with iconv.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "host/text/unicode_text.h"

namespace host {

namespace {

// Converts with iconv; an invalid or truncated input unit becomes `replacement`
// and conversion goes on after `skip` bytes.
std::string Convert(const char* from, const char* to, const char* input, std::size_t length,
                    const std::string& replacement, std::size_t skip) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out;
    std::vector<char> buffer(4 * length + 16);
    char* in = const_cast<char*>(input);
    std::size_t inLeft = length;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: an invalid or incomplete sequence.
        out += replacement;
        const std::size_t step = std::min(skip, inLeft);
        in += step;
        inLeft -= step;
    }
    iconv_close(cd);
    return out;
}

std::u16string FromUtf16Le(const std::string& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

}  // namespace

std::u16string DecodeUtf8(const char* text, std::size_t length) {
    if (text == nullptr || length == 0) return {};
    return FromUtf16Le(Convert("UTF-8", "UTF-16LE", text, length, std::string("\xFD\xFF", 2), 1));
}

std::string EncodeUtf8(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return Convert("UTF-16LE", "UTF-8", bytes.data(), bytes.size(), "\xEF\xBF\xBD", 2);
}

}  // namespace host
