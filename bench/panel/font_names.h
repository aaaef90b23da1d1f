// Made-up font names shaped like real PostScript names ("KavoremPro-SemiboldItalic",
// "Lusedi-Bold"), so that what a record holds is what a user's library gives.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace bench {

// `count` names, distinct from each other and from every name an earlier call made,
// also in the loose comparison the host and the font manager match by.
class FontNameSource {
public:
    std::vector<std::string> Take(std::size_t count);

private:
    std::size_t m_next = 0;
    std::unordered_set<std::string> m_keys;  // loose keys handed out so far
};

}  // namespace bench
