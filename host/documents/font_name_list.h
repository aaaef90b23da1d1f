// Small helpers shared by the document readers for the names they collect.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace host {

// Removes a font subset tag: exactly six upper-case ASCII letters and '+'.
std::string StripSubsetPrefix(std::string_view name);

// Returns `bytes` unchanged when it is valid UTF-8; otherwise reads it as
// Latin-1, so that no name handed on is invalid UTF-8.
std::string ToUtf8Name(std::string_view bytes);

// Names in order of first addition, each once; empty names are ignored.
class FontNameList {
public:
    void Add(std::string name);
    const std::vector<std::string>& Names() const { return m_names; }
    std::vector<std::string> Take() { return std::move(m_names); }

private:
    std::vector<std::string> m_names;
    std::unordered_set<std::string> m_seen;
};

}  // namespace host
