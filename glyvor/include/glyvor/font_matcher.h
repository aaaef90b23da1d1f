// Answers a font name as a host gives it with the best catalogue entry.
//
// Order of preference, first hit wins:
//   1. the PostScript name, exactly;
//   2. the PostScript name, loosely (see name_key.h);
//   3. the full name, exactly;
//   4. the full name, loosely;
//   5. family plus style, loosely ("Nimbus Sans Bold", "NimbusSans-Bold"),
//      for both the legacy and the typographic family/style pairs, and the
//      family alone for a regular style; a name of the form "Family,Style"
//      (as PDF files name TrueType faces) is tried here too.
// Ties inside one step go to the format (OpenType CFF, then TrueType, then
// Type 1), then the group's order in the catalogue, then the relative path,
// then the face index. Every step is one hash lookup: the cost of a match does
// not grow with the catalogue.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "glyvor/catalog.h"

namespace glyvor {

enum class MatchKind {
    PostScriptExact,
    PostScriptLoose,
    FullNameExact,
    FullNameLoose,
    FamilyStyle,
};

struct MatchResult {
    const FontEntry* entry = nullptr;
    MatchKind kind = MatchKind::PostScriptExact;
};

class FontMatcher {
public:
    // Keeps a reference: the catalogue must outlive the matcher and stay unchanged.
    explicit FontMatcher(const Catalog& catalog);

    // Null entry when nothing answers the name (an empty name never matches).
    MatchResult Match(std::string_view name) const;

private:
    using Index = std::unordered_map<std::string, std::size_t>;  // key -> best entry
    void Offer(Index& index, std::string key, std::size_t entry);
    bool Better(std::size_t a, std::size_t b) const;

    const Catalog& m_catalog;
    Index m_psExact, m_psLoose, m_fullExact, m_fullLoose, m_familyStyle;
};

}  // namespace glyvor
