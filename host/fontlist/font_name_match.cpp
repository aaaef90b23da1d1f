#include "fontlist/font_name_match.h"

namespace host {

std::string FontNameKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (char c : name) {
        if (c == ' ' || c == '-' || c == '_' || c == ',' || c == '\t') continue;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        key.push_back(c);
    }
    return key;
}

}  // namespace host
