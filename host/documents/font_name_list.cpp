#include "documents/font_name_list.h"

#include <cstdint>

namespace host {

std::string StripSubsetPrefix(std::string_view name) {
    if (name.size() > 7 && name[6] == '+') {
        bool tag = true;
        for (std::size_t i = 0; i < 6; ++i) {
            if (name[i] < 'A' || name[i] > 'Z') tag = false;
        }
        if (tag) name.remove_prefix(7);
    }
    return std::string(name);
}

namespace {

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<std::uint8_t>(s[i]);
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<std::uint8_t>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
        static const std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

}  // namespace

std::string ToUtf8Name(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

void FontNameList::Add(std::string name, DocumentFontTraits traits) {
    if (name.empty()) return;
    if (m_seen.insert(name).second) {
        m_names.push_back(std::move(name));
        m_traits.push_back(traits);
    }
}

void FontNameList::MoveTo(DocumentFonts& result) {
    result.fonts = std::move(m_names);
    result.traits = std::move(m_traits);
    m_names.clear();
    m_traits.clear();
    m_seen.clear();
}

}  // namespace host
