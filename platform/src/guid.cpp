#include <cctype>
#include <cstdio>

#include "internal.h"
#include "platform/emu/codepage.h"

// The documented values of the base interfaces.
const IID IID_NULL = {0x00000000, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IRunnableObject = {0x00000126, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

namespace emu {

std::string GuidToString(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

bool ParseGuid(const std::string& text, GUID* guid) {
    // Checked character by character: sscanf would accept signs, blanks and short fields.
    static const char kPattern[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != sizeof kPattern - 1) return false;
    uint8_t digits[32];
    size_t d = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (kPattern[i] != 'X') {
            if (c != kPattern[i]) return false;
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        digits[d++] =
            static_cast<uint8_t>(std::isdigit(static_cast<unsigned char>(c))
                                     ? c - '0'
                                     : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
    }
    auto field = [&](size_t from, size_t count) {
        uint32_t v = 0;
        for (size_t i = 0; i < count; ++i) v = v << 4 | digits[from + i];
        return v;
    };
    GUID g;
    g.Data1 = field(0, 8);
    g.Data2 = static_cast<uint16_t>(field(8, 4));
    g.Data3 = static_cast<uint16_t>(field(12, 4));
    for (size_t i = 0; i < 8; ++i) g.Data4[i] = static_cast<uint8_t>(field(16 + 2 * i, 2));
    *guid = g;
    return true;
}

std::string ToUtf8(const OLECHAR* text) {
    if (text == nullptr || text[0] == 0) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.pop_back();  // the terminator
    return out;
}

}  // namespace emu

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid) {
    if (text == nullptr || clsid == nullptr) return E_INVALIDARG;
    if (!emu::ParseGuid(emu::ToUtf8(text), clsid)) {
        *clsid = IID_NULL;
        return CO_E_CLASSSTRING;
    }
    return S_OK;
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int bufferUnits) {
    const std::string text = emu::GuidToString(guid);
    const int needed = static_cast<int>(text.size()) + 1;
    if (buffer == nullptr || bufferUnits < needed) return 0;
    for (size_t i = 0; i < text.size(); ++i) buffer[i] = static_cast<OLECHAR>(text[i]);
    buffer[text.size()] = 0;
    return needed;
}
