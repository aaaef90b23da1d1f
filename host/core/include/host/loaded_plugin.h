// One plug-in module the host has found: its file, resources and property list, its
// code while loaded, and the globals word the host keeps for it between messages.
// An SPPluginRef is a LoadedPlugin* behind the opaque type.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/pipl.h"
#include "host/resource_table.h"
#include "hostapi/messages.h"

namespace host {

enum class PluginState {
    Loaded,    // code loaded, not started
    Started,   // start-up succeeded
    Unloaded,  // started, code unloaded; the globals word is kept
    Failed,    // start-up failed
    ShutDown,  // shut down and its code unloaded
};

const char* PluginStateName(PluginState state);

class LoadedPlugin {
public:
    // Reads and checks the module's resources and property list and loads its code.
    // Throws ResourceError with the reason when the module is refused; nothing of it
    // stays loaded then.
    explicit LoadedPlugin(std::string path);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    SPPluginRef Ref() { return reinterpret_cast<SPPluginRef>(this); }

    const std::string& Path() const { return m_path; }
    // The file name without folder and extension, until the plug-in sets its own name.
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    const std::string& PiplName() const { return m_piplName; }
    const std::string& EntryName() const { return m_entryName; }
    const ResourceTable& Resources() const { return m_resources; }

    PluginState State() const { return m_state; }
    void SetState(PluginState state) { m_state = state; }
    bool CodeLoaded() const { return m_handle != nullptr; }
    PluginMainProc Entry() const { return m_entry; }
    // Where the code was mapped at its last load.
    std::uintptr_t LoadBase() const { return m_loadBase; }
    std::size_t LoadSpan() const { return m_loadSpan; }
    int LoadCount() const { return m_loadCount; }

    void* Globals() const { return m_globals; }
    void SetGlobals(void* globals) { m_globals = globals; }

    // Unloads the code, then checks that no part of the module is still mapped.
    // Returns false, with the reason, when the system kept it (on glibc: unique
    // symbols or NODELETE).
    bool UnloadCode(std::string* problem);
    // Loads the code again; with `elsewhere`, the old address range is reserved while
    // loading so that the code lands at a different address. Throws ResourceError.
    void ReloadCode(bool elsewhere);
    // Whether any mapping of this module's file is still in the process.
    bool IsMapped() const;

    // Indexed string lists the host answers through the ADM Basic suite.
    std::map<ASInt32, std::vector<std::string>>& StringLists() { return m_stringLists; }

private:
    // Keeps [avoidBase, avoidBase + avoidSpan) free while loading, when avoidSpan
    // is not zero.
    void LoadCode(std::uintptr_t avoidBase, std::size_t avoidSpan);

    std::string m_path;
    std::string m_name;
    std::string m_piplName;
    std::string m_entryName;
    ResourceTable m_resources;
    PluginState m_state = PluginState::Loaded;
    void* m_handle = nullptr;
    PluginMainProc m_entry = nullptr;
    std::uintptr_t m_loadBase = 0;
    std::size_t m_loadSpan = 0;
    int m_loadCount = 0;
    void* m_globals = nullptr;
    std::map<ASInt32, std::vector<std::string>> m_stringLists;
};

}  // namespace host
