// The text paths every font-manager call takes: a font name from the thread's code
// page to UTF-16 and back, and into a BSTR.
#include <benchmark/benchmark.h>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

void NarrowToWide(benchmark::State& state, UINT codePage, const char* name) {
    EmuSetThreadCodePage(codePage);
    WCHAR buffer[256];
    for (auto _ : state) {
        benchmark::DoNotOptimize(MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, buffer, 256));
        benchmark::ClobberMemory();
    }
    EmuSetThreadCodePage(1252);
}

void WideToNarrow(benchmark::State& state, UINT codePage, const WCHAR* name) {
    EmuSetThreadCodePage(codePage);
    char buffer[512];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            WideCharToMultiByte(CP_THREAD_ACP, 0, name, -1, buffer, 512, nullptr, nullptr));
        benchmark::ClobberMemory();
    }
    EmuSetThreadCodePage(1252);
}

BENCHMARK_CAPTURE(NarrowToWide, cp1252, 1252u, "Minion Pro Semibold Italic Caption");
BENCHMARK_CAPTURE(NarrowToWide, cp932, 932u,
                  "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
BENCHMARK_CAPTURE(NarrowToWide, utf8, 65001u, "Minion Pro Semibold Italic Caption \xE2\x82\xAC");
BENCHMARK_CAPTURE(WideToNarrow, cp1252, 1252u, u"Minion Pro Semibold Italic Caption");
BENCHMARK_CAPTURE(WideToNarrow, cp932, 932u, u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
BENCHMARK_CAPTURE(WideToNarrow, utf8, 65001u, u"Minion Pro Semibold Italic Caption \U0001F600");

void BstrRoundTrip(benchmark::State& state) {
    for (auto _ : state) {
        BSTR text = SysAllocString(u"Minion Pro Semibold Italic Caption");
        benchmark::DoNotOptimize(SysStringLen(text));
        SysFreeString(text);
    }
}
BENCHMARK(BstrRoundTrip);

}  // namespace
