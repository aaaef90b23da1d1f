#include "host/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef HOST_WITH_EMU_CODEPAGE
#include "platform/emu/codepage.h"
#endif

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
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return text;
}

#ifndef HOST_WITH_EMU_CODEPAGE
// Code page 1252, 0x80 to 0x9F; the five bytes it leaves undefined keep their value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
#endif

}  // namespace

std::u16string DecodeThreadAnsi(const char* text, std::size_t length) {
    if (text == nullptr || length == 0) return {};
#ifdef HOST_WITH_EMU_CODEPAGE
    const int units =
        MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(units > 0 ? units : 0), u'\0');
    if (units > 0)
        MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), out.data(), units);
    return out;
#else
    // Until the platform layer converts: the emulation's default thread code page, 1252.
    std::u16string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        out.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80]
                                                  : static_cast<char16_t>(byte));
    }
    return out;
#endif
}

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
