// The catalogue: fonts in named groups, as the index step found them.
//
// File format (UTF-8 text, one record per line, fields separated by one TAB):
//
//   glyvor-catalog<TAB>2
//   group<TAB>NAME<TAB>FOLDER
//   font<TAB>GROUP<TAB>PATH<TAB>FACE<TAB>FORMAT<TAB>PSNAME<TAB>FAMILY<TAB>STYLE<TAB>FULLNAME
//       <TAB>TYPOFAMILY<TAB>TYPOSTYLE<TAB>REVISION
//   name<TAB>KIND<TAB>TEXT
//
// The first line names the format and its version; a reader refuses any other
// version. GROUP is the zero-based position of an earlier `group` line, FACE
// a decimal face index, FORMAT one of "otf" (OpenType with CFF outlines),
// "ttf" (TrueType) or "t1" (Type 1), REVISION the font's own revision in
// thousandths (decimal, 0 when unknown). The names of a font record are its
// US English ones (or the first it has); each `name` line after it adds
// another name of the same font, in another language or from another
// platform: KIND is "ps", "full", "family", "style", "tfamily", "tstyle",
// "wfamily" or "wstyle" (see NameKind), TEXT is not empty, repeats no name of
// its kind, and a font has at most kMaxNamesOfAKind names of each kind beside
// its own fields. FOLDER is absolute and PATH is relative to it with '/'
// separators. Every text field escapes backslash, TAB, LF and CR as "\\",
// "\t", "\n" and "\r", so names may hold any UTF-8. Lines starting with '#'
// and empty lines are ignored. Group order is significant: it breaks ties
// between equally good matches.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "glyvor/font_entry.h"

namespace glyvor {

class Catalog {
public:
    // Returns the index of the new group; a repeated name is refused (-1).
    long AddGroup(const std::string& name, const std::string& folder);
    // Fails (false) when the entry's group is unknown or its identifier is
    // already taken.
    bool AddEntry(FontEntry entry);

    const std::vector<FontGroup>& groups() const { return m_groups; }
    const std::vector<FontEntry>& entries() const { return m_entries; }

    // The stable identifier of an entry: "GROUP:PATH#FACE". It depends only
    // on what was indexed, so it survives restarts and re-indexing.
    std::string IdentifierOf(const FontEntry& entry) const;
    // The second text the server hands out with a match: "GROUP: FILE".
    std::string DetailOf(const FontEntry& entry) const;
    // Absolute path of the entry's file.
    std::string PathOf(const FontEntry& entry) const;

    // Constant-time lookup by identifier; null when unknown.
    const FontEntry* FindById(const std::string& identifier) const;

    // Writes the file atomically (a temporary beside it, then a rename),
    // creating its folder when needed.
    bool Save(const std::string& path, std::string* error) const;
    // Replaces *this only on success; the error names the file and line.
    bool Load(const std::string& path, std::string* error);
    bool Parse(const std::string& text, std::string* error);
    std::string Serialise() const;

private:
    std::vector<FontGroup> m_groups;
    std::vector<FontEntry> m_entries;
    std::unordered_map<std::string, std::size_t> m_byId;
};

}  // namespace glyvor
