#include "font_revision.h"

namespace glyvor {

FontRevision RevisionFromFixed(std::int32_t fixed) {
    if (fixed <= 0) return 0;
    return static_cast<FontRevision>((static_cast<std::uint64_t>(fixed) * 1000 + 0x8000) >> 16);
}

FontRevision RevisionFromText(std::string_view version) {
    std::size_t i = 0;
    while (i < version.size() && version[i] == ' ') ++i;
    auto digit = [&](std::size_t at) {
        return at < version.size() && version[at] >= '0' && version[at] <= '9';
    };
    if (!digit(i)) return 0;
    std::uint64_t whole = 0;
    for (; digit(i); ++i) {
        whole = whole * 10 + static_cast<unsigned>(version[i] - '0');
        if (whole > 4000000) return 0;  // no font's version: not a revision
    }
    std::uint64_t thousandths = 0;
    if (i < version.size() && version[i] == '.') {
        ++i;
        unsigned scale = 100;
        for (; digit(i) && scale > 0; ++i, scale /= 10) {
            thousandths += scale * static_cast<unsigned>(version[i] - '0');
        }
    }
    return static_cast<FontRevision>(whole * 1000 + thousandths);
}

}  // namespace glyvor
