#include "glyvor/name_key.h"

namespace glyvor {

std::string NormaliseName(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (char c : name) {
        if (c == ' ' || c == '-' || c == '_') continue;
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
