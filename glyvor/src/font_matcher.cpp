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

std::uint64_t Pack(std::uint32_t key, std::uint32_t font) {
    return (std::uint64_t{key} << 32) | font;
}

}  // namespace

FontMatcher::FontMatcher(const Catalog& catalog) : m_catalog(catalog) {
    const std::vector<FontEntry>& entries = catalog.entries();
    // Which font each face is, by its PostScript name, loosely.
    std::unordered_map<std::string, std::uint32_t> fontIds;
    std::vector<std::uint32_t> fontOf(entries.size());
    std::uint32_t nextFont = 0;
    // Every loose key, and the preferred face of each font among the faces answering it.
    std::unordered_map<std::string, std::uint32_t> keyIds;
    std::unordered_map<std::uint64_t, std::size_t> preferred;

    std::vector<std::string> keys;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FontEntry& e = entries[i];
        const std::string psKey = NormaliseName(e.postScriptName);
        if (psKey.empty()) {
            fontOf[i] = nextFont++;
        } else {
            auto [font, added] = fontIds.emplace(psKey, nextFont);
            if (added) ++nextFont;
            fontOf[i] = font->second;
        }

        const FaceNames names = Gather(e);
        keys.clear();
        for (const std::string* ps : names[NameKind::PostScript]) {
            Offer(m_psExact, *ps, i);
            keys.push_back(NormaliseName(*ps));
            Offer(m_psLoose, keys.back(), i);
        }
        for (const std::string* full : names[NameKind::Full]) {
            Offer(m_fullExact, *full, i);
            keys.push_back(NormaliseName(*full));
            Offer(m_fullLoose, keys.back(), i);
        }
        const std::size_t pairsFrom = keys.size();
        // A pair without styles of its own takes the next older pair's (as the
        // name table defines it).
        const Names& legacyStyles = names[NameKind::Style];
        const Names& typoStyles = names[NameKind::TypographicStyle].empty()
                                      ? legacyStyles
                                      : names[NameKind::TypographicStyle];
        const Names& wwsStyles =
            names[NameKind::WwsStyle].empty() ? typoStyles : names[NameKind::WwsStyle];
        PairKeys(names[NameKind::Family], legacyStyles, &keys);
        PairKeys(names[NameKind::TypographicFamily], typoStyles, &keys);
        PairKeys(names[NameKind::WwsFamily], wwsStyles, &keys);
        for (std::size_t k = pairsFrom; k < keys.size(); ++k) Offer(m_familyStyle, keys[k], i);

        for (const std::string& key : keys) {
            if (key.empty()) continue;
            const std::uint32_t id =
                keyIds.emplace(key, static_cast<std::uint32_t>(keyIds.size())).first->second;
            auto [it, inserted] = preferred.emplace(Pack(id, fontOf[i]), i);
            if (!inserted && Preferred(i, it->second)) it->second = i;
        }
    }

    // Each rule's answer: the font its key finds, in the face that font prefers.
    auto resolve = [&](Index& index, bool exact) {
        for (auto& [key, hit] : index) {
            auto id = keyIds.find(exact ? NormaliseName(key) : key);
            if (id == keyIds.end()) continue;
            auto it = preferred.find(Pack(id->second, fontOf[hit.found]));
            if (it != preferred.end()) hit.answer = it->second;
        }
    };
    resolve(m_psExact, true);
    resolve(m_psLoose, false);
    resolve(m_fullExact, true);
    resolve(m_fullLoose, false);
    resolve(m_familyStyle, false);
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

void FontMatcher::Offer(Index& index, const std::string& key, std::size_t entry) {
    if (key.empty()) return;
    auto [it, inserted] = index.emplace(key, Hit{entry, entry});
    if (!inserted && FoundFirst(entry, it->second.found)) it->second = Hit{entry, entry};
}

MatchResult FontMatcher::Match(std::string_view name) const {
    MatchResult result = MatchAsGiven(name);
    if (!result.entry && HasSubsetTag(name)) result = MatchAsGiven(name.substr(7));
    return result;
}

MatchResult FontMatcher::MatchAsGiven(std::string_view name) const {
    MatchResult result;
    if (name.empty()) return result;
    const std::string exact(name);
    const std::string loose = NormaliseName(name);
    const std::pair<const Index*, const std::string*> steps[] = {
        {&m_psExact, &exact},   {&m_psLoose, &loose},     {&m_fullExact, &exact},
        {&m_fullLoose, &loose}, {&m_familyStyle, &loose},
    };
    const MatchKind kinds[] = {MatchKind::PostScriptExact, MatchKind::PostScriptLoose,
                               MatchKind::FullNameExact, MatchKind::FullNameLoose,
                               MatchKind::FamilyStyle};
    for (std::size_t s = 0; s < std::size(steps); ++s) {
        auto it = steps[s].first->find(*steps[s].second);
        if (it != steps[s].first->end()) {
            result.entry = &m_catalog.entries()[it->second.answer];
            result.kind = kinds[s];
            return result;
        }
    }
    // PDF files name TrueType faces "Family,Style".
    const std::size_t comma = loose.find(',');
    if (comma != std::string::npos && comma > 0 && comma + 1 < loose.size() &&
        loose.find(',', comma + 1) == std::string::npos) {
        const std::string joined = loose.substr(0, comma) + loose.substr(comma + 1);
        auto it = m_familyStyle.find(joined);
        if (it != m_familyStyle.end()) {
            result.entry = &m_catalog.entries()[it->second.answer];
            result.kind = MatchKind::FamilyStyle;
        }
    }
    return result;
}

}  // namespace glyvor
