// Small helpers shared by the document readers for the names they collect.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "documents/document_fonts.h"

namespace host {

// Removes a font subset tag: exactly six upper-case ASCII letters and '+'.
std::string StripSubsetPrefix(std::string_view name);

// Returns `bytes` unchanged when it is valid UTF-8; otherwise reads it as
// Latin-1, so that no name handed on is invalid UTF-8.
std::string ToUtf8Name(std::string_view bytes);

// Names in order of first addition, each once with the traits it was first
// added with; empty names are ignored.
class FontNameList {
public:
    void Add(std::string name, DocumentFontTraits traits = {});
    const std::vector<std::string>& Names() const { return m_names; }
    // Moves the names and traits into `result`.
    void MoveTo(DocumentFonts& result);

private:
    std::vector<std::string> m_names;
    std::vector<DocumentFontTraits> m_traits;
    std::unordered_set<std::string> m_seen;
};

}  // namespace host
