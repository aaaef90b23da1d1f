// What the automation methods do, free of COM: font state, activation and
// installation against one catalogue and one machine folder.
#pragma once

#include <memory>
#include <string>

#include "glyvor/catalog.h"
#include "glyvor/font_matcher.h"

namespace glyvor {

// GetFontState's answer: a set of these bits, 0 when the font needs loading.
enum FontStateBits : long {
    kFontActive = 1,
    kFontInstalled = 2,
};

struct MatchAnswer {
    std::string identifier;
    std::string detail;
};

class FontService {
public:
    FontService(std::shared_ptr<const Catalog> catalog, std::string machine);

    bool Match(const std::string& name, MatchAnswer* answer) const;
    // Unknown identifiers have state 0.
    long State(const std::string& identifier) const;
    // activate: add to the session's fonts; otherwise install into Fonts/.
    // On failure *error names the font and says why.
    bool Load(const std::string& identifier, bool activate, std::string* error) const;

    const Catalog& catalog() const { return *m_catalog; }
    const std::string& machine() const { return m_machine; }

private:
    std::shared_ptr<const Catalog> m_catalog;
    FontMatcher m_matcher;
    std::string m_machine;
};

}  // namespace glyvor
