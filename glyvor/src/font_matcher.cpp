#include "glyvor/font_matcher.h"

#include <tuple>

#include "glyvor/name_key.h"

namespace glyvor {

FontMatcher::FontMatcher(const Catalog& catalog) : m_catalog(catalog) {
    const std::vector<FontEntry>& entries = catalog.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FontEntry& e = entries[i];
        Offer(m_psExact, e.postScriptName, i);
        Offer(m_psLoose, NormaliseName(e.postScriptName), i);
        Offer(m_fullExact, e.fullName, i);
        Offer(m_fullLoose, NormaliseName(e.fullName), i);
        Offer(m_familyStyle, NormaliseName(e.family + e.style), i);
        if (IsRegularStyle(e.style)) Offer(m_familyStyle, NormaliseName(e.family), i);
        if (!e.typographicFamily.empty()) {
            Offer(m_familyStyle, NormaliseName(e.typographicFamily + e.typographicStyle), i);
            if (IsRegularStyle(e.typographicStyle)) {
                Offer(m_familyStyle, NormaliseName(e.typographicFamily), i);
            }
        }
    }
}

bool FontMatcher::Better(std::size_t a, std::size_t b) const {
    const FontEntry& x = m_catalog.entries()[a];
    const FontEntry& y = m_catalog.entries()[b];
    return std::tie(x.format, x.group, x.relativePath, x.faceIndex) <
           std::tie(y.format, y.group, y.relativePath, y.faceIndex);
}

void FontMatcher::Offer(Index& index, std::string key, std::size_t entry) {
    if (key.empty()) return;
    auto [it, inserted] = index.emplace(std::move(key), entry);
    if (!inserted && Better(entry, it->second)) it->second = entry;
}

MatchResult FontMatcher::Match(std::string_view name) const {
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
            result.entry = &m_catalog.entries()[it->second];
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
            result.entry = &m_catalog.entries()[it->second];
            result.kind = MatchKind::FamilyStyle;
        }
    }
    return result;
}

}  // namespace glyvor
