// Answers a font name as a host gives it with the best catalogue entry.
//
// Every name a font carries counts, in every language and from every platform
// (FontEntry's fields and its other names). Rules, strongest first:
//   1. a PostScript name, exactly;
//   2. a PostScript name, loosely (see name_key.h: NFKC, case folding, no
//      spaces, hyphens or underscores);
//   3. a full name, exactly;
//   4. a full name, loosely;
//   5. family plus style, loosely ("Nimbus Sans Bold", "NimbusSans-Bold"),
//      for the legacy, the typographic and the weight/width/slope pairs, each
//      family with each style of its own pair in any language, and the family
//      alone when the face's style is a regular one; a name of the form
//      "Family,Style" (as PDF files name TrueType faces) is tried here too.
// A name that answers nothing as given is tried once more without a PDF
// subset tag ("ABCDEF+": six capital letters and a plus sign). Nothing else
// stands in for a name: a font is offered only under a name it carries.
//
// The strongest rule that finds any face decides which font answers; among the
// faces it finds, the first in this order: OpenType (CFF), TrueType, Type 1,
// then the group's order in the catalogue, the relative path, the face index.
// Faces are the same font when their PostScript names are the same loosely
// (a face without one is a font of its own). Among the faces of that font that
// answer the name by any rule, the newer revision wins, then the same order:
// so a newer TrueType file beats an older OpenType one of the same font, and
// the OpenType "NimbusSans-Regular" beats the Type 1 one even where only the
// Type 1 face's full name is the name asked for.
//
// Each rule is one hash lookup, its answer computed when the matcher is built:
// the cost of a match does not grow with the catalogue.
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
    MatchKind kind = MatchKind::PostScriptExact;  // the rule that found the font
};

class FontMatcher {
public:
    // Keeps a reference: the catalogue must outlive the matcher and stay unchanged.
    explicit FontMatcher(const Catalog& catalog);

    // Null entry when nothing answers the name (an empty name never matches).
    MatchResult Match(std::string_view name) const;

private:
    struct Hit {
        std::size_t found;   // the face the rule prefers for the key
        std::size_t answer;  // the preferred face of its font among those answering the key
    };
    using Index = std::unordered_map<std::string, Hit>;

    MatchResult MatchAsGiven(std::string_view name) const;
    void Offer(Index& index, const std::string& key, std::size_t entry);
    bool FoundFirst(std::size_t a, std::size_t b) const;
    bool Preferred(std::size_t a, std::size_t b) const;

    const Catalog& m_catalog;
    Index m_psExact, m_psLoose, m_fullExact, m_fullLoose, m_familyStyle;
};

}  // namespace glyvor
