// Keeps a Wine prefix's own services (the COM service, the desktop) running
// for a whole test run. When the last program of a prefix ends, Wine shuts
// them down; a program that starts meanwhile meets them half gone: it can make
// no window, and COM answers RPC_S_SERVER_UNAVAILABLE. While this program
// waits, that never happens. It ends after the given seconds (default 3600),
// or sooner when the run stops the prefix.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 3600;
    Sleep(static_cast<DWORD>(seconds > 0 ? seconds : 3600) * 1000);
    return 0;
}
