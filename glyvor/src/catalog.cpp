#include "glyvor/catalog.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "glyvor/encoding.h"

namespace glyvor {

namespace {

const char kMagic[] = "glyvor-catalog";
const char kVersion[] = "1";

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

const char* FormatTag(FontFormat format) {
    switch (format) {
        case FontFormat::OpenTypeCff:
            return "otf";
        case FontFormat::TrueType:
            return "ttf";
        case FontFormat::Type1:
            return "t1";
    }
    return "?";
}

bool FormatFromTag(const std::string& tag, FontFormat* format) {
    for (FontFormat f : {FontFormat::OpenTypeCff, FontFormat::TrueType, FontFormat::Type1}) {
        if (tag == FormatTag(f)) {
            *format = f;
            return true;
        }
    }
    return false;
}

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
    const std::string& folder = m_groups[entry.group].folder;
    if (!folder.empty() && folder.back() == '/') return folder + entry.relativePath;
    return folder + "/" + entry.relativePath;
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
            << Escape(e.typographicFamily) << '\t' << Escape(e.typographicStyle) << '\n';
    }
    return out.str();
}

bool Catalog::Parse(const std::string& text, std::string* error) {
    Catalog parsed;
    std::istringstream in(text);
    std::string line;
    std::size_t lineNo = 0;
    bool sawHeader = false;
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
        if (f[0] == "group") {
            std::string name, folder;
            if (f.size() != 3 || !Unescape(f[1], &name) || !Unescape(f[2], &folder)) {
                return fail("malformed group record");
            }
            if (!IsUtf8(name) || !IsUtf8(folder)) return fail("not valid UTF-8");
            if (folder.empty() || folder[0] != '/') return fail("group folder is not absolute");
            if (parsed.AddGroup(name, folder) < 0) return fail("bad or repeated group name");
        } else if (f[0] == "font") {
            if (f.size() != 11)
                return fail("a font record has 11 fields, not " + std::to_string(f.size()));
            FontEntry e;
            unsigned long long group = 0, face = 0;
            if (!ParseIndex(f[1], parsed.m_groups.size(), &group)) return fail("unknown group");
            if (!ParseIndex(f[3], 1u << 16, &face)) return fail("bad face index");
            if (!FormatFromTag(f[4], &e.format)) return fail("unknown format " + f[4]);
            e.group = static_cast<std::size_t>(group);
            e.faceIndex = static_cast<int>(face);
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
    std::ifstream in(path, std::ios::binary);
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
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) {
        *error = parent.string() + ": cannot create the folder: " + ec.message();
        return false;
    }
    std::string temp = path + ".tmp." + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            *error = temp + ": cannot create: " + std::strerror(errno);
            return false;
        }
        out << Serialise();
        out.flush();
        if (!out) {
            *error = temp + ": write error";
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        *error = path + ": cannot replace: " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace glyvor
