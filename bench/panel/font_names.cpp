#include "font_names.h"

#include <stdexcept>

#include "fontlist/font_name_match.h"

namespace bench {

namespace {

const char* const kSyllables[] = {"ka", "vo", "re", "mi", "lu", "se", "di", "ta", "no",  "be",
                                  "ri", "go", "fa", "ne", "zu", "pe", "la", "to", "chi", "war"};
const char* const kSuffixes[] = {"", "Pro", "Std", "LT"};
const char* const kStyles[] = {"Regular", "Bold",     "Italic",         "BoldItalic",
                               "Light",   "Medium",   "SemiboldItalic", "Black",
                               "Book",    "Semibold", "CondensedBold",  "LightItalic"};

template <typename T, std::size_t N>
constexpr std::size_t Count(const T (&)[N]) {
    return N;
}

// Index to name, mixed radix: two to four syllables, a suffix, a style.
std::string NameOf(std::size_t index) {
    const std::size_t syllables = Count(kSyllables);
    std::string family;
    family += kSyllables[index % syllables];
    index /= syllables;
    family += kSyllables[index % syllables];
    index /= syllables;
    for (int extra = 0; extra < 2; ++extra) {
        const std::size_t pick = index % (syllables + 1);
        index /= syllables + 1;
        if (pick != 0) family += kSyllables[pick - 1];
    }
    family[0] = static_cast<char>(family[0] - 'a' + 'A');
    family += kSuffixes[index % Count(kSuffixes)];
    index /= Count(kSuffixes);
    return family + "-" + kStyles[index];
}

}  // namespace

std::vector<std::string> FontNameSource::Take(std::size_t count) {
    constexpr std::size_t kRange = 20 * 20 * 21 * 21 * 4 * 12;
    std::vector<std::string> names;
    names.reserve(count);
    while (names.size() < count) {
        if (m_next == kRange) throw std::length_error("no more made-up font names");
        // A stride prime to the range visits every index once and mixes short
        // and long names.
        std::string name = NameOf((m_next++ * 7919) % kRange);
        if (!m_keys.insert(host::FontNameKey(name)).second) continue;
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace bench
