// Registering, starting and stopping the stand-in font manager on a simulated
// machine, for the host and the tests.
//
// The server is the module GlyvorServer (an in-process server exporting
// DllGetClassObject). Each object it makes loads the catalogue named by the
// machine's registration (see machine.h) once, when it is created, and keeps
// it: re-indexing reaches objects created afterwards.
#pragma once

#include <string>
#include <vector>

#include "glyvor/automation.h"
#include "glyvor/indexer.h"

namespace glyvor {

// The server module built beside this library.
std::string DefaultServerModulePath();

// Registers "Glyvor.Document" for `machine`, served by `serverModule`, with the
// catalogue at `catalogPath` (empty: <machine>/Glyvor/catalog.txt). Makes
// `machine` the emulation's machine folder when it is not already. Writes
// <machine>/Glyvor/registration.txt. *error says why on failure.
HRESULT RegisterGlyvor(const std::string& machine, const std::string& serverModule,
                       const std::string& catalogPath, std::string* error);
// The whole set-up in one call: indexes the groups into
// <machine>/Glyvor/catalog.txt and registers the server built with this
// library for it. The index report goes to *report when given.
HRESULT SetUpGlyvor(const std::string& machine, const std::vector<GroupSource>& groups,
                    std::string* error, std::vector<GroupReport>* report = nullptr);

// Removes the class registration and the registration file (making `machine`
// the emulation's machine folder, as above). S_FALSE when it was not registered.
HRESULT UnregisterGlyvor(const std::string& machine);

// A running instance, registered in the running-object table as a separate
// font-manager application would register itself. Stops (revokes) when it goes.
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
    DWORD m_cookie = 0;
};

// Calls the server module has received per dispatch identifier (failed ones
// included; any other identifier is counted under 0) since it was loaded or
// last reset. 0 when the module is not loaded.
ULONG GlyvorInvokeCount(DISPID member, const std::string& serverModule = DefaultServerModulePath());
void ResetGlyvorInvokeCounts(const std::string& serverModule = DefaultServerModulePath());

}  // namespace glyvor
