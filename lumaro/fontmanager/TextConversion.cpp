#include "fontmanager/TextConversion.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Beyond this many units a length no longer fits the conversion's int sizes.
constexpr std::size_t kLargestText = 0x3FFFFFFF;

// Font names are short: their scratch buffers live on the stack, and only a
// longer text takes one from the heap.
constexpr std::size_t kStackUnits = 256;

template <typename Unit, std::size_t Local>
class Scratch {
public:
    explicit Scratch(std::size_t size) {
        if (size > Local) m_heap.resize(size);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    Unit* Get() { return m_heap.empty() ? m_local : m_heap.data(); }

private:
    Unit m_local[Local];
    std::vector<Unit> m_heap;
};

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
    std::wstring wide;
    AssignNarrowToWide(text, wide);
    return wide;
}

void AssignNarrowToWide(const char* text, std::wstring& wide) {
    wide.clear();
    if (text == nullptr) return;
    // No code page spells a UTF-16 unit in less than a byte (UTF-8 takes four for
    // a surrogate pair), so a unit a byte and the terminator always hold the text.
    const std::size_t units = std::strlen(text) + 1;
    if (units > kLargestText) return;
    Scratch<WCHAR, kStackUnits> scratch(units);
    const WCHAR* converted = NarrowToWide(scratch.Get(), text, static_cast<int>(units));
    if (converted == nullptr) return;
    std::size_t length = 0;
    while (converted[length] != 0) ++length;
    AssignUnits(converted, length, wide);
}

std::string WideToNarrowString(std::wstring_view text) {
    std::string narrow;
    AssignWideToNarrow(text, narrow);
    return narrow;
}

void AssignWideToNarrow(std::wstring_view text, std::string& narrow) {
    narrow.clear();
    // The text ends at its first zero unit, as a C text would.
    text = text.substr(0, text.find(L'\0'));
    if (text.empty() || text.size() + 1 > kLargestText / 3) return;
    Scratch<WCHAR, kStackUnits> wide(text.size());
    std::copy(text.begin(), text.end(), wide.Get());
    const int units = static_cast<int>(text.size());
    // Written straight into `narrow`: three bytes a unit hold the text in every code
    // page the thread can have (UTF-8 at worst); should one need more, the
    // conversion says how much.
    narrow.resize(3 * text.size());
    int written = WideCharToMultiByte(CP_THREAD_ACP, 0, wide.Get(), units, narrow.data(),
                                      static_cast<int>(narrow.size()), nullptr, nullptr);
    if (written == 0) {
        const int needed =
            WideCharToMultiByte(CP_THREAD_ACP, 0, wide.Get(), units, nullptr, 0, nullptr, nullptr);
        if (needed > static_cast<int>(narrow.size())) {
            narrow.resize(static_cast<std::size_t>(needed));
            written = WideCharToMultiByte(CP_THREAD_ACP, 0, wide.Get(), units, narrow.data(),
                                          needed, nullptr, nullptr);
        }
    }
    narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
}

// Both directions copy unit for unit in one pass into storage taken once.
std::basic_string<WCHAR> ToUnits(const std::wstring& text) {
    return std::basic_string<WCHAR>(text.begin(), text.end());
}

std::wstring FromUnits(const WCHAR* units, std::size_t length) {
    return std::wstring(units, units + length);
}

void AssignUnits(const WCHAR* units, std::size_t length, std::wstring& text) {
    // Not assign(first, last): from another character type it builds a temporary.
    text.resize(length);
    std::copy(units, units + length, text.begin());
}

std::wstring FromUnits(const WCHAR* units) {
    std::size_t length = 0;
    while (units[length] != 0) ++length;
    return FromUnits(units, length);
}
