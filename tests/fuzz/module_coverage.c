/* Linked into Lumaro.aip in the fuzz build only.

   libFuzzer keeps the address of every instrumented module's coverage counters
   and reads them after each input; the host unloads the plug-in (at the end of
   every session, and on "unload") and maps it again elsewhere, which would
   leave libFuzzer reading unmapped memory. So the module keeps its counters to
   itself and, as its code goes, adds them to the counters of the program that
   loaded it (fuzz_session), which libFuzzer reads instead. */
#include <dlfcn.h>
#include <stdint.h>

typedef void (*CoverageSink)(const uint8_t* start, const uint8_t* stop);

static uint8_t* g_start;
static uint8_t* g_stop;

__attribute__((visibility("hidden"))) void __sanitizer_cov_8bit_counters_init(uint8_t* start,
                                                                              uint8_t* stop) {
    g_start = start;
    g_stop = stop;
}

/* The program's counters have no table of program counters of their own. */
__attribute__((visibility("hidden"))) void __sanitizer_cov_pcs_init(const uintptr_t* start,
                                                                    const uintptr_t* stop) {
    (void)start;
    (void)stop;
}

__attribute__((destructor)) static void HandOverCoverage(void) {
    CoverageSink sink = (CoverageSink)dlsym(RTLD_DEFAULT, "LumaroFuzzModuleCoverage");
    if (sink != 0 && g_start != 0) sink(g_start, g_stop);
}
