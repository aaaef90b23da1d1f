// Registering, starting and stopping the stand-in font manager on a simulated
// machine, for the host and the tests.
//
// On Linux the server is the module GlyvorServer (an in-process server exporting
// DllGetClassObject), registered in the emulation's registry. On Windows it is
// glyvor.exe, a local server: the registry names it under LocalServer32 with
// "serve --machine DIR", and a type library for IGlyvor (written beside the
// registration, see machine.h) lets the standard automation marshaller carry it
// across processes. Each object loads the catalogue named by the machine's
// registration once, when it is created, and keeps it: re-indexing reaches
// objects created afterwards.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "glyvor/automation.h"
#include "glyvor/indexer.h"

namespace glyvor {

// Where the registration goes on Windows: HKCU\Software\Classes, or
// HKLM\Software\Classes (the only one Wine's COM reads). The emulation has one
// registry per machine folder and takes either.
enum class RegistrationScope { CurrentUser, AllUsers };

// The server built beside this library (Linux) or this program (Windows), or
// on Windows the program GLYVOR_SERVER_MODULE names.
std::string DefaultServerModulePath();

// Registers "Glyvor.Document" for `machine`, served by `serverModule`, with the
// catalogue at `catalogPath` (empty: <machine>/Glyvor/catalog.txt). Makes
// `machine` the emulation's machine folder when it is not already. Writes
// <machine>/Glyvor/registration.txt. *error says why on failure.
HRESULT RegisterGlyvor(const std::string& machine, const std::string& serverModule,
                       const std::string& catalogPath, std::string* error,
                       RegistrationScope scope = RegistrationScope::CurrentUser);
// The whole set-up in one call: indexes the groups into
// <machine>/Glyvor/catalog.txt and registers the server built with this
// library for it. The index report goes to *report when given.
HRESULT SetUpGlyvor(const std::string& machine, const std::vector<GroupSource>& groups,
                    std::string* error, std::vector<GroupReport>* report = nullptr,
                    RegistrationScope scope = RegistrationScope::CurrentUser);

// Removes exactly what RegisterGlyvor wrote for this scope, and the
// registration file (making `machine` the emulation's machine folder, as
// above). S_FALSE when it was not registered.
HRESULT UnregisterGlyvor(const std::string& machine,
                         RegistrationScope scope = RegistrationScope::CurrentUser);

// Makes `machine` the one RunningGlyvor::Start serves (on Linux, the
// emulation's machine folder). RegisterGlyvor and UnregisterGlyvor do this too.
void UseGlyvorMachine(const std::string& machine);

// `glyvor serve`: on Windows, serves "Glyvor.Document" for `machine` from this
// process. Started by COM (byCom) it serves until its last object and lock are
// gone; started by hand it also puts an object in the running-object table and
// serves until its window is closed (WM_CLOSE) or the console is interrupted.
// Returns the exit status. On Linux the server lives in-process, and this
// answers a usage error.
int ServeGlyvor(const std::string& machine, bool byCom, std::ostream& err);

// A running instance, registered in the running-object table as a separate
// font-manager application would register itself (on Windows: glyvor.exe
// started by hand). Stops (revokes; on Windows, closes that program) when it goes.
class RunningGlyvor {
public:
    RunningGlyvor() = default;
    ~RunningGlyvor() { Stop(); }
    RunningGlyvor(const RunningGlyvor&) = delete;
    RunningGlyvor& operator=(const RunningGlyvor&) = delete;

    // Creates the object from the module registered for the current machine
    // folder and puts it in the running-object table. Fails when already started.
    HRESULT Start(std::string* error);
    // Revokes the registration; clients holding the object keep it until they release it.
    void Stop();
    bool running() const { return m_cookie != 0; }

private:
    DWORD m_cookie = 0;  // the running-object table's (Linux), the process id (Windows)
    [[maybe_unused]] void* m_process = nullptr;  // Windows: the server program's process
};

// Linux only, where the server lives in this process: calls the server module
// has received per dispatch identifier (failed ones included; any other
// identifier is counted under 0) since it was loaded or last reset. 0 when the
// module is not loaded.
ULONG GlyvorInvokeCount(DISPID member, const std::string& serverModule = DefaultServerModulePath());
void ResetGlyvorInvokeCounts(const std::string& serverModule = DefaultServerModulePath());

}  // namespace glyvor
