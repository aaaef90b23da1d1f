// Enumerating a machine with a few thousand font files, and recomputing the
// missing fonts of documents that use many fonts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fontlist/font_list.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> SystemFontFiles() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it("/usr/share/fonts", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string ext = it->path().extension().string();
        if (it->is_regular_file() && (ext == ".ttf" || ext == ".otf" || ext == ".t1")) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A machine folder whose Fonts/ holds `count` files, hard links to the
// system's font files (copies where links are not possible).
class BenchMachine {
public:
    explicit BenchMachine(int count) {
        std::string pattern = (fs::temp_directory_path() / "lumaro-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        m_path = pattern;
        fs::create_directory(m_path / "Fonts");
        const std::vector<fs::path> sources = SystemFontFiles();
        if (sources.empty()) return;
        for (int i = 0; i < count; ++i) {
            const fs::path& source = sources[static_cast<std::size_t>(i) % sources.size()];
            const fs::path target =
                m_path / "Fonts" / (std::to_string(i) + source.extension().string());
            std::error_code ec;
            fs::create_hard_link(source, target, ec);
            if (ec) fs::copy_file(source, target, ec);
        }
    }
    ~BenchMachine() {
        std::error_code ec;
        if (!m_path.empty()) fs::remove_all(m_path, ec);
    }
    std::string Path() const { return m_path.string(); }

private:
    fs::path m_path;
};

// Every file read with FreeType: the host's first enumeration.
void BM_ReadMachineFonts(benchmark::State& state) {
    BenchMachine machine(static_cast<int>(state.range(0)));
    std::size_t files = 0;
    for (auto _ : state) {
        host::FontList list(machine.Path());
        files = list.FilesRead();
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["files"] = static_cast<double>(files);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files));
}
BENCHMARK(BM_ReadMachineFonts)->Arg(500)->Arg(3000)->Unit(benchmark::kMillisecond);

// Enumerating again after a font change that touched no file already read.
void BM_EnumerateUnchangedMachine(benchmark::State& state) {
    BenchMachine machine(static_cast<int>(state.range(0)));
    host::FontList list(machine.Path());
    for (auto _ : state) {
        list.Enumerate();
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["reused"] = static_cast<double>(list.FilesReused());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(list.FilesReused()));
}
BENCHMARK(BM_EnumerateUnchangedMachine)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_RecomputeMissingFonts(benchmark::State& state) {
    BenchMachine machine(600);
    host::FontList list(machine.Path());
    std::vector<std::string> fonts;
    for (const host::FontEntry& entry : list.Entries()) fonts.push_back(entry.Name());
    for (int i = 0; fonts.size() < static_cast<std::size_t>(state.range(0)); ++i) {
        fonts.push_back("Missing-Font-" + std::to_string(i));
    }
    for (auto _ : state) {
        list.SetDocumentFonts("document.pdf", fonts);
        benchmark::DoNotOptimize(list.MissingCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecomputeMissingFonts)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
