// One session of the simulated host with the built Lumaro.aip, driven through the
// same commands a user types into lumaro-host, over and over: the plug-in's code
// unloaded and reloaded, and documents opened, their fonts found, activated,
// deactivated again and the documents closed. Every cycle checks that it did its
// work, so that a flat count cannot come from cycles that quietly did nothing.
#pragma once

#include <cstddef>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {
class LoadedPlugin;
namespace session {
class Session;
}
}  // namespace host

namespace endurance {

// A cycle did not do what a user would have seen it do.
class CycleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What is held at one moment.
struct Holdings {
    std::size_t pluginBlocks = 0;  // the plug-in's live blocks, by the host's accounting
    std::size_t pluginBytes = 0;
    long liveBstrs = 0;    // BSTRs alive in the process (plug-in and font manager)
    long liveProxies = 0;  // automation proxies alive
    long residentKiB = 0;  // the process's resident memory
};

class EnduranceSession {
public:
    // Starts the host on a fresh machine folder with the plug-ins folder given, the
    // font manager indexed over the Liberation fonts and running, and a few
    // documents that use fonts of it. Throws CycleError.
    explicit EnduranceSession(const std::string& pluginsFolder);
    ~EnduranceSession();
    EnduranceSession(const EnduranceSession&) = delete;
    EnduranceSession& operator=(const EnduranceSession&) = delete;

    // Opens the next document of the set, presses Find, selects the first row and
    // presses Activate, presses Find and Activate All for the rest, deactivates
    // them all (as the font manager's user would, so that the next cycle has work
    // again) and closes the document. Needs the panel.
    void DocumentCycle();
    // The host destroys the panel's dialog; while it exists the host keeps the code
    // loaded. After this only unload cycles make sense.
    void DestroyPanel();
    // Unloads the plug-in's code, loads it again and lets it update its menu item.
    void UnloadCycle();

    Holdings Held() const;

private:
    // Runs a command; throws CycleError with what the session said when it fails.
    void Run(const std::string& line);
    void ExpectMissing(std::size_t count, const char* when) const;
    // Throws when the host has recorded a problem, an assertion or an alert since
    // the last check.
    void CheckNoComplaints();

    std::ostringstream m_out;
    std::unique_ptr<host::session::Session> m_session;
    host::LoadedPlugin* m_plugin = nullptr;
    std::vector<std::string> m_documents;
    std::size_t m_fontsPerDocument = 0;
    std::size_t m_next = 0;
    std::size_t m_eventsChecked = 0;
};

}  // namespace endurance
