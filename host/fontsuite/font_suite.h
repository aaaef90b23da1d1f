// The "AI Font Suite" over the host's font list, with failures that tests
// inject per call.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "fontlist/font_list.h"
#include "hostapi/ai_font.h"

namespace host {
class SuiteRegistry;
}

namespace host::fontsuite {

// The queries a fault can be set on.
enum class FontQuery {
    Count,       // CountFonts (a fault leaves the count untouched)
    Index,       // IndexFontList
    Info,        // GetFontInfo
    NarrowName,  // GetFontName
    PostScript,  // A, position 59
    FullName,    // B, position 58
    Family,      // C, position 60
    Style,       // D, position 53 (the last)
};

// Font keys are positions in the list (plus one, so that no key is null);
// a key stays valid while the list has that many fonts.
AIFontKey KeyOfIndex(std::size_t index);

class FontSuiteService {
public:
    // Serves `fonts` through the suite until destroyed; `fonts` must outlive
    // the service.
    explicit FontSuiteService(FontList& fonts);
    ~FontSuiteService();
    FontSuiteService(const FontSuiteService&) = delete;
    FontSuiteService& operator=(const FontSuiteService&) = delete;

    static FontSuiteService* Active();
    FontList& Fonts() { return m_fonts; }

    // Registers the suite table over any placeholder.
    static void Register(SuiteRegistry& registry);

    // From now on, `query` for the font at `fontIndex` (any font when
    // fontIndex is negative) answers `error` and leaves its output alone.
    void Fail(FontQuery query, int fontIndex, ASErr error);
    void ClearFaults() {
        m_faults.clear();
        m_narrowAnswers.clear();
        m_unicodeAnswers.clear();
    }
    // The injected error for this call, or 0.
    ASErr FaultFor(FontQuery query, std::size_t fontIndex) const;

    // What a careless host answers for the font at `fontIndex`: the narrow name as
    // these bytes whatever they are (invalid in the code page, zeros inside), copied
    // into the caller's buffer up to its size with no terminator when they fill it;
    // a Unicode name (PostScript, FullName, Family or Style) as these units (lone
    // surrogates, zeros inside). Cleared with ClearFaults.
    void AnswerNarrowName(int fontIndex, std::string bytes);
    void AnswerUnicodeName(FontQuery query, int fontIndex, std::u16string units);
    const std::string* NarrowAnswer(std::size_t fontIndex) const;
    const std::u16string* UnicodeAnswer(FontQuery query, std::size_t fontIndex) const;
    // The number of suite calls answered, per query, for tests that count.
    int Calls(FontQuery query) const;
    void CountCall(FontQuery query) { ++m_calls[static_cast<std::size_t>(query)]; }

private:
    FontList& m_fonts;
    std::map<std::pair<FontQuery, int>, ASErr> m_faults;
    std::map<int, std::string> m_narrowAnswers;
    std::map<std::pair<FontQuery, int>, std::u16string> m_unicodeAnswers;
    std::array<int, static_cast<std::size_t>(FontQuery::Style) + 1> m_calls{};
};

const AIFontSuite4& FontSuite();

}  // namespace host::fontsuite
