// The plug-in's own cost. Each panel command runs through the loaded Lumaro.aip in
// the simulated host; beside it, a baseline in the same process makes exactly the
// host and font-manager calls that the work itself requires, with nothing of the
// plug-in around them. The ratio of the two is what the plug-in adds.
//
// The timed work of every benchmark is one function named bench::Timed..., so that
// an instruction count (valgrind --tool=callgrind --toggle-collect='bench::Timed*')
// takes in that work and nothing of the set-up.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bare_calls.h"
#include "font_names.h"
#include "glyvor/automation.h"
#include "host/current_plugin.h"
#include "host/host.h"
#include "lumaro/resources/PanelResourceIDs.h"
#include "panel_bench_host.h"

namespace bench {

namespace {

// The host's font list, the font manager's catalogue and what the panel shows
// before the timed work starts.
struct Setup {
    std::size_t machineFonts = 0;
    std::size_t missingFonts = 0;
    bool fontManager = false;  // a catalogue face for every missing font
    std::size_t loadable = 0;  // of them, faces with a file to activate
    bool found = false;        // Find pressed, the available list filled

    bool operator==(const Setup& o) const {
        return machineFonts == o.machineFonts && missingFonts == o.missingFonts &&
               fontManager == o.fontManager && loadable == o.loadable && found == o.found;
    }
};

struct Prepared {
    explicit Prepared(const Setup& setup) {
        FontNameSource names;
        const std::vector<std::string> machine = names.Take(setup.machineFonts);
        missing = names.Take(setup.missingFonts);
        host.SetFonts(machine, missing);
        if (setup.fontManager) host.SetUpFontManager(missing, setup.loadable);
        host.Press(kRefreshButton);
        if (setup.found) host.Press(kFindButton);
    }
    PanelBenchHost host;
    std::vector<std::string> missing;
};

// One host at a time; kept while consecutive benchmarks share a set-up.
std::unique_ptr<Prepared> g_prepared;
Setup g_setup;

Prepared* Prepare(benchmark::State& state, const Setup& setup) {
    try {
        if (!g_prepared || !(g_setup == setup)) {
            g_prepared.reset();
            g_prepared = std::make_unique<Prepared>(setup);
            g_setup = setup;
        }
        return g_prepared.get();
    } catch (const std::exception& e) {
        g_prepared.reset();
        state.SkipWithError(e.what());
        return nullptr;
    }
}

Setup RefreshSetup(std::size_t fonts) {
    Setup setup;
    setup.missingFonts = fonts * 5 / 100;
    setup.machineFonts = fonts - setup.missingFonts;
    return setup;
}

Setup FindSetup(std::size_t missing) {
    Setup setup;
    setup.missingFonts = missing;
    setup.fontManager = true;
    return setup;
}

Setup ActivateSetup(std::size_t available) {
    Setup setup = FindSetup(available);
    setup.loadable = available;
    setup.found = true;
    return setup;
}

// Once outside the timed region: the host's heap settles into the sizes the
// command uses, so that even a single timed run (under callgrind) shows the
// steady state and not the first time the host keeps freed blocks.
void WarmUp(Prepared& p, int itemID) {
    p.host.ForgetActivations();
    p.host.Press(itemID);
    p.host.ForgetActivations();
}

void Expect(benchmark::State& state, bool ok, const std::string& what) {
    if (!ok) state.SkipWithError(what.c_str());
}

std::string Counted(const char* format, std::size_t count) {
    char text[512];
    std::snprintf(text, sizeof text, format, static_cast<int>(count));
    return text;
}

// Reads a host string as the work must: its units and their number.
ASUInt32 Read(const HostCalls& calls, const AIUnicodeString& name) {
    const ASUnicode* units = nullptr;
    const ASUInt32 length = calls.strings->GetUtf16(&name, &units);
    benchmark::DoNotOptimize(units);
    return length;
}

}  // namespace

// ---- The timed work -------------------------------------------------------------------

__attribute__((noinline)) void TimedPress(PanelBenchHost& host, int itemID) { host.Press(itemID); }

// What a refresh must ask of the host: the rows of the last one removed; the key and
// the information of every font; of each missing font its narrow name, the six
// flagged Unicode names and the style name; a row with its text and user data.
ASInt32 RefreshBaselineWork(const HostCalls& calls, ADMDialogRef panel) {
    ADMListRef list = calls.item->GetList(calls.dialog->GetItem(panel, kMissingList));
    for (ASInt32 n = calls.list->NumberOfEntries(list); n > 0; --n)
        calls.list->RemoveEntry(list, n - 1);
    ASInt32 count = 0;
    calls.font->CountFonts(&count);
    AIUnicodeString name{nullptr};
    char row[2 + 1024] = {'*', ' '};
    ASInt32 rows = 0;
    for (ASInt32 i = 0; i < count; ++i) {
        AIFontKey key = nullptr;
        AIFontInfo info;
        if (calls.font->IndexFontList(i, &key) != kNoErr) break;
        if (calls.font->GetFontInfo(key, &info) != kNoErr) break;
        if (info.missing == 0) continue;
        if (calls.font->GetFontName(key, row + 2, 1024) != kNoErr) row[2] = '\0';
        ASUInt32 units = 0;
        for (ASBoolean native : {true, false}) {
            calls.font->GetPostScriptFontNameUnicode(key, &name, native);
            units += Read(calls, name);
            calls.font->GetFontFamilyNameUnicode(key, &name, native);
            units += Read(calls, name);
            calls.font->GetFontFullNameUnicode(key, &name, native);
            units += Read(calls, name);
        }
        calls.font->GetFontStyleNameUnicode(key, &name);
        units += Read(calls, name);
        benchmark::DoNotOptimize(units);
        ADMEntryRef entry = calls.list->InsertEntry(list, rows++);
        calls.entry->SetText(entry, row);
        calls.entry->SetUserData(entry, key);
    }
    calls.strings->Destroy(&name);
    return rows;
}

// What a Find must ask: the rows of the last one removed; IGlyvor::MatchFont for every
// name, with the plug-in's arguments and the outputs freed as the caller must; a row
// with its text and user data for each match.
struct FindBaseline {
    IDispatch* glyvor = nullptr;
    std::vector<BSTR> names;
    std::vector<std::string> rows;  // each name's row text
    BSTR empty = nullptr;
    HostCalls calls;
    ADMDialogRef panel = nullptr;
};

std::size_t FindBaselineWork(const FindBaseline& work) {
    const HostCalls& calls = work.calls;
    ADMListRef list = calls.item->GetList(calls.dialog->GetItem(work.panel, kAvailableList));
    for (ASInt32 n = calls.list->NumberOfEntries(list); n > 0; --n)
        calls.list->RemoveEntry(list, n - 1);
    std::size_t found = 0;
    for (std::size_t i = 0; i < work.names.size(); ++i) {
        if (!MatchFontCall(work.glyvor, work.names[i], work.empty, work.empty)) continue;
        ADMEntryRef entry = calls.list->InsertEntry(list, static_cast<ASInt32>(found++));
        calls.entry->SetText(entry, work.rows[i].c_str());
        calls.entry->SetUserData(entry, work.names[i]);
    }
    return found;
}

// IGlyvor::GetFontState for every font, and IGlyvor::LoadFont for each that needs
// loading.
std::size_t ActivateAllBaselineWork(IDispatch* glyvor, const std::vector<BSTR>& ids) {
    std::size_t done = 0;
    for (BSTR id : ids)
        if (ActivateCall(glyvor, id)) ++done;
    return done;
}

// The timed calls of the baselines; their warm-ups call the work directly, so that
// an instruction count takes in only what is timed.
__attribute__((noinline)) ASInt32 TimedRefreshBaseline(const HostCalls& calls, ADMDialogRef panel) {
    return RefreshBaselineWork(calls, panel);
}
__attribute__((noinline)) std::size_t TimedFindBaseline(const FindBaseline& work) {
    return FindBaselineWork(work);
}
__attribute__((noinline)) std::size_t TimedActivateAllBaseline(IDispatch* glyvor,
                                                               const std::vector<BSTR>& ids) {
    return ActivateAllBaselineWork(glyvor, ids);
}

namespace {

// ---- Refresh ----------------------------------------------------------------------------

void BM_Refresh(benchmark::State& state) {
    const std::size_t fonts = static_cast<std::size_t>(state.range(0));
    Prepared* p = Prepare(state, RefreshSetup(fonts));
    if (p == nullptr) return;
    WarmUp(*p, kRefreshButton);
    for (auto _ : state) TimedPress(p->host, kRefreshButton);
    const std::size_t missing = p->missing.size();
    Expect(state, p->host.Rows(kMissingList) == static_cast<int>(missing), "rows missing");
    Expect(state, p->host.Status() == Counted("%i missing font(s) in opened documents", missing),
           "wrong status: " + p->host.Status());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(fonts));
    state.counters["missing"] = static_cast<double>(missing);
}

void BM_RefreshBaseline(benchmark::State& state) {
    const std::size_t fonts = static_cast<std::size_t>(state.range(0));
    Prepared* p = Prepare(state, RefreshSetup(fonts));
    if (p == nullptr) return;
    const HostCalls calls = p->host.Calls();
    const ADMDialogRef panel = p->host.Panel();
    ASInt32 rows = 0;
    {
        // The host accounts the calls to the plug-in, as when the plug-in makes them.
        host::CurrentPluginScope scope(&p->host.Plugin());
        RefreshBaselineWork(calls, panel);  // the same warm-up as the plug-in's
        for (auto _ : state) rows = TimedRefreshBaseline(calls, panel);
    }
    Expect(state, rows == static_cast<ASInt32>(p->missing.size()), "rows missing");
    // The rows point at records again.
    p->host.Press(kRefreshButton);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(fonts));
    state.counters["missing"] = static_cast<double>(p->missing.size());
}

// ---- Find ------------------------------------------------------------------------------

void BM_Find(benchmark::State& state) {
    const std::size_t missing = static_cast<std::size_t>(state.range(0));
    Prepared* p = Prepare(state, FindSetup(missing));
    if (p == nullptr) return;
    WarmUp(*p, kFindButton);
    for (auto _ : state) TimedPress(p->host, kFindButton);
    Expect(state, p->host.Rows(kAvailableList) == static_cast<int>(missing),
           "not every font found: " + p->host.Status());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(missing));
}

void BM_FindBaseline(benchmark::State& state) {
    const std::size_t missing = static_cast<std::size_t>(state.range(0));
    Prepared* p = Prepare(state, FindSetup(missing));
    if (p == nullptr) return;
    try {
        GlyvorReference glyvor;
        BstrList names(p->missing);
        FindBaseline work;
        work.glyvor = glyvor.Get();
        work.names = names.Get();
        work.rows = p->missing;
        work.empty = SysAllocStringLen(nullptr, 0);
        work.calls = p->host.Calls();
        work.panel = p->host.Panel();
        std::size_t found = 0;
        {
            // The host accounts the calls to the plug-in, as when the plug-in makes them.
            host::CurrentPluginScope scope(&p->host.Plugin());
            found = FindBaselineWork(work);  // the same warm-up as the plug-in's
            for (auto _ : state) found = TimedFindBaseline(work);
        }
        SysFreeString(work.empty);
        Expect(state, found == missing, "not every font found");
        // The rows point at records again.
        p->host.Press(kFindButton);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(missing));
}

// ---- Activate All ------------------------------------------------------------------------

void BM_ActivateAll(benchmark::State& state) {
    const std::size_t available = static_cast<std::size_t>(state.range(0));
    Prepared* p = Prepare(state, ActivateSetup(available));
    if (p == nullptr) return;
    WarmUp(*p, kActivateAllButton);
    for (auto _ : state) {
        state.PauseTiming();
        p->host.ForgetActivations();
        state.ResumeTiming();
        TimedPress(p->host, kActivateAllButton);
    }
    Expect(state,
           p->host.Status() == Counted("%i fonts have been activated or installed", available),
           "wrong status: " + p->host.Status());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(available));
}

void BM_ActivateAllBaseline(benchmark::State& state) {
    const std::size_t available = static_cast<std::size_t>(state.range(0));
    Prepared* p = Prepare(state, ActivateSetup(available));
    if (p == nullptr) return;
    try {
        GlyvorReference glyvor;
        BstrList ids(p->host.FontIds());
        p->host.ForgetActivations();
        std::size_t done = ActivateAllBaselineWork(glyvor.Get(), ids.Get());
        for (auto _ : state) {
            state.PauseTiming();
            p->host.ForgetActivations();
            state.ResumeTiming();
            done = TimedActivateAllBaseline(glyvor.Get(), ids.Get());
        }
        Expect(state, done == available, "not every font activated");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(available));
}

// ---- Memory ------------------------------------------------------------------------------

// The bytes of the names a record must hold, as the host gives them: the narrow
// name, and two bytes a UTF-16 unit of the seven Unicode names.
double NameBytes(const HostCalls& calls) {
    ASInt32 count = 0;
    calls.font->CountFonts(&count);
    AIUnicodeString name{nullptr};
    double bytes = 0;
    for (ASInt32 i = 0; i < count; ++i) {
        AIFontKey key = nullptr;
        AIFontInfo info;
        if (calls.font->IndexFontList(i, &key) != kNoErr ||
            calls.font->GetFontInfo(key, &info) != kNoErr || info.missing == 0)
            continue;
        char narrow[1024] = {};
        calls.font->GetFontName(key, narrow, sizeof narrow);
        bytes += static_cast<double>(std::strlen(narrow));
        for (ASBoolean native : {true, false}) {
            calls.font->GetPostScriptFontNameUnicode(key, &name, native);
            bytes += 2.0 * Read(calls, name);
            calls.font->GetFontFamilyNameUnicode(key, &name, native);
            bytes += 2.0 * Read(calls, name);
            calls.font->GetFontFullNameUnicode(key, &name, native);
            bytes += 2.0 * Read(calls, name);
        }
        calls.font->GetFontStyleNameUnicode(key, &name);
        bytes += 2.0 * Read(calls, name);
    }
    calls.strings->Destroy(&name);
    return bytes;
}

void BM_RefreshMemory(benchmark::State& state) {
    Setup setup;
    setup.missingFonts = static_cast<std::size_t>(state.range(0));
    Prepared* p = Prepare(state, setup);
    if (p == nullptr) return;
    WarmUp(*p, kRefreshButton);
    for (auto _ : state) TimedPress(p->host, kRefreshButton);
    const host::AllocationStats held = p->host.Session().Host().Memory().Stats(&p->host.Plugin());
    const double fonts = static_cast<double>(p->missing.size());
    const double nameBytes = NameBytes(p->host.Calls());
    double nameLength = 0;
    for (const std::string& name : p->missing) nameLength += static_cast<double>(name.size());
    state.counters["bytes_per_name_byte"] = static_cast<double>(held.bytesOutstanding) / nameBytes;
    state.counters["bytes_per_font"] = static_cast<double>(held.bytesOutstanding) / fonts;
    state.counters["blocks_per_font"] = static_cast<double>(held.blocksOutstanding) / fonts;
    state.counters["name_bytes_per_font"] = nameBytes / fonts;
    state.counters["name_length"] = nameLength / fonts;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(p->missing.size()));
}

// Each plug-in benchmark right beside its baseline, so both run on one set-up.
void Register() {
    for (int fonts : {1000, 10000, 100000}) {
        benchmark::RegisterBenchmark("BM_Refresh", BM_Refresh)
            ->Arg(fonts)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_RefreshBaseline", BM_RefreshBaseline)
            ->Arg(fonts)
            ->Unit(benchmark::kMicrosecond);
    }
    for (int missing : {100, 1000, 10000}) {
        benchmark::RegisterBenchmark("BM_Find", BM_Find)
            ->Arg(missing)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_FindBaseline", BM_FindBaseline)
            ->Arg(missing)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("BM_ActivateAll", BM_ActivateAll)
        ->Arg(1000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ActivateAllBaseline", BM_ActivateAllBaseline)
        ->Arg(1000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_RefreshMemory", BM_RefreshMemory)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv) {
    bench::Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    // The host shuts the plug-in down before the process's own teardown begins.
    bench::g_prepared.reset();
    benchmark::Shutdown();
    return 0;
}
