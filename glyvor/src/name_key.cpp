#include "glyvor/name_key.h"

#include <algorithm>

#include "name_folding.h"

namespace glyvor {

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '-' || c == '_'; }

}  // namespace

std::string NormaliseName(std::string_view name) {
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // Most names are ASCII: folding them needs no library and no allocation but the key.
    std::string folded = ascii ? std::string() : FoldName(name);
    const std::string_view text = ascii ? name : std::string_view(folded);
    std::string key;
    key.reserve(text.size());
    for (char c : text) {
        if (IsSeparator(c)) continue;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        key += c;
    }
    return key;
}

bool IsRegularStyle(std::string_view style) {
    std::string key = NormaliseName(style);
    return key.empty() || key == "regular" || key == "roman" || key == "normal" || key == "book" ||
           key == "plain";
}

}  // namespace glyvor
