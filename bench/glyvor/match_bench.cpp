// A match against catalogues of growing size costs the same: the lookup is a
// hash probe per step, never a walk over the entries.
#include <benchmark/benchmark.h>

#include <string>

#include "glyvor/catalog.h"
#include "glyvor/font_matcher.h"

namespace {

// `count` made-up faces in 10 groups, named like real families and styles.
const glyvor::Catalog& SyntheticCatalog(std::size_t count) {
    static std::size_t builtFor = 0;
    static glyvor::Catalog catalog;
    if (builtFor == count) return catalog;
    static const char* const styles[] = {"Regular", "Bold", "Italic", "Bold Italic"};
    catalog = glyvor::Catalog();
    for (int g = 0; g < 10; ++g) catalog.AddGroup("Group" + std::to_string(g), "/fonts/g");
    for (std::size_t i = 0; i < count; ++i) {
        glyvor::FontEntry e;
        e.group = i % 10;
        const std::string family = "Family" + std::to_string(i / 4);
        const std::string style = styles[i % 4];
        e.relativePath = family + "-" + std::to_string(i) + ".otf";
        e.format = static_cast<glyvor::FontFormat>(i % 3);
        e.family = family;
        e.style = style;
        e.postScriptName = family + "-" + std::to_string(i % 4);
        e.fullName = family + " " + style + " Full";
        catalog.AddEntry(std::move(e));
    }
    builtFor = count;
    return catalog;
}

void Match(benchmark::State& state, const char* (*name)(std::size_t, std::string*), bool found) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const glyvor::FontMatcher matcher(SyntheticCatalog(count));
    std::string buffer;
    const std::string query = name(count, &buffer);
    if ((matcher.Match(query).entry != nullptr) != found) {
        state.SkipWithError("the query does not hit the step it measures");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(matcher.Match(query));
    }
    state.SetLabel(std::to_string(count) + " entries");
}

const char* PostScriptName(std::size_t count, std::string* s) {
    return (*s = "Family" + std::to_string(count / 8) + "-1").c_str();
}
const char* LooseName(std::size_t count, std::string* s) {
    return (*s = "family" + std::to_string(count / 8) + "_1").c_str();
}
const char* FamilyStyle(std::size_t count, std::string* s) {
    return (*s = "Family" + std::to_string(count / 8) + " Bold").c_str();
}
const char* Missing(std::size_t, std::string* s) { return (*s = "No Such Font Anywhere").c_str(); }

void BM_MatchPostScriptExact(benchmark::State& s) { Match(s, PostScriptName, true); }
void BM_MatchPostScriptLoose(benchmark::State& s) { Match(s, LooseName, true); }
void BM_MatchFallsToLastStep(benchmark::State& s) { Match(s, FamilyStyle, true); }
void BM_MatchMissing(benchmark::State& s) { Match(s, Missing, false); }

BENCHMARK(BM_MatchPostScriptExact)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchPostScriptLoose)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchFallsToLastStep)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchMissing)->Arg(1000)->Arg(10000)->Arg(100000);

void BM_LoadCatalogue(benchmark::State& state) {
    const std::string text = SyntheticCatalog(100000).Serialise();
    for (auto _ : state) {
        glyvor::Catalog c;
        std::string error;
        benchmark::DoNotOptimize(c.Parse(text, &error));
    }
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
