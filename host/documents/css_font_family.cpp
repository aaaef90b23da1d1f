#include "documents/css_font_family.h"

#include <algorithm>
#include <cctype>

#include "host/text/unicode_text.h"

namespace host {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

unsigned long HexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned long>(c - '0');
    return static_cast<unsigned long>((c | 0x20) - 'a' + 10);
}


// A CSS escape at s[i] == '\\': a character, or up to six hex digits and one
// optional blank. Advances i past it.
void Unescape(std::string_view s, std::size_t& i, std::string& out) {
    ++i;
    if (i >= s.size()) return;
    if (IsHex(s[i])) {
        unsigned long cp = 0;
        std::size_t n = 0;
        while (i < s.size() && n < 6 && IsHex(s[i])) {
            cp = cp * 16 + HexValue(s[i]);
            ++i;
            ++n;
        }
        if (i < s.size() && IsBlank(s[i])) ++i;
        out += EncodeCodePoint(cp > 0x10FFFF ? 0xFFFD : static_cast<char32_t>(cp));
        return;
    }
    out.push_back(s[i++]);
}

// Skips a quoted string starting at s[i]; i ends after the closing quote.
void SkipString(std::string_view s, std::size_t& i) {
    const char quote = s[i++];
    while (i < s.size() && s[i] != quote) {
        if (s[i] == '\\') ++i;
        ++i;
    }
    if (i < s.size()) ++i;
}

std::string StripComments(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '"' || s[i] == '\'') {
            const std::size_t start = i;
            SkipString(s, i);
            out.append(s.substr(start, i - start));
        } else if (s.substr(i, 2) == "/*") {
            const std::size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
            out.push_back(' ');
        } else {
            out.push_back(s[i++]);
        }
    }
    return out;
}

// Splits at `sep` outside strings and brackets.
std::vector<std::string_view> SplitTopLevel(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    int depth = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            SkipString(s, i);
            continue;
        }
        if (c == '(' || c == '[') ++depth;
        if ((c == ')' || c == ']') && depth > 0) --depth;
        if (c == sep && depth == 0) {
            parts.push_back(s.substr(start, i - start));
            start = i + 1;
        }
        ++i;
    }
    parts.push_back(s.substr(start));
    return parts;
}

std::string_view WithoutImportant(std::string_view value) {
    value = Trim(value);
    const std::size_t bang = value.rfind('!');
    if (bang != std::string_view::npos && Lower(Trim(value.substr(bang + 1))) == "important") {
        value = Trim(value.substr(0, bang));
    }
    return value;
}

bool IsGenericOrKeyword(const std::string& lowerName) {
    static const char* const kNames[] = {
        "serif",     "sans-serif", "cursive",       "fantasy",      "monospace",
        "system-ui", "ui-serif",   "ui-sans-serif", "ui-monospace", "ui-rounded",
        "emoji",     "math",       "fangsong",      "inherit",      "initial",
        "unset",     "revert",     "revert-layer",  "default"};
    for (const char* name : kNames) {
        if (lowerName == name) return true;
    }
    return false;
}

bool IsSizeToken(std::string_view token) {
    static const char* const kKeywords[] = {"xx-small", "x-small", "small",    "medium",
                                            "large",    "x-large", "xx-large", "xxx-large",
                                            "larger",   "smaller"};
    const std::string lower = Lower(token.substr(0, token.find('/')));
    for (const char* k : kKeywords) {
        if (lower == k) return true;
    }
    if (lower.empty() || !(std::isdigit(static_cast<unsigned char>(lower[0])) || lower[0] == '.')) {
        return false;
    }
    // A plain number is a weight (700); a size has a unit or '%'.
    std::size_t i = 0;
    while (i < lower.size() &&
           (std::isdigit(static_cast<unsigned char>(lower[i])) || lower[i] == '.')) {
        ++i;
    }
    return i < lower.size() || lower == "0";
}

}  // namespace

std::string FirstSpecificFamily(std::string_view value) {
    value = WithoutImportant(value);
    for (std::string_view item : SplitTopLevel(value, ',')) {
        item = Trim(item);
        if (item.empty()) continue;
        std::string name;
        if (item.front() == '"' || item.front() == '\'') {
            const char quote = item.front();
            std::size_t i = 1;
            while (i < item.size() && item[i] != quote) {
                if (item[i] == '\\') {
                    Unescape(item, i, name);
                } else {
                    name.push_back(item[i++]);
                }
            }
            name = std::string(Trim(name));
            if (!name.empty()) return name;
            continue;
        }
        bool pendingBlank = false;
        std::size_t i = 0;
        while (i < item.size()) {
            if (IsBlank(item[i])) {
                pendingBlank = true;
                ++i;
                continue;
            }
            if (pendingBlank && !name.empty()) name.push_back(' ');
            pendingBlank = false;
            if (item[i] == '\\') {
                Unescape(item, i, name);
            } else {
                name.push_back(item[i++]);
            }
        }
        if (!name.empty() && !IsGenericOrKeyword(Lower(name))) return name;
    }
    return {};
}

std::string FamilyListOfFontShorthand(std::string_view value) {
    value = WithoutImportant(value);
    std::size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && IsBlank(value[i])) ++i;
        const std::size_t start = i;
        if (i < value.size() && (value[i] == '"' || value[i] == '\'')) return {};
        while (i < value.size() && !IsBlank(value[i]) && value[i] != ',') ++i;
        const std::string_view token = value.substr(start, i - start);
        if (token.empty()) break;
        if (!IsSizeToken(token)) continue;
        // Past the size: a line height given as "/ 1.2" or "/1.2" comes next.
        while (i < value.size() && IsBlank(value[i])) ++i;
        if (token.find('/') == std::string_view::npos && i < value.size() && value[i] == '/') {
            ++i;
            while (i < value.size() && IsBlank(value[i])) ++i;
            while (i < value.size() && !IsBlank(value[i])) ++i;
        }
        return std::string(Trim(value.substr(i)));
    }
    return {};
}

std::vector<std::string> FamiliesInDeclarations(std::string_view declarations) {
    std::vector<std::string> families;
    const std::string text = StripComments(declarations);
    for (std::string_view declaration : SplitTopLevel(text, ';')) {
        const std::size_t colon = declaration.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string property = Lower(Trim(declaration.substr(0, colon)));
        const std::string_view value = declaration.substr(colon + 1);
        std::string family;
        if (property == "font-family") {
            family = FirstSpecificFamily(value);
        } else if (property == "font") {
            family = FirstSpecificFamily(FamilyListOfFontShorthand(value));
        }
        if (!family.empty()) families.push_back(std::move(family));
    }
    return families;
}

namespace {

// The index of the '}' that closes the block opened just before `i`, or the
// end of the text for an unclosed block.
std::size_t BlockEnd(std::string_view s, std::size_t i) {
    int depth = 1;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            SkipString(s, i);
            continue;
        }
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) return i;
        ++i;
    }
    return s.size();
}

void RuleList(std::string_view s, std::vector<std::string>& families, int depth) {
    std::size_t i = 0;
    std::size_t preludeStart = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            SkipString(s, i);
            continue;
        }
        if (c == ';' || c == '}') {
            // An at-statement such as @import, or a stray brace.
            preludeStart = ++i;
            continue;
        }
        if (c != '{') {
            ++i;
            continue;
        }
        const std::string prelude = Lower(Trim(s.substr(preludeStart, i - preludeStart)));
        const std::size_t end = BlockEnd(s, i + 1);
        const std::string_view body = s.substr(i + 1, end - i - 1);
        if (!prelude.empty() && prelude.front() == '@') {
            // Nested rule lists; @font-face names what the document supplies.
            if (prelude.rfind("@font-face", 0) != 0 && depth < 32) {
                RuleList(body, families, depth + 1);
            }
        } else {
            for (std::string& f : FamiliesInDeclarations(body)) families.push_back(std::move(f));
        }
        i = end + 1;
        preludeStart = i;
    }
}

}  // namespace

std::vector<std::string> FamiliesInStyleSheet(std::string_view sheet) {
    std::vector<std::string> families;
    const std::string text = StripComments(sheet);
    RuleList(text, families, 0);
    return families;
}

}  // namespace host
