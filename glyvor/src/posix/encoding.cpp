#include "glyvor/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace glyvor {

namespace {

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
const char kNativeUtf16[] = "UTF-16LE";
#else
const char kNativeUtf16[] = "UTF-16BE";
#endif

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

}  // namespace

bool Utf16ToUtf8(std::u16string_view text, std::string* out) {
    out->clear();
    if (text.empty()) return true;
    Converter cd("UTF-8", kNativeUtf16);
    if (!cd.ok()) return false;
    std::string buffer(text.size() * 3, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    std::size_t inLeft = text.size() * sizeof(char16_t);
    char* dst = &buffer[0];
    std::size_t outLeft = buffer.size();
    if (iconv(cd.get(), &in, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1)) {
        return false;
    }
    buffer.resize(buffer.size() - outLeft);
    *out = std::move(buffer);
    return true;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    if (text.empty()) return out;
    Converter cd(kNativeUtf16, "UTF-8");
    if (!cd.ok()) return out;
    out.resize(text.size() + 1);  // never more units than bytes
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* dst = reinterpret_cast<char*>(&out[0]);
    std::size_t outLeft = out.size() * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(cd.get(), &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        // One replacement per bad byte; the rest goes on converting.
        const char16_t replacement = 0xFFFD;
        std::memcpy(dst, &replacement, sizeof replacement);
        dst += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
    }
    out.resize(out.size() - outLeft / sizeof(char16_t));
    return out;
}

bool IsUtf8(std::string_view text) {
    if (text.empty()) return true;
    Converter cd(kNativeUtf16, "UTF-8");
    if (!cd.ok()) return false;
    std::u16string scratch(text.size() + 1, u'\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* dst = reinterpret_cast<char*>(&scratch[0]);
    std::size_t outLeft = scratch.size() * sizeof(char16_t);
    return iconv(cd.get(), &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1);
}

std::string NameToUtf8(std::string_view text) {
    if (IsUtf8(text)) return std::string(text);
    Converter cd("UTF-8", "ISO-8859-1");
    if (!cd.ok()) return {};
    std::string out(text.size() * 2, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* dst = &out[0];
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1)) return {};
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace glyvor
