#include "glyvor/font_matcher.h"

#include <cstdint>
#include <tuple>

#include "glyvor/name_key.h"

namespace glyvor {

namespace {

using Names = std::vector<const std::string*>;

// A face's names of each kind, its own fields first.
struct FaceNames {
    Names of[8];
    const Names& operator[](NameKind kind) const { return of[static_cast<int>(kind)]; }
};

FaceNames Gather(const FontEntry& e) {
    FaceNames names;
    auto add = [&](NameKind kind, const std::string& text) {
        if (!text.empty()) names.of[static_cast<int>(kind)].push_back(&text);
    };
    add(NameKind::PostScript, e.postScriptName);
    add(NameKind::Full, e.fullName);
    add(NameKind::Family, e.family);
    add(NameKind::Style, e.style);
    add(NameKind::TypographicFamily, e.typographicFamily);
    add(NameKind::TypographicStyle, e.typographicStyle);
    for (const FontName& n : e.otherNames) add(n.kind, n.text);
    return names;
}

// The loose keys of one family/style pair: each family with each style, and
// each family alone when one of the styles is a regular one (or there is none).
void PairKeys(const Names& families, const Names& styles, std::vector<std::string>* keys) {
    if (families.empty()) return;
    std::vector<std::string> styleKeys;
    bool regular = styles.empty();
    for (const std::string* s : styles) {
        styleKeys.push_back(NormaliseName(*s));
        if (IsRegularStyle(*s)) regular = true;
    }
    for (const std::string* f : families) {
        const std::string family = NormaliseName(*f);
        if (family.empty()) continue;
        for (const std::string& style : styleKeys) keys->push_back(family + style);
        if (regular) keys->push_back(family);
    }
}

bool HasSubsetTag(std::string_view name) {
    if (name.size() <= 7 || name[6] != '+') return false;
    for (std::size_t i = 0; i < 6; ++i) {
        if (name[i] < 'A' || name[i] > 'Z') return false;
    }
    return true;
}

// Rules by their place in LooseKey and ExactKey.
enum LooseRule { kPostScriptLoose, kFullNameLoose, kFamilyStyle };
enum ExactRule { kPostScriptExact, kFullNameExact };

}  // namespace

FontMatcher::FontMatcher(const Catalog& catalog) : m_catalog(catalog) {
    const std::vector<FontEntry>& entries = catalog.entries();
    m_exact.reserve(entries.size() * 2);
    m_loose.reserve(entries.size() * 3);
    // Faces are the same font when their PostScript names share a loose key:
    // that key stands for the font. A face without one is a font of its own.
    std::vector<const void*> fontOf(entries.size());
    std::vector<std::string> pairs;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FontEntry& e = entries[i];
        const std::string psKey = NormaliseName(e.postScriptName);
        fontOf[i] = &entries[i];
        if (!psKey.empty()) fontOf[i] = &*m_loose.try_emplace(psKey).first;
        const void* font = fontOf[i];

        const FaceNames names = Gather(e);
        for (const std::string* ps : names[NameKind::PostScript]) {
            AddExact(*ps, kPostScriptExact, i,
                     AddLoose(NormaliseName(*ps), kPostScriptLoose, i, font));
        }
        for (const std::string* full : names[NameKind::Full]) {
            AddExact(*full, kFullNameExact, i,
                     AddLoose(NormaliseName(*full), kFullNameLoose, i, font));
        }
        // A pair without styles of its own takes the next older pair's (as the
        // name table defines it).
        const Names& legacyStyles = names[NameKind::Style];
        const Names& typoStyles = names[NameKind::TypographicStyle].empty()
                                      ? legacyStyles
                                      : names[NameKind::TypographicStyle];
        const Names& wwsStyles =
            names[NameKind::WwsStyle].empty() ? typoStyles : names[NameKind::WwsStyle];
        pairs.clear();
        PairKeys(names[NameKind::Family], legacyStyles, &pairs);
        PairKeys(names[NameKind::TypographicFamily], typoStyles, &pairs);
        PairKeys(names[NameKind::WwsFamily], wwsStyles, &pairs);
        for (const std::string& key : pairs) AddLoose(key, kFamilyStyle, i, font);
    }
    // Each rule's answer: the font its key finds, in the face that font prefers.
    for (auto& [key, loose] : m_loose) {
        for (Found& found : loose.rules) Resolve(&found, &loose, fontOf);
    }
    for (auto& [key, exact] : m_exact) {
        for (Found& found : exact.rules) Resolve(&found, exact.loose, fontOf);
    }
}

FontMatcher::LooseKey* FontMatcher::AddLoose(const std::string& key, int rule, std::size_t face,
                                             const void* font) {
    if (key.empty()) return nullptr;
    LooseKey* loose = &m_loose.try_emplace(key).first->second;
    Offer(&loose->rules[rule], face);
    Prefer(loose, face, font);
    return loose;
}

void FontMatcher::AddExact(const std::string& key, int rule, std::size_t face, LooseKey* loose) {
    if (key.empty()) return;
    ExactKey* exact = &m_exact.try_emplace(key).first->second;
    Offer(&exact->rules[rule], face);
    exact->loose = loose;
}

void FontMatcher::Offer(Found* found, std::size_t face) const {
    if (found->face == kNone || FoundFirst(face, found->face)) found->face = face;
}

void FontMatcher::Prefer(LooseKey* key, std::size_t face, const void* font) {
    if (key->best == kNone || key->font == font) {
        if (key->best == kNone || Preferred(face, key->best)) key->best = face;
        key->font = font;
        return;
    }
    for (auto& [other, best] : key->moreFonts) {
        if (other == font) {
            if (Preferred(face, best)) best = face;
            return;
        }
    }
    key->moreFonts.emplace_back(font, face);
}

void FontMatcher::Resolve(Found* found, const LooseKey* key,
                          const std::vector<const void*>& fontOf) {
    if (found->face == kNone) return;
    found->answer = found->face;
    if (!key) return;
    const void* font = fontOf[found->face];
    if (key->font == font) {
        found->answer = key->best;
        return;
    }
    for (const auto& [other, best] : key->moreFonts) {
        if (other == font) found->answer = best;
    }
}

bool FontMatcher::FoundFirst(std::size_t a, std::size_t b) const {
    const FontEntry& x = m_catalog.entries()[a];
    const FontEntry& y = m_catalog.entries()[b];
    return std::tie(x.format, x.group, x.relativePath, x.faceIndex) <
           std::tie(y.format, y.group, y.relativePath, y.faceIndex);
}

bool FontMatcher::Preferred(std::size_t a, std::size_t b) const {
    const FontEntry& x = m_catalog.entries()[a];
    const FontEntry& y = m_catalog.entries()[b];
    if (x.revision != y.revision) return x.revision > y.revision;
    return FoundFirst(a, b);
}

MatchResult FontMatcher::Match(std::string_view name) const {
    MatchResult result = MatchAsGiven(name);
    if (!result.entry && HasSubsetTag(name)) result = MatchAsGiven(name.substr(7));
    return result;
}

MatchResult FontMatcher::MatchAsGiven(std::string_view name) const {
    MatchResult result;
    if (name.empty()) return result;
    const std::string loose = NormaliseName(name);
    auto e = m_exact.find(std::string(name));
    auto l = m_loose.find(loose);
    const ExactKey* exact = e == m_exact.end() ? nullptr : &e->second;
    const LooseKey* looseKey = l == m_loose.end() ? nullptr : &l->second;
    const std::pair<const Found*, MatchKind> steps[] = {
        {exact ? &exact->rules[kPostScriptExact] : nullptr, MatchKind::PostScriptExact},
        {looseKey ? &looseKey->rules[kPostScriptLoose] : nullptr, MatchKind::PostScriptLoose},
        {exact ? &exact->rules[kFullNameExact] : nullptr, MatchKind::FullNameExact},
        {looseKey ? &looseKey->rules[kFullNameLoose] : nullptr, MatchKind::FullNameLoose},
        {looseKey ? &looseKey->rules[kFamilyStyle] : nullptr, MatchKind::FamilyStyle},
    };
    for (const auto& [found, kind] : steps) {
        if (found && found->answer != kNone) {
            result.entry = &m_catalog.entries()[found->answer];
            result.kind = kind;
            return result;
        }
    }
    // PDF files name TrueType faces "Family,Style".
    const std::size_t comma = loose.find(',');
    if (comma != std::string::npos && comma > 0 && comma + 1 < loose.size() &&
        loose.find(',', comma + 1) == std::string::npos) {
        auto it = m_loose.find(loose.substr(0, comma) + loose.substr(comma + 1));
        if (it != m_loose.end() && it->second.rules[kFamilyStyle].answer != kNone) {
            result.entry = &m_catalog.entries()[it->second.rules[kFamilyStyle].answer];
            result.kind = MatchKind::FamilyStyle;
        }
    }
    return result;
}

}  // namespace glyvor
