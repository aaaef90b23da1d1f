#include "host/host.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "host/current_plugin.h"
#include "module_code.h"
#include "platform_bridge.h"
#include "suite_tables.h"
#include "suite_wrappers.h"

namespace host {

namespace {

// The host's mark at the start of every message record.
constexpr ASInt32 kMessageCheckWord = HostFourCC('S', 'P', 'C', 'K');

std::string Hex(std::uintptr_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

}  // namespace

Host::Host() {
    if (s_current != nullptr)
        throw std::logic_error("only one simulated host can be live at a time");
    s_current = this;
    // A real host initialises COM on its user-interface thread before any plug-in
    // runs; the plug-ins' automation clients rely on it.
    m_apartmentEntered = detail::EnterApartment();
    RegisterSuites();
    detail::InstallAssertionSink(this);
    m_faults.SetObserver([this](const FiredFault& fault) {
        std::string where = fault.suite.empty() ? std::string() : fault.suite + " ";
        m_events.Add(EventKind::Fault, CurrentName(),
                     std::string(FaultKindName(fault.kind)) + " " + std::to_string(fault.call),
                     where + fault.function + " failed with " + FormatErrorCode(fault.code));
    });
}

Host::~Host() {
    detail::InstallAssertionSink(nullptr);
    // Code still loaded may free blocks from its static destructors, so it goes first,
    // while the host still answers.
    for (auto it = m_plugins.rbegin(); it != m_plugins.rend(); ++it) {
        CurrentPluginScope scope(it->get());
        (*it)->UnloadCode(nullptr);
    }
    m_plugins.clear();
    if (m_apartmentEntered) detail::LeaveApartment();
    s_current = nullptr;
}

SPBasicSuite* Host::BasicSuite() {
    return const_cast<SPBasicSuite*>(static_cast<const SPBasicSuite*>(
        detail::WrapSuiteTable(kSPBasicSuite, kSPBasicSuiteVersion, detail::BasicSuiteTable())));
}

void Host::SetMachineFolder(const std::string& folder) {
    m_machineFolder = folder;
    detail::SetPlatformMachineFolder(folder);
}

void Host::RegisterSuites() {
    // Placeholders first, so that the real tables registered after them win.
    detail::RegisterPlaceholderSuites(m_suites);
    detail::RegisterBasicSuite(m_suites);
    detail::RegisterAccessSuite(m_suites);
    detail::RegisterPluginsSuite(m_suites);
    detail::RegisterNotifierSuite(m_suites);
    detail::RegisterContextSuite(m_suites);
    detail::RegisterADMBasicSuites(m_suites);
    detail::RegisterMenuSuite(m_suites);
    detail::RegisterUnicodeStringSuite(m_suites);
}

void Host::Problem(LoadedPlugin* plugin, std::string subject, std::string detail) {
    m_events.Add(EventKind::Problem, plugin != nullptr ? plugin->Name() : std::string(),
                 std::move(subject), std::move(detail));
}

std::string Host::CurrentName() const {
    const LoadedPlugin* current = CurrentPluginScope::Current();
    return current != nullptr ? current->Name() : std::string();
}

// ---- Modules --------------------------------------------------------------------------

std::size_t Host::LoadPluginsFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entries(fs::u8path(folder), error);
    if (error) {
        Problem(nullptr, "cannot open the plug-ins folder", folder);
        return 0;
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().u8string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".aip") == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::size_t loaded = 0;
    for (const std::string& name : names)
        if (LoadModule(folder + "/" + name) != nullptr) ++loaded;
    return loaded;
}

LoadedPlugin* Host::LoadModule(const std::string& path) {
    try {
        // The loader would hand out the same code, statics and all, a second time.
        std::string resolved;
        try {
            resolved = detail::CanonicalModulePath(path);
        } catch (const ResourceError&) {
        }
        for (const auto& p : m_plugins)
            if (!resolved.empty() && p->Path() == resolved)
                throw ResourceError("the module is already loaded");
        auto plugin = std::make_unique<LoadedPlugin>(path);
        m_events.Add(EventKind::Load, plugin->Name(), "loaded",
                     plugin->Path() + " at " + Hex(plugin->LoadBase()));
        m_plugins.push_back(std::move(plugin));
        return m_plugins.back().get();
    } catch (const ResourceError& e) {
        m_refused.push_back({path, e.what()});
        Problem(nullptr, "module refused", path + ": " + e.what());
        return nullptr;
    }
}

LoadedPlugin* Host::FindPlugin(const std::string& name) const {
    for (const auto& p : m_plugins)
        if (p->Name() == name) return p.get();
    return nullptr;
}

LoadedPlugin* Host::FromRef(SPPluginRef ref) const {
    for (const auto& p : m_plugins)
        if (p->Ref() == ref) return p.get();
    return nullptr;
}

// ---- Messages -------------------------------------------------------------------------

ASErr Host::Send(LoadedPlugin& plugin, const char* caller, const char* selector,
                 SPMessageData& message, const std::string& detail) {
    const std::string what = std::string(caller) + "/" + selector;
    if (plugin.State() == PluginState::Unloaded && plugin.Entry() == nullptr) {
        // A plug-in that answers "Reload" with an error is loaded all the same and
        // still gets the message (a "Shutdown" above all, or it could free nothing).
        const ASErr reloaded = Reload(plugin);
        if (reloaded != kNoErr && plugin.Entry() == nullptr) return reloaded;
    }
    if (plugin.Entry() == nullptr) {
        Problem(&plugin, "message to a plug-in whose code is not loaded", what);
        return kBadParameterErr;
    }
    message.checkWord = kMessageCheckWord;
    message.self = plugin.Ref();
    message.globals = plugin.Globals();
    message.basic = BasicSuite();
    const std::size_t contextsBefore = m_contexts.size();
    // Logged before the call, so that what the message causes follows it in the log.
    const std::size_t logged = m_events.Add(EventKind::Message, plugin.Name(), what, detail);
    ASErr result;
    {
        CurrentPluginScope scope(&plugin);
        try {
            result = plugin.Entry()(caller, selector, &message);
        } catch (...) {
            // A plug-in must stop its exceptions; this one reached the host.
            Problem(&plugin, "exception escaped the plug-in", what);
            result = kCantHappenErr;
        }
    }
    plugin.SetGlobals(message.globals);
    m_events.SetResult(logged, result);
    if (m_contexts.size() != contextsBefore) {
        Problem(&plugin, "application context unbalanced",
                std::to_string(static_cast<long>(m_contexts.size()) -
                               static_cast<long>(contextsBefore)) +
                    " push(es) not popped by " + what);
        if (m_contexts.size() > contextsBefore) m_contexts.resize(contextsBefore);
    }
    return result;
}

ASErr Host::Startup(LoadedPlugin& plugin) {
    if (plugin.State() != PluginState::Loaded) return kBadParameterErr;
    SPMessageData message{};
    const ASErr result = Send(plugin, kSPInterfaceCaller, kSPInterfaceStartupSelector, message);
    if (result == kNoErr) {
        plugin.SetState(PluginState::Started);
        return kNoErr;
    }
    plugin.SetState(PluginState::Failed);
    Problem(&plugin, "start-up failed", FormatErrorCode(result));
    {
        CurrentPluginScope scope(&plugin);
        std::string why;
        if (!plugin.UnloadCode(&why)) Problem(&plugin, "module could not be unloaded", why);
    }
    ReportHoldings(plugin);
    return result;
}

bool Host::StartAll() {
    bool ok = true;
    for (const auto& plugin : m_plugins)
        if (plugin->State() == PluginState::Loaded && Startup(*plugin) != kNoErr) ok = false;
    FireNotifier(kAIApplicationStartedNotifier);
    return ok;
}

int Host::FireNotifier(const std::string& type, void* data) {
    // Registrations made while notifying wait for the next time.
    std::vector<AINotifier*> targets;
    for (const auto& n : m_notifiers)
        if (n->type == type && n->active) targets.push_back(n.get());
    int sent = 0;
    for (AINotifier* n : targets) {
        LoadedPlugin& plugin = *n->plugin;
        if (plugin.State() != PluginState::Started && plugin.State() != PluginState::Unloaded)
            continue;
        AINotifierMessage message{};
        message.notifier = n;
        message.type = n->type.c_str();
        message.notifyData = data;
        Send(plugin, kAINotifierCaller, kAINotifySelector, message.d, type);
        ++sent;
    }
    return sent;
}

int Host::UpdateMenus() {
    int sent = 0;
    for (AIMenuItem* item : m_menus.Items()) {
        if (!(item->options & kMenuItemWantsUpdateOption) || item->plugin == nullptr) continue;
        const PluginState state = item->plugin->State();
        if (state != PluginState::Started && state != PluginState::Unloaded) continue;
        AIMenuMessage message{};
        message.menuItem = item;
        Send(*item->plugin, kAIMenuCaller, kAIUpdateSelector, message.d, item->keyName);
        ++sent;
    }
    return sent;
}

ASErr Host::ChooseMenuItem(AIMenuItem* item) {
    if (!m_menus.Contains(item) || item->plugin == nullptr) return kBadParameterErr;
    const PluginState state = item->plugin->State();
    if (state != PluginState::Started && state != PluginState::Unloaded) return kBadParameterErr;
    AIMenuMessage message{};
    message.menuItem = item;
    return Send(*item->plugin, kAIMenuCaller, kAIGoSelector, message.d, item->keyName);
}

ASErr Host::About(LoadedPlugin& plugin) {
    if (plugin.State() != PluginState::Started && plugin.State() != PluginState::Unloaded)
        return kBadParameterErr;
    SPMessageData message{};
    return Send(plugin, kSPInterfaceCaller, kSPInterfaceAboutSelector, message);
}

ASErr Host::Unload(LoadedPlugin& plugin) {
    if (plugin.State() != PluginState::Started || plugin.Entry() == nullptr)
        return kBadParameterErr;
    if (AccessCount(&plugin) > 0) {
        m_events.Add(EventKind::Load, plugin.Name(), "kept loaded",
                     "the plug-in holds itself loaded");
        return kBadParameterErr;
    }
    SPMessageData message{};
    const ASErr result = Send(plugin, kSPAccessCaller, kSPAccessUnloadSelector, message);
    std::string why;
    {
        CurrentPluginScope scope(&plugin);
        if (!plugin.UnloadCode(&why)) Problem(&plugin, "module could not be unloaded", why);
    }
    plugin.SetState(PluginState::Unloaded);
    m_events.Add(EventKind::Load, plugin.Name(), "unloaded", why.empty() ? "" : "still mapped");
    return result;
}

ASErr Host::Reload(LoadedPlugin& plugin) {
    if (plugin.State() != PluginState::Unloaded) return kBadParameterErr;
    const std::uintptr_t oldBase = plugin.LoadBase();
    try {
        plugin.ReloadCode(true);
    } catch (const ResourceError& e) {
        Problem(&plugin, "module could not be reloaded", e.what());
        return kBadParameterErr;
    }
    plugin.SetState(PluginState::Started);
    m_events.Add(EventKind::Load, plugin.Name(), "reloaded",
                 "at " + Hex(plugin.LoadBase()) + ", was " + Hex(oldBase));
    SPMessageData message{};
    return Send(plugin, kSPAccessCaller, kSPAccessReloadSelector, message);
}

ASErr Host::Shutdown(LoadedPlugin& plugin) {
    if (plugin.State() != PluginState::Started && plugin.State() != PluginState::Unloaded)
        return kBadParameterErr;
    SPMessageData message{};
    const ASErr result = Send(plugin, kSPInterfaceCaller, kSPInterfaceShutdownSelector, message);
    {
        CurrentPluginScope scope(&plugin);
        std::string why;
        if (!plugin.UnloadCode(&why)) Problem(&plugin, "module could not be unloaded", why);
    }
    plugin.SetState(PluginState::ShutDown);
    ReportHoldings(plugin);
    return result;
}

void Host::ShutdownAll() {
    for (auto it = m_plugins.rbegin(); it != m_plugins.rend(); ++it) {
        const PluginState state = (*it)->State();
        if (state == PluginState::Started || state == PluginState::Unloaded) Shutdown(**it);
    }
}

void Host::ReportHoldings(LoadedPlugin& plugin) {
    const AllocationStats stats = m_memory.Stats(&plugin);
    if (stats.blocksOutstanding != 0)
        Problem(&plugin, "blocks left allocated",
                std::to_string(stats.blocksOutstanding) + " block(s), " +
                    std::to_string(stats.bytesOutstanding) + " byte(s)");
    for (const std::string& suite : HeldSuites(&plugin))
        Problem(&plugin, "suite not released", suite);
    if (const int access = AccessCount(&plugin))
        Problem(&plugin, "access references not released", std::to_string(access));
    if (const std::size_t strings = m_strings.LiveCount(&plugin))
        Problem(&plugin, "host strings not destroyed", std::to_string(strings));
}

// ---- What plug-ins hold ---------------------------------------------------------------

int Host::SuiteUseCount(const LoadedPlugin* plugin, const std::string& name,
                        ASInt32 version) const {
    const auto it = m_suiteUse.find({plugin, name, version});
    return it == m_suiteUse.end() ? 0 : it->second;
}

std::vector<std::string> Host::HeldSuites(const LoadedPlugin* plugin) const {
    std::vector<std::string> held;
    for (const auto& entry : m_suiteUse)
        if (std::get<0>(entry.first) == plugin && entry.second > 0)
            held.push_back(std::get<1>(entry.first) + " " +
                           std::to_string(std::get<2>(entry.first)) + " (" +
                           std::to_string(entry.second) + ")");
    return held;
}

void Host::RefuseSuite(const std::string& name, bool refuse, ASErr answer) {
    if (refuse)
        m_refusedSuites[name] = answer;
    else
        m_refusedSuites.erase(name);
}

ASErr Host::AcquireSuite(const char* name, ASInt32 version, const void** suite) {
    if (suite == nullptr) return kBadParameterErr;
    *suite = nullptr;
    if (name == nullptr) return kBadParameterErr;
    LoadedPlugin* plugin = CurrentPluginScope::Current();
    if (const auto refused = m_refusedSuites.find(name); refused != m_refusedSuites.end()) {
        m_events.Add(EventKind::Load, CurrentName(), "suite refused",
                     std::string(name) + " " + std::to_string(version));
        return refused->second;
    }
    if (!m_suites.HasName(name)) return kSuiteNotFoundErr;
    const void* table = m_suites.Find(name, version);
    if (table == nullptr) return kSuiteVersionErr;
    *suite = detail::WrapSuiteTable(name, version, table);
    ++m_suiteUse[{plugin, name, version}];
    return kNoErr;
}

ASErr Host::ReleaseSuite(const char* name, ASInt32 version) {
    if (name == nullptr) return kBadParameterErr;
    LoadedPlugin* plugin = CurrentPluginScope::Current();
    const auto it = m_suiteUse.find({plugin, name, version});
    if (it == m_suiteUse.end() || it->second == 0) {
        Problem(plugin, "release of a suite not acquired",
                std::string(name) + " " + std::to_string(version));
        return kBadParameterErr;
    }
    --it->second;
    return kNoErr;
}

AINotifier* Host::AddNotifier(LoadedPlugin* plugin, const std::string& name,
                              const std::string& type) {
    auto notifier = std::make_unique<AINotifier>();
    notifier->plugin = plugin;
    notifier->name = name;
    notifier->type = type;
    m_notifiers.push_back(std::move(notifier));
    m_events.Add(EventKind::Registration, plugin->Name(), "notifier", name + " for " + type);
    return m_notifiers.back().get();
}

bool Host::IsNotifier(const AINotifier* notifier) const {
    for (const auto& n : m_notifiers)
        if (n.get() == notifier) return true;
    return false;
}

AIAppContext* Host::PushContext(LoadedPlugin* plugin) {
    auto context = std::make_unique<AIAppContext>();
    context->plugin = plugin;
    context->serial = ++m_contextSerial;
    m_contexts.push_back(std::move(context));
    return m_contexts.back().get();
}

ASErr Host::PopContext(AIAppContext* context) {
    if (m_contexts.empty()) {
        Problem(CurrentPluginScope::Current(), "application context popped without a push", "");
        return kBadParameterErr;
    }
    if (m_contexts.back().get() != context) {
        Problem(CurrentPluginScope::Current(), "application context popped out of order", "");
        return kBadParameterErr;
    }
    m_contexts.pop_back();
    return kNoErr;
}

SPAccess* Host::AcquireAccess(LoadedPlugin* plugin) {
    auto access = std::make_unique<SPAccess>();
    access->plugin = plugin;
    m_access.push_back(std::move(access));
    return m_access.back().get();
}

ASErr Host::ReleaseAccess(SPAccess* access) {
    for (auto it = m_access.begin(); it != m_access.end(); ++it) {
        if (it->get() == access) {
            m_access.erase(it);
            return kNoErr;
        }
    }
    Problem(CurrentPluginScope::Current(), "release of an access reference the host never gave out",
            "");
    return kBadParameterErr;
}

int Host::AccessCount(const LoadedPlugin* plugin) const {
    return static_cast<int>(std::count_if(m_access.begin(), m_access.end(),
                                          [plugin](const auto& a) { return a->plugin == plugin; }));
}

void Host::SetStringList(LoadedPlugin& plugin, ASInt32 listID, std::vector<std::string> strings) {
    plugin.StringLists()[listID] = std::move(strings);
}

void Host::RecordAssertion(const char* expression, const char* source, int line) {
    m_events.Add(EventKind::Assertion, CurrentName(), expression ? expression : "",
                 std::string(source ? source : "") + ", line " + std::to_string(line));
}

}  // namespace host
