#include "glyvor/catalog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_paths.h"
#include "glyvor/encoding.h"
#include "glyvor/native_path.h"

namespace glyvor {

namespace {

const char kMagic[] = "glyvor-catalog";
const char kVersion[] = "2";

std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool Unescape(const std::string& field, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            *out += field[i];
            continue;
        }
        if (++i == field.size()) return false;
        switch (field[i]) {
            case '\\':
                *out += '\\';
                break;
            case 't':
                *out += '\t';
                break;
            case 'n':
                *out += '\n';
                break;
            case 'r':
                *out += '\r';
                break;
            default:
                return false;
        }
    }
    return true;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

// A path below its group's folder: names joined by '/', none of them empty, "."
// or "..", which would lead elsewhere (a font installed from outside its group).
bool StaysBelow(const std::string& path) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        const std::string name =
            path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (name.empty() || name == "." || name == "..") return false;
        if (slash == std::string::npos) return true;
        start = slash + 1;
    }
}

bool ParseIndex(const std::string& text, unsigned long long limit, unsigned long long* value) {
    if (text.empty() || text.size() > 18) return false;
    unsigned long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v >= limit) return false;
    *value = v;
    return true;
}

}  // namespace

long Catalog::AddGroup(const std::string& name, const std::string& folder) {
    // ':' would make identifiers ambiguous ("a:b" + "c" against "a" + "b:c").
    if (name.empty() || name.find(':') != std::string::npos) return -1;
    for (const FontGroup& g : m_groups) {
        if (g.name == name) return -1;
    }
    m_groups.push_back({name, folder});
    return static_cast<long>(m_groups.size() - 1);
}

bool Catalog::AddEntry(FontEntry entry) {
    if (entry.group >= m_groups.size() || entry.relativePath.empty() || entry.faceIndex < 0) {
        return false;
    }
    std::string id = IdentifierOf(entry);
    if (!m_byId.emplace(std::move(id), m_entries.size()).second) return false;
    m_entries.push_back(std::move(entry));
    return true;
}

std::string Catalog::IdentifierOf(const FontEntry& entry) const {
    return m_groups[entry.group].name + ":" + entry.relativePath + "#" +
           std::to_string(entry.faceIndex);
}

std::string Catalog::DetailOf(const FontEntry& entry) const {
    const std::string& path = entry.relativePath;
    std::size_t slash = path.rfind('/');
    return m_groups[entry.group].name + ": " +
           (slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string Catalog::PathOf(const FontEntry& entry) const {
    return JoinPath(m_groups[entry.group].folder, entry.relativePath);
}

const FontEntry* Catalog::FindById(const std::string& identifier) const {
    auto it = m_byId.find(identifier);
    return it == m_byId.end() ? nullptr : &m_entries[it->second];
}

std::string Catalog::Serialise() const {
    std::ostringstream out;
    out << kMagic << '\t' << kVersion << '\n';
    for (const FontGroup& g : m_groups) {
        out << "group\t" << Escape(g.name) << '\t' << Escape(g.folder) << '\n';
    }
    for (const FontEntry& e : m_entries) {
        out << "font\t" << e.group << '\t' << Escape(e.relativePath) << '\t' << e.faceIndex << '\t'
            << FormatTag(e.format) << '\t' << Escape(e.postScriptName) << '\t' << Escape(e.family)
            << '\t' << Escape(e.style) << '\t' << Escape(e.fullName) << '\t'
            << Escape(e.typographicFamily) << '\t' << Escape(e.typographicStyle) << '\t'
            << e.revision << '\n';
        for (const FontName& n : e.otherNames) {
            out << "name\t" << NameKindTag(n.kind) << '\t' << Escape(n.text) << '\n';
        }
    }
    return out.str();
}

bool Catalog::Parse(const std::string& text, std::string* error) {
    Catalog parsed;
    std::istringstream in(text);
    std::string line;
    std::size_t lineNo = 0;
    bool sawHeader = false;
    bool inFont = false;  // the last record was a font or one of its names
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = SplitTabs(line);
        if (!sawHeader) {
            if (f.size() != 2 || f[0] != kMagic) return fail("not a Glyvor catalogue");
            if (f[1] != kVersion) return fail("unsupported catalogue version " + f[1]);
            sawHeader = true;
            continue;
        }
        const bool afterFont = inFont;
        inFont = f[0] == "font" || f[0] == "name";
        if (f[0] == "group") {
            std::string name, folder;
            if (f.size() != 3 || !Unescape(f[1], &name) || !Unescape(f[2], &folder)) {
                return fail("malformed group record");
            }
            if (!IsUtf8(name) || !IsUtf8(folder)) return fail("not valid UTF-8");
            folder = NativePath(folder);
            if (!PathFromUtf8(folder).is_absolute()) return fail("group folder is not absolute");
            if (parsed.AddGroup(name, folder) < 0) return fail("bad or repeated group name");
        } else if (f[0] == "font") {
            if (f.size() != 12)
                return fail("a font record has 12 fields, not " + std::to_string(f.size()));
            FontEntry e;
            unsigned long long group = 0, face = 0, revision = 0;
            if (!ParseIndex(f[1], parsed.m_groups.size(), &group)) return fail("unknown group");
            if (!ParseIndex(f[3], 1u << 16, &face)) return fail("bad face index");
            if (!FormatFromTag(f[4], &e.format)) return fail("unknown format " + f[4]);
            if (!ParseIndex(f[11], 1ull << 32, &revision)) return fail("bad revision");
            e.group = static_cast<std::size_t>(group);
            e.faceIndex = static_cast<int>(face);
            e.revision = static_cast<FontRevision>(revision);
            if (!Unescape(f[2], &e.relativePath) || !Unescape(f[5], &e.postScriptName) ||
                !Unescape(f[6], &e.family) || !Unescape(f[7], &e.style) ||
                !Unescape(f[8], &e.fullName) || !Unescape(f[9], &e.typographicFamily) ||
                !Unescape(f[10], &e.typographicStyle)) {
                return fail("bad escape sequence");
            }
            for (const std::string* text :
                 {&e.relativePath, &e.postScriptName, &e.family, &e.style, &e.fullName,
                  &e.typographicFamily, &e.typographicStyle}) {
                if (!IsUtf8(*text)) return fail("not valid UTF-8");
            }
            if (!StaysBelow(e.relativePath)) {
                return fail("font path must be relative to its group, below its folder");
            }
            if (!parsed.AddEntry(std::move(e))) return fail("repeated font");
        } else if (f[0] == "name") {
            if (!afterFont) return fail("a name record must follow its font record");
            if (f.size() != 3) return fail("malformed name record");
            FontName name;
            if (!NameKindFromTag(f[1], &name.kind)) return fail("unknown name kind " + f[1]);
            if (!Unescape(f[2], &name.text)) return fail("bad escape sequence");
            if (!IsUtf8(name.text)) return fail("not valid UTF-8");
            switch (AddOtherName(&parsed.m_entries.back(), std::move(name))) {
                case AddNameResult::Added:
                    break;
                case AddNameResult::Known:
                    return fail("repeated name");
                case AddNameResult::Empty:
                    return fail("empty name");
                case AddNameResult::TooMany:
                    return fail("more than " + std::to_string(kMaxNamesOfAKind) +
                                " names of one kind");
            }
        } else {
            return fail("unknown record '" + f[0] + "'");
        }
    }
    if (!sawHeader) {
        lineNo = 0;
        return fail("empty file, not a Glyvor catalogue");
    }
    *this = std::move(parsed);
    return true;
}

bool Catalog::Load(const std::string& path, std::string* error) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) {
        *error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        *error = path + ": read error";
        return false;
    }
    std::string why;
    if (!Parse(buffer.str(), &why)) {
        *error = path + ": " + why;
        return false;
    }
    return true;
}

bool Catalog::Save(const std::string& path, std::string* error) const {
    namespace fs = std::filesystem;
    const fs::path target = PathFromUtf8(path);
    const fs::path parent = target.parent_path();
    std::error_code ec;
    if (!parent.empty()) fs::create_directories(parent, ec);
    if (ec) {
        *error = Utf8FromPath(parent) + ": cannot create the folder: " + ec.message();
        return false;
    }
    const std::string temp = path + ".tmp." + TemporarySuffix();
    {
        std::ofstream out(PathFromUtf8(temp), std::ios::binary | std::ios::trunc);
        if (!out) {
            *error = temp + ": cannot create: " + std::strerror(errno);
            return false;
        }
        out << Serialise();
        out.flush();
        if (!out) {
            *error = temp + ": write error";
            out.close();
            fs::remove(PathFromUtf8(temp), ec);
            return false;
        }
    }
    // Replaces an existing catalogue in one step on both platforms.
    fs::rename(PathFromUtf8(temp), target, ec);
    if (ec) {
        *error = path + ": cannot replace: " + ec.message();
        std::error_code ignored;
        fs::remove(PathFromUtf8(temp), ignored);
        return false;
    }
    return true;
}

}  // namespace glyvor
