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
// The name is folded once; one lookup of it as given and one of its loose key
// answer all five rules (two more for a "Family,Style" form or a subset tag),
// each rule's answer computed when the matcher is built: the cost of a match
// does not grow with the catalogue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
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
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // What one rule finds for a key: the face it prefers among all that carry
    // the key, and the face that answers (the preferred face of that one's font).
    struct Found {
        std::size_t face = kNone;
        std::size_t answer = kNone;
    };
    // A loose key: rules 2, 4 and 5, and the preferred face of each font among
    // those that answer the key by any rule (few fonts share a name: the first
    // is kept inline).
    struct LooseKey {
        Found rules[3];
        const void* font = nullptr;
        std::size_t best = kNone;
        std::vector<std::pair<const void*, std::size_t>> moreFonts;
    };
    // An exact key: rules 1 and 3, and the loose key it folds to.
    struct ExactKey {
        Found rules[2];
        LooseKey* loose = nullptr;
    };

    MatchResult MatchAsGiven(std::string_view name) const;
    LooseKey* AddLoose(const std::string& key, int rule, std::size_t face, const void* font);
    void AddExact(const std::string& key, int rule, std::size_t face, LooseKey* loose);
    void Prefer(LooseKey* key, std::size_t face, const void* font);
    void Resolve(Found* found, const LooseKey* key, const std::vector<const void*>& fontOf);
    void Offer(Found* found, std::size_t face) const;
    bool FoundFirst(std::size_t a, std::size_t b) const;
    bool Preferred(std::size_t a, std::size_t b) const;

    const Catalog& m_catalog;
    std::unordered_map<std::string, ExactKey> m_exact;
    std::unordered_map<std::string, LooseKey> m_loose;
};

}  // namespace glyvor
