#include "fontmanager/TextConversion.h"

#include <cstring>
#include <vector>

namespace {

// Beyond this many units a length no longer fits the conversion's int sizes.
constexpr std::size_t kLargestText = 0x3FFFFFFF;

}  // namespace

WCHAR* NarrowToWide(WCHAR* scratch, const char* text, int capacity) {
    if (text == nullptr || scratch == nullptr || capacity <= 0) return nullptr;
    const std::size_t units = std::strlen(text) + 1;
    if (units > kLargestText) return nullptr;
    scratch[0] = 0;
    const int asked = static_cast<int>(units) < capacity ? static_cast<int>(units) : capacity;
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, scratch, asked) == 0) return nullptr;
    return scratch;
}

char* WideToNarrow(char* scratch, const WCHAR* text, int capacity) {
    if (text == nullptr || scratch == nullptr || capacity <= 0) return nullptr;
    std::size_t units = 0;
    while (text[units] != 0) ++units;
    if (units + 1 > kLargestText) return nullptr;
    scratch[0] = '\0';
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, scratch, capacity, nullptr, nullptr) == 0) {
        return nullptr;
    }
    return scratch;
}

std::wstring NarrowToWideString(const char* text) {
    if (text == nullptr) return std::wstring();
    const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::vector<WCHAR> scratch(static_cast<std::size_t>(needed));
    if (NarrowToWide(scratch.data(), text, needed) == nullptr) return std::wstring();
    return FromUnits(scratch.data());
}

std::string WideToNarrowString(const std::wstring& text) {
    const std::basic_string<WCHAR> units = ToUnits(text);
    const int needed =
        WideCharToMultiByte(CP_THREAD_ACP, 0, units.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::vector<char> scratch(static_cast<std::size_t>(needed));
    if (WideToNarrow(scratch.data(), units.c_str(), needed) == nullptr) return std::string();
    return std::string(scratch.data());
}

std::basic_string<WCHAR> ToUnits(const std::wstring& text) {
    std::basic_string<WCHAR> units;
    units.reserve(text.size());
    for (wchar_t unit : text) units.push_back(static_cast<WCHAR>(unit));
    return units;
}

std::wstring FromUnits(const WCHAR* units, std::size_t length) {
    std::wstring text;
    text.reserve(length);
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<wchar_t>(units[i]));
    return text;
}

std::wstring FromUnits(const WCHAR* units) {
    std::size_t length = 0;
    while (units[length] != 0) ++length;
    return FromUnits(units, length);
}
