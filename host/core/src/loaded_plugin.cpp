#include "host/loaded_plugin.h"

#include "hostapi/pipl.h"
#include "module_code.h"

namespace host {

namespace {

std::string Stem(const std::string& path) {
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

const char* PluginStateName(PluginState state) {
    switch (state) {
        case PluginState::Loaded:
            return "loaded";
        case PluginState::Started:
            return "started";
        case PluginState::Unloaded:
            return "unloaded";
        case PluginState::Failed:
            return "failed";
        case PluginState::ShutDown:
            return "shut down";
    }
    return "?";
}

LoadedPlugin::LoadedPlugin(std::string path)
    : m_path(detail::CanonicalModulePath(path)), m_name(Stem(path)) {
    m_resources = detail::ReadModuleResourceTable(m_path);
    const std::vector<std::uint8_t>* piplBytes =
        m_resources.Find(kPiPLResourceType, 16000, kResourceLanguageUSEnglish);
    if (piplBytes == nullptr)
        throw ResourceError("the module has no property list (PIPL 16000, language 1033)");
    const PiplCheck check = CheckPipl(ParsePipl(piplBytes->data(), piplBytes->size()));
    if (!check.ok) throw ResourceError(check.error);
    m_entryName = check.entryName;
    m_piplName = check.pluginName;
    LoadCode(0, 0);
}

LoadedPlugin::~LoadedPlugin() {
    if (m_handle != nullptr) {
        detail::ModuleCode code{m_handle, m_entry, m_loadBase, m_loadSpan};
        detail::UnloadModuleCode(code, m_path, nullptr);
    }
}

void LoadedPlugin::LoadCode(std::uintptr_t avoidBase, std::size_t avoidSpan) {
    const detail::ModuleCode code =
        detail::LoadModuleCode(m_path, m_entryName, avoidBase, avoidSpan);
    m_handle = code.handle;
    m_entry = code.entry;
    ++m_loadCount;
    if (code.span != 0) {
        m_loadBase = code.base;
        m_loadSpan = code.span;
    }
}

bool LoadedPlugin::IsMapped() const { return detail::IsModuleMapped(m_path); }

bool LoadedPlugin::UnloadCode(std::string* problem) {
    if (m_handle == nullptr) return true;
    detail::ModuleCode code{m_handle, m_entry, m_loadBase, m_loadSpan};
    m_handle = nullptr;
    m_entry = nullptr;
    return detail::UnloadModuleCode(code, m_path, problem);
}

void LoadedPlugin::ReloadCode(bool elsewhere) {
    if (m_handle != nullptr) return;
    // The old range can only be kept free once nothing of the module is in it.
    const bool avoid = elsewhere && m_loadSpan != 0 && !IsMapped();
    LoadCode(avoid ? m_loadBase : 0, avoid ? m_loadSpan : 0);
}

}  // namespace host
