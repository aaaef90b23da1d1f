// UTF-8 to and from UTF-16 with Windows' own conversions. With no flags both
// directions replace what they cannot convert (an invalid byte sequence, an
// unpaired surrogate) with U+FFFD rather than fail.
#include <windows.h>

#include <climits>

#include "host/text/unicode_text.h"

namespace host {

std::u16string DecodeUtf8(const char* text, std::size_t length) {
    if (text == nullptr || length == 0 || length > INT_MAX) return {};
    const int size = static_cast<int>(length);
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, size, nullptr, 0);
    if (units <= 0) return {};
    std::u16string out(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, size, reinterpret_cast<LPWSTR>(out.data()), units);
    return out;
}

std::string EncodeUtf8(const std::u16string& text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const auto* units = reinterpret_cast<LPCWCH>(text.data());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, units, size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, units, size, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace host
