// The simulated host application: finds and loads plug-in modules, sends them the
// host's messages in the host's order, offers every suite, and keeps account of what
// each plug-in holds. One Host is live at a time; the suites' C functions reach it
// through Host::Current(). The thread that makes it is its user-interface thread: it
// initialises COM there, as a real host does, until it goes.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "host/block_accounting.h"
#include "host/event_log.h"
#include "host/fault_plan.h"
#include "host/host_objects.h"
#include "host/host_strings.h"
#include "host/loaded_plugin.h"
#include "host/menus.h"
#include "host/suite_registry.h"
#include "hostapi/suites.h"

namespace host {

struct RefusedModule {
    std::string path;
    std::string reason;
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The live host, or null. Every call a plug-in makes asks, so it costs a load.
    static Host* Current() { return s_current; }

    EventLog& Events() { return m_events; }
    const EventLog& Events() const { return m_events; }
    SuiteRegistry& Suites() { return m_suites; }
    BlockAccounting& Memory() { return m_memory; }
    Menus& Menu() { return m_menus; }
    HostStrings& Strings() { return m_strings; }
    // Which of the plug-ins' calls fail; every call a plug-in makes through the host's
    // suites passes it.
    FaultPlan& Faults() { return m_faults; }
    // The basic suite as messages carry it.
    SPBasicSuite* BasicSuite();

    // The simulated machine's folder (fonts, preferences, registrations); empty when
    // none was given. Passed on to the platform layer.
    void SetMachineFolder(const std::string& folder);
    const std::string& MachineFolder() const { return m_machineFolder; }

    // ---- Modules ------------------------------------------------------------------
    // Loads every ".aip" of the folder in name order; returns how many were loaded.
    // Refused modules are reported and listed in Refused().
    std::size_t LoadPluginsFolder(const std::string& folder);
    // Null when refused.
    LoadedPlugin* LoadModule(const std::string& path);
    const std::vector<RefusedModule>& Refused() const { return m_refused; }
    const std::vector<std::unique_ptr<LoadedPlugin>>& Plugins() const { return m_plugins; }
    LoadedPlugin* FindPlugin(const std::string& name) const;
    // The plug-in behind a reference, or null when the host never gave it out.
    LoadedPlugin* FromRef(SPPluginRef ref) const;

    // ---- Messages -----------------------------------------------------------------
    // Sends one message; the record's basic data is filled in here and the globals
    // word kept. A plug-in whose code is unloaded is reloaded first.
    ASErr Send(LoadedPlugin& plugin, const char* caller, const char* selector,
               SPMessageData& message, const std::string& detail = {});
    ASErr Startup(LoadedPlugin& plugin);
    // "Startup" to every loaded plug-in in load order, then the application-started
    // notifier. True when every start-up succeeded.
    bool StartAll();
    // "AI Notifier"/"AI Notify" to every active registration of the type, in the
    // order of registration. Returns the number of plug-ins notified.
    int FireNotifier(const std::string& type, void* data = nullptr);
    // "AI Update" to every item added with the update option, before a menu is shown.
    int UpdateMenus();
    ASErr ChooseMenuItem(AIMenuItem* item);
    ASErr About(LoadedPlugin& plugin);
    // "SP Access"/"Unload", then the code really unloaded (refused while the plug-in
    // holds itself loaded).
    ASErr Unload(LoadedPlugin& plugin);
    // Loads the code again, at a different address, and sends "SP Access"/"Reload".
    ASErr Reload(LoadedPlugin& plugin);
    ASErr Shutdown(LoadedPlugin& plugin);
    // "Shutdown" in reverse load order, code unloaded, then every block, suite,
    // access reference and host string a plug-in still holds reported as a problem.
    void ShutdownAll();
    // True when no problem was reported since the host was made.
    bool Clean() const { return m_events.Count(EventKind::Problem) == 0; }

    // ---- What plug-ins hold -------------------------------------------------------
    int SuiteUseCount(const LoadedPlugin* plugin, const std::string& name, ASInt32 version) const;
    // Suites acquired and not released, as "name version (count)".
    std::vector<std::string> HeldSuites(const LoadedPlugin* plugin) const;
    // Refuse every acquisition of the named suite, answering `answer`.
    void RefuseSuite(const std::string& name, bool refuse = true, ASErr answer = kSuiteNotFoundErr);
    int AccessCount(const LoadedPlugin* plugin) const;
    std::size_t ContextDepth() const { return m_contexts.size(); }

    // ---- Indexed string lists of the ADM Basic suite --------------------------------
    void SetStringList(LoadedPlugin& plugin, ASInt32 listID, std::vector<std::string> strings);

    // ---- Called by the suites -----------------------------------------------------
    ASErr AcquireSuite(const char* name, ASInt32 version, const void** suite);
    ASErr ReleaseSuite(const char* name, ASInt32 version);
    AINotifier* AddNotifier(LoadedPlugin* plugin, const std::string& name, const std::string& type);
    bool IsNotifier(const AINotifier* notifier) const;
    const std::vector<std::unique_ptr<AINotifier>>& Notifiers() const { return m_notifiers; }
    AIAppContext* PushContext(LoadedPlugin* plugin);
    ASErr PopContext(AIAppContext* context);
    SPAccess* AcquireAccess(LoadedPlugin* plugin);
    ASErr ReleaseAccess(SPAccess* access);
    // An assertion of the plug-in currently working, or of the host.
    void RecordAssertion(const char* expression, const char* source, int line);
    // A name for the event log: the current plug-in's, or empty.
    std::string CurrentName() const;

private:
    static inline Host* s_current = nullptr;
    void RegisterSuites();
    void ReportHoldings(LoadedPlugin& plugin);
    void Problem(LoadedPlugin* plugin, std::string subject, std::string detail);

    std::string m_machineFolder;
    bool m_apartmentEntered = false;
    EventLog m_events;
    FaultPlan m_faults;
    SuiteRegistry m_suites;
    BlockAccounting m_memory{m_events, m_faults};
    Menus m_menus;
    HostStrings m_strings{m_faults};
    std::vector<std::unique_ptr<LoadedPlugin>> m_plugins;
    std::vector<RefusedModule> m_refused;
    std::map<std::tuple<const LoadedPlugin*, std::string, ASInt32>, int> m_suiteUse;
    std::map<std::string, ASErr> m_refusedSuites;
    std::vector<std::unique_ptr<AINotifier>> m_notifiers;
    std::vector<std::unique_ptr<AIAppContext>> m_contexts;
    unsigned long m_contextSerial = 0;
    std::vector<std::unique_ptr<SPAccess>> m_access;
};

}  // namespace host
