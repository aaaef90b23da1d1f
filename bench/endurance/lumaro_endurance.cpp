// Endurance: one session of the simulated host with the built plug-in, a thousand
// document cycles (open, Find, Activate, Activate All, deactivate, close) and then a
// thousand unload/reload cycles of the plug-in's code. What the plug-in holds of the
// host's blocks, the live BSTRs and automation proxies, and the process's resident
// memory are taken after a warm-up (one-time allocations are not growth) and at the
// end of each phase; the run fails when a count moved or the resident memory grew
// beyond the tolerance.
//
//   lumaro_endurance [--cycles N] [--warm-up N] [--rss-tolerance-kib K] [--no-rss-check]
//                    [--plugins DIR]
//
// Exit status: 0 flat, 1 growth, 2 bad arguments or a cycle that failed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "endurance_session.h"

namespace {

struct Options {
    long cycles = 1000;
    long warmUp = 10;
    long rssToleranceKiB = 2048;
    bool checkRss = true;
    std::string plugins = LUMARO_ENDURANCE_PLUGINS_DIR;
};

bool ParseCount(const char* text, long* value) {
    char* end = nullptr;
    *value = std::strtol(text, &end, 10);
    return *text != '\0' && *end == '\0' && *value >= 0;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--cycles" && hasValue && ParseCount(argv[i + 1], &options->cycles)) {
            ++i;
        } else if (arg == "--warm-up" && hasValue && ParseCount(argv[i + 1], &options->warmUp)) {
            ++i;
        } else if (arg == "--rss-tolerance-kib" && hasValue &&
                   ParseCount(argv[i + 1], &options->rssToleranceKiB)) {
            ++i;
        } else if (arg == "--no-rss-check") {
            options->checkRss = false;
        } else if (arg == "--plugins" && hasValue) {
            options->plugins = argv[++i];
        } else {
            std::cerr << "lumaro_endurance: bad argument " << arg << "\n"
                      << "usage: lumaro_endurance [--cycles N] [--warm-up N] "
                         "[--rss-tolerance-kib K] [--no-rss-check] [--plugins DIR]\n";
            return false;
        }
    }
    return true;
}

struct Phase {
    const char* name;
    long cycles = 0;
    endurance::Holdings start;
    endurance::Holdings end;
    double seconds = 0;
};

template <typename Cycle>
Phase RunPhase(const char* name, const Options& options, Cycle cycle) {
    Phase phase;
    phase.name = name;
    phase.cycles = options.cycles;
    for (long i = 0; i < options.warmUp; ++i) cycle();
    phase.start = cycle.held();
    const auto began = std::chrono::steady_clock::now();
    for (long i = 0; i < options.cycles; ++i) cycle();
    phase.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    phase.end = cycle.held();
    return phase;
}

std::string Arrow(long long start, long long end) {
    return std::to_string(start) + " -> " + std::to_string(end);
}

void PrintTable(const std::vector<Phase>& phases) {
    std::printf(
        "| phase | cycles | plug-in blocks | plug-in bytes | live BSTRs | proxies "
        "| RSS (KiB) | time (s) |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Phase& p : phases) {
        std::printf("| %s | %ld | %s | %s | %s | %s | %s | %.1f |\n", p.name, p.cycles,
                    Arrow(static_cast<long long>(p.start.pluginBlocks),
                          static_cast<long long>(p.end.pluginBlocks))
                        .c_str(),
                    Arrow(static_cast<long long>(p.start.pluginBytes),
                          static_cast<long long>(p.end.pluginBytes))
                        .c_str(),
                    Arrow(p.start.liveBstrs, p.end.liveBstrs).c_str(),
                    Arrow(p.start.liveProxies, p.end.liveProxies).c_str(),
                    Arrow(p.start.residentKiB, p.end.residentKiB).c_str(), p.seconds);
    }
}

// The reasons the run fails, one line each.
std::vector<std::string> Growth(const std::vector<Phase>& phases, const Options& options) {
    std::vector<std::string> found;
    auto count = [&](const Phase& p, const char* what, long long start, long long end) {
        if (start != end) {
            found.push_back(std::string(what) + " went from " + std::to_string(start) + " to " +
                            std::to_string(end) + " over " + std::to_string(p.cycles) + " " +
                            p.name + " cycles");
        }
    };
    for (const Phase& p : phases) {
        count(p, "the plug-in's host blocks", static_cast<long long>(p.start.pluginBlocks),
              static_cast<long long>(p.end.pluginBlocks));
        count(p, "the live BSTRs", p.start.liveBstrs, p.end.liveBstrs);
        count(p, "the live automation proxies", p.start.liveProxies, p.end.liveProxies);
        const long grown = p.end.residentKiB - p.start.residentKiB;
        if (options.checkRss && grown > options.rssToleranceKiB) {
            found.push_back("the resident memory grew by " + std::to_string(grown) + " KiB over " +
                            std::to_string(p.cycles) + " " + p.name + " cycles (tolerance " +
                            std::to_string(options.rssToleranceKiB) + " KiB)");
        }
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) return 2;
    try {
        endurance::EnduranceSession session(options.plugins);
        std::vector<Phase> phases;
        struct DocumentCycle {
            endurance::EnduranceSession& s;
            void operator()() { s.DocumentCycle(); }
            endurance::Holdings held() { return s.Held(); }
        };
        struct UnloadCycle {
            endurance::EnduranceSession& s;
            void operator()() { s.UnloadCycle(); }
            endurance::Holdings held() { return s.Held(); }
        };
        phases.push_back(RunPhase("document", options, DocumentCycle{session}));
        // The host keeps the code of a plug-in with a dialog loaded.
        session.DestroyPanel();
        phases.push_back(RunPhase("unload/reload", options, UnloadCycle{session}));

        std::printf("%ld warm-up cycles of each phase, then the figures at its start and end.\n\n",
                    options.warmUp);
        PrintTable(phases);
        const std::vector<std::string> growth = Growth(phases, options);
        std::printf("\n");
        for (const std::string& line : growth) std::printf("growth: %s\n", line.c_str());
        if (!growth.empty()) return 1;
        std::printf("flat: no count moved%s\n",
                    options.checkRss ? (", resident memory within " +
                                        std::to_string(options.rssToleranceKiB) + " KiB")
                                           .c_str()
                                     : " (resident memory not checked)");
        return 0;
    } catch (const endurance::CycleError& e) {
        std::fprintf(stderr, "lumaro_endurance: %s\n", e.what());
        return 2;
    }
}
