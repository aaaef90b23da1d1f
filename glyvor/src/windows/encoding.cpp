// The Windows edition of the text conversions: the system's own UTF-8 code page.
#include "glyvor/encoding.h"

#include <windows.h>

#include "wide_text.h"

namespace glyvor {

namespace {

constexpr UINT kLatin1 = 28591;

// Converts with MultiByteToWideChar; false when `flags` make it refuse the text.
bool ToWide(UINT codePage, DWORD flags, std::string_view text, std::wstring* out) {
    out->clear();
    if (text.empty()) return true;
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (units <= 0) return false;
    out->resize(static_cast<std::size_t>(units));
    return MultiByteToWideChar(codePage, flags, text.data(), length, &(*out)[0], units) == units;
}

bool ToUtf8(DWORD flags, std::wstring_view text, std::string* out) {
    out->clear();
    if (text.empty()) return true;
    const int length = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    out->resize(static_cast<std::size_t>(bytes));
    return WideCharToMultiByte(CP_UTF8, flags, text.data(), length, &(*out)[0], bytes, nullptr,
                               nullptr) == bytes;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& utf8) {
    std::wstring wide;
    ToWide(CP_UTF8, 0, utf8, &wide);
    return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
    std::string utf8;
    ToUtf8(0, wide, &utf8);
    return utf8;
}

std::string Utf8FromWide(const wchar_t* wide) {
    return wide == nullptr ? std::string() : Utf8FromWide(std::wstring(wide));
}

bool Utf16ToUtf8(std::u16string_view text, std::string* out) {
    const std::wstring wide(text.begin(), text.end());
    return ToUtf8(WC_ERR_INVALID_CHARS, wide, out);
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::wstring wide;
    ToWide(CP_UTF8, 0, text, &wide);
    return std::u16string(wide.begin(), wide.end());
}

bool IsUtf8(std::string_view text) {
    std::wstring ignored;
    return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, text, &ignored);
}

std::string NameToUtf8(std::string_view text) {
    if (IsUtf8(text)) return std::string(text);
    std::wstring wide;
    std::string utf8;
    if (!ToWide(kLatin1, 0, text, &wide) || !ToUtf8(0, wide, &utf8)) return {};
    return utf8;
}

}  // namespace glyvor
