#include "glyvor/font_service.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "file_paths.h"
#include "font_file_reader.h"
#include "glyvor/machine.h"

namespace glyvor {

namespace {

std::string NameOf(const FontEntry& entry) {
    if (!entry.fullName.empty()) return entry.fullName;
    if (!entry.postScriptName.empty()) return entry.postScriptName;
    return entry.family + " " + entry.style;
}

// Empty when the file still holds the catalogued face; otherwise the reason.
std::string Unusable(const std::string& path, const FontEntry& entry) {
    std::ifstream probe(PathFromUtf8(path), std::ios::binary);
    if (!probe) return "the file " + path + " cannot be opened: " + std::strerror(errno);
    probe.close();
    FaceDescription face;
    std::string why;
    switch (ReadFontFace(path, entry.faceIndex, &face, &why)) {
        case FontFileResult::Refused:
            return "the file " + path + " is refused: " + why;
        case FontFileResult::Unreadable:
            return "the file " + path + " is no longer a readable font";
        case FontFileResult::Read:
            break;
    }
    // A file replaced since indexing must not be loaded in the old one's name.
    if (face.postScriptName != entry.postScriptName) {
        return "the file " + path + " now holds " +
               (face.postScriptName.empty() ? "another font" : face.postScriptName) +
               "; index the group again";
    }
    return {};
}

}  // namespace

FontService::FontService(std::shared_ptr<const Catalog> catalog, std::string machine)
    : m_catalog(std::move(catalog)), m_matcher(*m_catalog), m_machine(std::move(machine)) {}

bool FontService::Match(const std::string& name, MatchAnswer* answer) const {
    MatchResult match = m_matcher.Match(name);
    if (!match.entry) return false;
    answer->identifier = m_catalog->IdentifierOf(*match.entry);
    answer->detail = m_catalog->DetailOf(*match.entry);
    return true;
}

long FontService::State(const std::string& identifier) const {
    const FontEntry* entry = m_catalog->FindById(identifier);
    if (!entry) return 0;
    const std::string path = m_catalog->PathOf(*entry);
    long state = 0;
    const std::vector<std::string> active = ReadActiveFonts(m_machine);
    if (std::find(active.begin(), active.end(), path) != active.end()) state |= kFontActive;
    if (IsInstalledCopyOf(m_machine, path)) state |= kFontInstalled;
    return state;
}

bool FontService::Load(const std::string& identifier, bool activate, std::string* error) const {
    const char* verb = activate ? "Cannot activate" : "Cannot install";
    const FontEntry* entry = m_catalog->FindById(identifier);
    if (!entry) {
        *error = std::string(verb) + " '" + identifier + "': no font has this identifier";
        return false;
    }
    const std::string what =
        std::string(verb) + " " + NameOf(*entry) + " (" + m_catalog->DetailOf(*entry) + "): ";
    const std::string path = m_catalog->PathOf(*entry);
    std::string why = Unusable(path, *entry);
    if (why.empty()) {
        const bool ok = activate ? AddActiveFont(m_machine, path, &why)
                                 : InstallFontFile(m_machine, path, &why);
        if (ok) return true;
    }
    *error = what + why;
    return false;
}

}  // namespace glyvor
