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

// Whether the face has `name` as one of its PostScript names, as the loose key
// compares them.
bool HasPostScriptName(const glyvor::FontEntry& face, const std::string& name) {
    const std::string key = glyvor::NormaliseName(name);
    if (glyvor::NormaliseName(face.postScriptName) == key) return true;
    for (const glyvor::FontName& other : face.otherNames) {
        if (other.kind == glyvor::NameKind::PostScript && glyvor::NormaliseName(other.text) == key)
            return true;
    }
    return false;
}

// Whether `answer` may stand for `name`: a face that carries the name, or a version
// of one (faces whose own PostScript names share the loose key are one font, which
// answers in its newest face).
bool AnswersFor(const glyvor::Catalog& catalog, const glyvor::FontEntry& answer,
                const std::string& name) {
    if (HasPostScriptName(answer, name)) return true;
    const std::string font = glyvor::NormaliseName(answer.postScriptName);
    for (const glyvor::FontEntry& face : catalog.entries()) {
        if (HasPostScriptName(face, name) && !font.empty() &&
            glyvor::NormaliseName(face.postScriptName) == font)
            return true;
    }
    return false;
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
            Require(m.entry != nullptr && AnswersFor(catalog, *m.entry, entry.postScriptName),
                    "a PostScript name answers with a font of that name");
        }
        matcher.Match(entry.fullName);
        matcher.Match(entry.family + "," + entry.style);
    }
    return 0;
}
