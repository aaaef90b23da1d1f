// A match against catalogues of growing size costs the same: the lookup is a
// hash probe per step, never a walk over the entries. Loading a catalogue,
// building its matcher and the catalogue's size grow linearly with its faces.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bare_calls.h"
#include "glyvor/catalog.h"
#include "glyvor/font_matcher.h"
#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "glyvor/server.h"
#include "platform/emu/control.h"

namespace {

// Full-width digits, as a Japanese host may spell a number.
std::string FullWidth(std::size_t n) {
    std::string out;
    for (char c : std::to_string(n)) out += std::string("\xEF\xBC") + char('\x90' + (c - '0'));
    return out;
}

// `count` made-up faces in 10 groups, named like real families and styles,
// with a Japanese family and full name each, as CJK fonts have.
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
        e.revision = static_cast<glyvor::FontRevision>(1000 + i % 3);
        const std::string japanese = u8"ファミリー" + std::to_string(i / 4);
        e.otherNames = {{glyvor::NameKind::Family, japanese},
                        {glyvor::NameKind::Full, japanese + " " + style}};
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
const char* SubsetTagged(std::size_t count, std::string* s) {
    return (*s = "ABCDEF+Family" + std::to_string(count / 8) + "-1").c_str();
}
const char* JapaneseFullWidth(std::size_t count, std::string* s) {
    return (*s = u8"ファミリー" + FullWidth(count / 8) + u8"　Ｂｏｌｄ").c_str();
}

void BM_MatchPostScriptExact(benchmark::State& s) { Match(s, PostScriptName, true); }
void BM_MatchPostScriptLoose(benchmark::State& s) { Match(s, LooseName, true); }
void BM_MatchFallsToLastStep(benchmark::State& s) { Match(s, FamilyStyle, true); }
void BM_MatchMissing(benchmark::State& s) { Match(s, Missing, false); }
void BM_MatchSubsetTagged(benchmark::State& s) { Match(s, SubsetTagged, true); }
void BM_MatchJapaneseFullWidth(benchmark::State& s) { Match(s, JapaneseFullWidth, true); }

BENCHMARK(BM_MatchPostScriptExact)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchPostScriptLoose)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchFallsToLastStep)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchMissing)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchSubsetTagged)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MatchJapaneseFullWidth)->Arg(1000)->Arg(10000)->Arg(100000);

// Reading the catalogue file the index step wrote; its size in bytes is a counter.
void BM_LoadCatalogue(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const std::string text = SyntheticCatalog(count).Serialise();
    for (auto _ : state) {
        glyvor::Catalog c;
        std::string error;
        benchmark::DoNotOptimize(c.Parse(text, &error));
    }
    state.counters["bytes"] = static_cast<double>(text.size());
    state.counters["bytes_per_face"] = static_cast<double>(text.size()) / count;
}
BENCHMARK(BM_LoadCatalogue)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Folding every name and building the lookups, once per server object.
void BM_BuildMatcher(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const glyvor::Catalog& catalog = SyntheticCatalog(count);
    for (auto _ : state) {
        const glyvor::FontMatcher matcher(catalog);
        benchmark::DoNotOptimize(&matcher);
    }
    state.counters["faces"] = static_cast<double>(count);
}
BENCHMARK(BM_BuildMatcher)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The index step over real font files: the Debian font folders the tests use.
void BM_IndexSystemFonts(benchmark::State& state) {
    const std::vector<glyvor::GroupSource> groups = {
        {"URW", "/usr/share/fonts/type1/urw-base35"},
        {"URWOT", "/usr/share/fonts/opentype/urw-base35"},
        {"Liberation", "/usr/share/fonts/truetype/liberation"},
        {"Noto", "/usr/share/fonts/truetype/noto"},
        {"IPA", "/usr/share/fonts/opentype/ipafont-gothic"}};
    std::size_t faces = 0, bytes = 0;
    for (auto _ : state) {
        glyvor::IndexResult result;
        std::string error;
        if (!glyvor::IndexFolders(groups, &result, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        faces = result.catalog.entries().size();
        bytes = result.catalog.Serialise().size();
    }
    state.counters["faces"] = static_cast<double>(faces);
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_IndexSystemFonts)->Unit(benchmark::kMillisecond);

// The whole automation path: MatchFont through the emulated COM proxy into the
// server module, against a catalogue file of `count` faces.
void BM_InvokeMatchFont(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    std::string machine = (std::filesystem::temp_directory_path() / "glyvor-bench-XXXXXX").string();
    if (!mkdtemp(&machine[0])) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string error;
    IUnknown* unknown = nullptr;
    IDispatch* glyvor = nullptr;
    CoInitialize(nullptr);
    if (!SyntheticCatalog(count).Save(glyvor::DefaultCatalogPath(machine), &error) ||
        FAILED(glyvor::RegisterGlyvor(machine, glyvor::DefaultServerModulePath(), "", &error)) ||
        FAILED(CoCreateInstance(glyvor::CLSID_GlyvorDocument, nullptr, CLSCTX_ALL, IID_IUnknown,
                                reinterpret_cast<void**>(&unknown))) ||
        FAILED(unknown->QueryInterface(glyvor::IID_IGlyvor, reinterpret_cast<void**>(&glyvor)))) {
        state.SkipWithError(("no server: " + error).c_str());
    } else {
        const std::u16string name = u"Family1-1";  // one of the faces
        BSTR in = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
        BSTR empty = SysAllocString(u"");
        for (auto _ : state) {
            if (!bench::MatchFontCall(glyvor, in, empty, empty))
                state.SkipWithError("MatchFont did not match");
        }
        SysFreeString(in);
        SysFreeString(empty);
    }
    if (glyvor) glyvor->Release();
    if (unknown) unknown->Release();
    glyvor::UnregisterGlyvor(machine);
    EmuSetMachineFolder(nullptr);
    CoUninitialize();
    std::error_code ec;
    std::filesystem::remove_all(machine, ec);
    state.SetLabel(std::to_string(count) + " entries");
}
BENCHMARK(BM_InvokeMatchFont)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
