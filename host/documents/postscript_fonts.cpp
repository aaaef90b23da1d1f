#include "documents/postscript_fonts.h"

#include <cstdint>

#include "documents/font_name_list.h"

namespace host {

namespace {

constexpr std::size_t kDosEpsHeaderSize = 30;

std::uint32_t ReadLe32(std::string_view s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + i])) << (8 * i);
    }
    return v;
}

// The PostScript section of a DOS EPS binary: offset and length at bytes 4
// and 8 of the header, little-endian.
bool PostScriptSection(std::string_view content, std::string_view& ps, std::string& error) {
    if (content.size() < kDosEpsHeaderSize) {
        error = "the DOS EPS header is truncated";
        return false;
    }
    const std::uint64_t offset = ReadLe32(content, 4);
    const std::uint64_t length = ReadLe32(content, 8);
    if (offset < kDosEpsHeaderSize || length == 0 || offset + length > content.size()) {
        error = "the DOS EPS header points outside the file (damaged or truncated)";
        return false;
    }
    ps = content.substr(offset, length);
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// DSC arguments: words separated by blanks, or PostScript strings in
// parentheses for names with blanks in them.
std::vector<std::string> Tokens(std::string_view s) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsSpace(s[i])) ++i;
        if (i >= s.size()) break;
        std::string token;
        if (s[i] == '(') {
            int depth = 1;
            ++i;
            while (i < s.size() && depth > 0) {
                char c = s[i++];
                if (c == '\\' && i < s.size()) {
                    token.push_back(s[i++]);
                    continue;
                }
                if (c == '(') ++depth;
                if (c == ')' && --depth == 0) break;
                token.push_back(c);
            }
        } else {
            while (i < s.size() && !IsSpace(s[i])) token.push_back(s[i++]);
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

enum class Comment { None, FontList, ResourceList };

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Which font comment a line opens, and its arguments.
Comment Classify(std::string_view line, std::string_view& args) {
    static const std::string_view kFontLists[] = {
        "%%DocumentFonts:", "%%DocumentNeededFonts:", "%%DocumentSuppliedFonts:"};
    static const std::string_view kResourceLists[] = {"%%DocumentNeededResources:",
                                                      "%%DocumentSuppliedResources:"};
    for (std::string_view key : kFontLists) {
        if (StartsWith(line, key)) {
            args = line.substr(key.size());
            return Comment::FontList;
        }
    }
    for (std::string_view key : kResourceLists) {
        if (StartsWith(line, key)) {
            args = line.substr(key.size());
            return Comment::ResourceList;
        }
    }
    return Comment::None;
}

bool IsResourceType(const std::string& token) {
    return token == "font" || token == "file" || token == "procset" || token == "pattern" ||
           token == "form" || token == "encoding";
}

class DscFontReader {
public:
    explicit DscFontReader(FontNameList& names) : m_names(names) {}

    // Reads the font comments of one section (header or trailer). Returns
    // whether any of them deferred its value with "(atend)".
    bool Section(const std::vector<std::string_view>& lines, std::size_t begin, std::size_t end) {
        bool atend = false;
        Comment current = Comment::None;
        std::string resourceType;
        for (std::size_t i = begin; i < end; ++i) {
            std::string_view line = lines[i];
            std::string_view args;
            if (StartsWith(line, "%%+")) {
                args = line.substr(3);
            } else {
                current = Classify(line, args);
                resourceType.clear();
            }
            if (current == Comment::None) continue;
            for (std::string& token : Tokens(args)) {
                if (token == "(atend)" || token == "atend") {
                    atend = true;
                } else if (current == Comment::FontList) {
                    m_names.Add(ToUtf8Name(token));
                } else if (IsResourceType(token)) {
                    resourceType = token;
                } else if (resourceType == "font") {
                    m_names.Add(ToUtf8Name(token));
                }
            }
        }
        return atend;
    }

    // Fonts the body embeds or asks for where it uses them, as writers that
    // leave the header lists out (cairo among them) still mark them.
    void Body(const std::vector<std::string_view>& lines) {
        static const std::string_view kResources[] = {"%%BeginResource:", "%%IncludeResource:"};
        static const std::string_view kFonts[] = {"%%BeginFont:", "%%IncludeFont:"};
        for (std::string_view line : lines) {
            if (line.size() < 2 || line[0] != '%' || line[1] != '%') continue;
            for (std::string_view key : kResources) {
                if (!StartsWith(line, key)) continue;
                const std::vector<std::string> tokens = Tokens(line.substr(key.size()));
                if (tokens.size() >= 2 && tokens[0] == "font") m_names.Add(ToUtf8Name(tokens[1]));
            }
            for (std::string_view key : kFonts) {
                if (!StartsWith(line, key)) continue;
                const std::vector<std::string> tokens = Tokens(line.substr(key.size()));
                if (!tokens.empty()) m_names.Add(ToUtf8Name(tokens[0]));
            }
        }
    }

private:
    FontNameList& m_names;
};

// The header ends at %%EndComments or at the first line that is not a
// comment of its own ("%%" or "%!"), as the conventions allow.
std::size_t HeaderEnd(const std::vector<std::string_view>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (StartsWith(lines[i], "%%EndComments")) return i;
        if (i > 0 && !StartsWith(lines[i], "%%") && !StartsWith(lines[i], "%!")) return i;
    }
    return lines.size();
}

constexpr std::size_t kNoTrailer = static_cast<std::size_t>(-1);

// The outermost trailer is the last one: embedded documents close theirs
// before the document that holds them ends.
std::size_t TrailerStart(const std::vector<std::string_view>& lines) {
    for (std::size_t i = lines.size(); i-- > 0;) {
        if (StartsWith(lines[i], "%%Trailer")) return i + 1;
    }
    return kNoTrailer;
}

}  // namespace

bool ReadPostScriptFonts(std::string_view content, FontNameList& fonts, std::string& error) {
    std::string_view ps = content;
    if (StartsWith(content, std::string_view("\xC5\xD0\xD3\xC6", 4))) {
        if (!PostScriptSection(content, ps, error)) return false;
    }
    if (!ps.empty() && ps.front() == '\x04') ps.remove_prefix(1);
    if (!StartsWith(ps, "%!")) {
        error = "the PostScript section does not start with \"%!\"";
        return false;
    }

    const std::vector<std::string_view> lines = SplitLines(ps);
    FontNameList names;
    DscFontReader reader(names);
    const bool atend = reader.Section(lines, 0, HeaderEnd(lines));
    if (atend) {
        const std::size_t trailer = TrailerStart(lines);
        if (trailer == kNoTrailer) {
            error =
                "the fonts are deferred to the trailer \"(atend)\", but the file has no "
                "%%Trailer (truncated?)";
            return false;
        }
        reader.Section(lines, trailer, lines.size());
    }
    reader.Body(lines);
    fonts = std::move(names);
    return true;
}

}  // namespace host
