// The panel's commands in the Windows edition, where the font manager is glyvor.exe in
// a process of its own and every automation call crosses to it through COM: wall-clock
// times of opening a document (the panel's refresh included), Find and Activate All, in
// a host list of a fixed number of fonts, with a growing number of them missing. Beside
// Find and Activate All, the bare automation calls they make, through the same proxy:
// their share of the command's time is what the cross-process calls cost.
//
//   lumaro_wine_bench [RUNS [HOST_FONTS [MISSING...]]]   (default 5 20000 50 200 800)
//
// Prints one line per size: medians over the runs, in milliseconds; the share of the
// cross-process calls counts the bare calls and one connection (found, asked, released).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bare_calls.h"
#include "font_names.h"
#include "glyvor/automation.h"
#include "lumaro/resources/PanelResourceIDs.h"
#include "panel_bench_host.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double Milliseconds(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Expect(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

// IGlyvor::MatchFont for every name, with the plug-in's arguments made for each call.
std::size_t MatchAll(IDispatch* glyvor, const std::vector<BSTR>& names) {
    std::size_t found = 0;
    for (BSTR name : names) {
        BSTR empty1 = SysAllocStringLen(nullptr, 0), empty2 = SysAllocStringLen(nullptr, 0);
        if (bench::MatchFontCall(glyvor, name, empty1, empty2)) ++found;
        SysFreeString(empty1);
        SysFreeString(empty2);
    }
    return found;
}

// IGlyvor::GetFontState for every identifier, and IGlyvor::LoadFont where it is needed.
std::size_t ActivateAll(IDispatch* glyvor, const std::vector<BSTR>& ids) {
    std::size_t done = 0;
    for (BSTR id : ids)
        if (bench::ActivateCall(glyvor, id)) ++done;
    return done;
}

// An EPS file that needs `fonts`, as a user's document names the fonts it uses.
void WriteDocument(const std::string& path, const std::vector<std::string>& fonts) {
    std::ofstream out(path, std::ios::binary);
    out << "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 100\n";
    for (std::size_t i = 0; i < fonts.size(); ++i)
        out << (i == 0 ? "%%DocumentNeededFonts: " : "%%+ ") << fonts[i] << "\n";
    out << "%%EndComments\nshowpage\n%%EOF\n";
    Expect(static_cast<bool>(out), "cannot write " + path);
}

struct Figures {
    std::vector<double> open, find, findCalls, activate, activateCalls, connect;
};

Figures Measure(int runs, std::size_t hostFonts, std::size_t missingCount) {
    bench::FontNameSource names;
    const std::vector<std::string> machine = names.Take(hostFonts - missingCount);
    const std::vector<std::string> missing = names.Take(missingCount);
    bench::PanelBenchHost host;
    host.SetFonts(machine, {});
    host.SetUpFontManager(missing, missingCount);
    const std::string document = host.Machine() + "/wine-bench.eps";
    WriteDocument(document, missing);

    Figures figures;
    for (int run = 0; run < runs; ++run) {
        // The font changes of the last Activate All had the host read the machine's
        // fonts again: the list is set anew, the document closed, the fonts forgotten.
        host.SetFonts(machine, {});
        host.ForgetActivations();
        figures.open.push_back(
            Milliseconds([&] { Expect(host.Session().Execute("open " + document), "open"); }));
        Expect(host.Rows(kMissingList) == static_cast<int>(missingCount),
               "not every missing font listed: " + host.Status());

        // What each command's connection costs: the running object found, its
        // interface asked for and released, as the plug-in does around its work.
        figures.connect.push_back(Milliseconds([] { bench::GlyvorReference glyvor; }));
        figures.find.push_back(Milliseconds([&] { host.Press(kFindButton); }));
        Expect(host.Rows(kAvailableList) == static_cast<int>(missingCount),
               "not every font found: " + host.Status());
        {
            bench::GlyvorReference glyvor;
            bench::BstrList bstrs(missing);
            std::size_t found = 0;
            figures.findCalls.push_back(
                Milliseconds([&] { found = MatchAll(glyvor.Get(), bstrs.Get()); }));
            Expect(found == missingCount, "the bare calls did not match every font");
        }

        figures.activate.push_back(Milliseconds([&] { host.Press(kActivateAllButton); }));
        {
            bench::GlyvorReference glyvor;
            bench::BstrList ids(host.FontIds());
            host.ForgetActivations();
            std::size_t done = 0;
            figures.activateCalls.push_back(
                Milliseconds([&] { done = ActivateAll(glyvor.Get(), ids.Get()); }));
            Expect(done == missingCount, "the bare calls did not activate every font");
        }
        Expect(host.Session().Execute("close " + document), "close");
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
        const std::size_t hostFonts = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 20000;
        std::vector<std::size_t> sizes;
        for (int i = 3; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
        if (sizes.empty()) sizes = {50, 200, 800};
        if (runs < 1) throw std::runtime_error("RUNS must be at least 1");

        std::printf("medians of %d runs, milliseconds; host list of %zu fonts\n", runs, hostFonts);
        std::printf(
            "missing | open+refresh | Find | its COM calls | Activate All | its COM calls | "
            "a connection\n");
        for (std::size_t missing : sizes) {
            if (missing == 0 || missing > hostFonts) throw std::runtime_error("bad size");
            const Figures f = Measure(runs, hostFonts, missing);
            // The calls' share counts the command's connection among them.
            const double connect = Median(f.connect);
            std::printf("%zu | %.1f | %.1f | %.1f (%.0f%%) | %.1f | %.1f (%.0f%%) | %.1f\n",
                        missing, Median(f.open), Median(f.find), Median(f.findCalls),
                        100 * (Median(f.findCalls) + connect) / Median(f.find), Median(f.activate),
                        Median(f.activateCalls),
                        100 * (Median(f.activateCalls) + connect) / Median(f.activate), connect);
            std::fflush(stdout);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumaro_wine_bench: %s\n", e.what());
        return 1;
    }
}
