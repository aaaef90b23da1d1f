// The stand-in font manager's catalogue loader on hostile text. A catalogue is
// either refused with the line and the reason, leaving the one already loaded
// as it was, or read into entries that write back to the same text, find
// themselves by identifier, answer their own PostScript names (or the newest
// version of the font such a name stands for) and lie below their group's folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "glyvor/catalog.h"
#include "glyvor/font_matcher.h"
#include "glyvor/name_key.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "catalogue broke its contract: %s\n", what);
        std::abort();
    }
}

// A catalogue already loaded, which a refused one must leave alone.
const char kLoaded[] =
    "glyvor-catalog\t2\n"
    "group\tSans\t/fonts/sans\n"
    "font\t0\tSans-Regular.ttf\t0\tttf\tSans-Regular\tSans\tRegular\tSans Regular\t\t\t65536\n"
    "name\tfull\tSans Book\n";

bool Below(const std::string& folder, const std::string& path) {
    const std::filesystem::path base = std::filesystem::path(folder).lexically_normal();
    const std::filesystem::path full = std::filesystem::path(path).lexically_normal();
    const std::filesystem::path rel = full.lexically_relative(base);
    return !rel.empty() && *rel.begin() != ".." && *rel.begin() != ".";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const glyvor::Catalog loaded = [] {
        glyvor::Catalog c;
        std::string why;
        Require(c.Parse(kLoaded, &why), "the loaded catalogue reads");
        return c;
    }();
    static const std::string before = loaded.Serialise();
    glyvor::Catalog catalog = loaded;
    std::string error;
    if (!catalog.Parse(text, &error)) {
        Require(error.rfind("line ", 0) == 0, "a refusal names the line");
        Require(catalog.Serialise() == before, "a refused catalogue changes nothing");
        return 0;
    }
    const std::string written = catalog.Serialise();
    glyvor::Catalog again;
    Require(again.Parse(written, &error), "a catalogue reads back what it wrote");
    Require(again.Serialise() == written, "reading back gives the same catalogue");
    Require(again.entries().size() == catalog.entries().size() &&
                again.groups().size() == catalog.groups().size(),
            "reading back keeps every group and font");

    const glyvor::FontMatcher matcher(catalog);
    for (const glyvor::FontEntry& entry : catalog.entries()) {
        Require(catalog.FindById(catalog.IdentifierOf(entry)) == &entry,
                "each font is found by its identifier");
        Require(Below(catalog.groups()[entry.group].folder, catalog.PathOf(entry)),
                "each font's file lies below its group's folder");
        if (!entry.postScriptName.empty()) {
            const glyvor::MatchResult m = matcher.Match(entry.postScriptName);
            // Faces whose PostScript names differ only as the loose key folds them
            // are versions of one font, which answers in its newest face.
            Require(m.entry != nullptr && glyvor::NormaliseName(m.entry->postScriptName) ==
                                              glyvor::NormaliseName(entry.postScriptName),
                    "a PostScript name answers with a font of that name");
        }
        matcher.Match(entry.fullName);
        matcher.Match(entry.family + "," + entry.style);
    }
    return 0;
}
