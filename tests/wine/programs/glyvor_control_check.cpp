// The host's way to the Windows font manager (glyvor/server.h), run under Wine:
// set up a machine, start glyvor.exe by hand, find it, stop it, unregister.
// Every check prints one line; the exit status is the number of failed checks.
//   glyvor_control_check MACHINE FONTS
#include <windows.h>
// clang-format off
#include <ole2.h>
#include <oleauto.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <string>

#include "checks.h"
#include "glyvor/automation.h"
#include "glyvor/native_path.h"
#include "glyvor/server.h"

namespace {

HRESULT FindRunning() {
    IUnknown* running = nullptr;
    const HRESULT hr = GetActiveObject(glyvor::CLSID_GlyvorDocument, nullptr, &running);
    if (running != nullptr) running->Release();
    return hr;
}

void Run(const std::string& machine, const std::string& fonts) {
    using glyvor::RegistrationScope;
    glyvor::RunningGlyvor unregistered;
    std::string error;
    glyvor::UseGlyvorMachine(machine);
    Check(unregistered.Start(&error) == REGDB_E_CLASSNOTREG && !unregistered.running(),
          "an unregistered machine has nothing to start", error);

    std::vector<glyvor::GroupReport> report;
    error.clear();
    HRESULT hr = glyvor::SetUpGlyvor(machine, {{"Fonts", fonts}}, &error, &report,
                                     RegistrationScope::AllUsers);
    Check(hr == S_OK, "SetUpGlyvor indexes and registers for all users", error);
    Check(report.size() == 1 && report[0].fonts == 3 && report[0].skipped == 1,
          "the report counts the group's fonts and its refused Type 1 file");

    glyvor::RunningGlyvor running;
    hr = running.Start(&error);
    Check(hr == S_OK && running.running(), "Start runs glyvor.exe by hand", Hex(hr) + " " + error);
    Check(FindRunning() == S_OK, "GetActiveObject finds it");
    hr = running.Start(&error);
    Check(hr == E_UNEXPECTED && error == "Glyvor is already running", "a second Start is refused",
          error);
    running.Stop();
    Check(!running.running(), "Stop ends it");
    Check(FAILED(FindRunning()), "then GetActiveObject finds nothing");

    Check(glyvor::UnregisterGlyvor(machine, RegistrationScope::AllUsers) == S_OK,
          "UnregisterGlyvor removes the registration");
    CLSID clsid{};
    Check(FAILED(CLSIDFromProgID(L"Glyvor.Document", &clsid)), "the class is gone");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: glyvor_control_check MACHINE FONTS\n");
        return 100;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 100;
    Run(glyvor::NativePath(argv[1]), glyvor::NativePath(argv[2]));
    CoUninitialize();
    return ReportFailures();
}
