#include "host/loaded_plugin.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "elf_image.h"
#include "hostapi/pipl.h"

namespace host {

namespace {

std::string CanonicalPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        throw ResourceError("cannot find module " + path);
    return resolved;
}

std::string Stem(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

struct MappingQuery {
    const char* path;
    std::uintptr_t base;
    bool found = false;
    std::uintptr_t low = UINTPTR_MAX;
    std::uintptr_t high = 0;
};

int VisitObject(dl_phdr_info* info, std::size_t, void* data) {
    auto* query = static_cast<MappingQuery*>(data);
    if (info->dlpi_name == nullptr || std::string(info->dlpi_name) != query->path) return 0;
    query->found = true;
    query->base = info->dlpi_addr;
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_LOAD) continue;
        query->low = std::min<std::uintptr_t>(query->low, info->dlpi_addr + ph.p_vaddr);
        query->high =
            std::max<std::uintptr_t>(query->high, info->dlpi_addr + ph.p_vaddr + ph.p_memsz);
    }
    return 1;
}

bool InProcessMaps(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const auto slash = line.find('/');
        if (slash != std::string::npos && line.compare(slash, std::string::npos, path) == 0)
            return true;
    }
    return false;
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

LoadedPlugin::LoadedPlugin(std::string path) : m_path(CanonicalPath(path)), m_name(Stem(path)) {
    m_resources = ReadModuleResourcesFromFile(m_path);
    const std::vector<std::uint8_t>* piplBytes =
        m_resources.Find(kPiPLResourceType, 16000, kResourceLanguageUSEnglish);
    if (piplBytes == nullptr)
        throw ResourceError("the module has no property list (PIPL 16000, language 1033)");
    const PiplCheck check = CheckPipl(ParsePipl(piplBytes->data(), piplBytes->size()));
    if (!check.ok) throw ResourceError(check.error);
    m_entryName = check.entryName;
    m_piplName = check.pluginName;
    LoadCode();
}

LoadedPlugin::~LoadedPlugin() {
    if (m_handle != nullptr) dlclose(m_handle);
}

void LoadedPlugin::LoadCode() {
    dlerror();
    void* handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        throw ResourceError(std::string("cannot load the module's code: ") + (why ? why : "?"));
    }
    void* entry = dlsym(handle, m_entryName.c_str());
    if (entry == nullptr) {
        dlclose(handle);
        throw ResourceError("the module does not export its entry point \"" + m_entryName + "\"");
    }
    m_handle = handle;
    m_entry = reinterpret_cast<PluginMainProc>(entry);
    ++m_loadCount;
    MappingQuery query{m_path.c_str(), 0};
    dl_iterate_phdr(VisitObject, &query);
    if (query.found && query.high > query.low) {
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        m_loadBase = query.low & ~(page - 1);
        m_loadSpan = ((query.high + page - 1) & ~(page - 1)) - m_loadBase;
    }
}

bool LoadedPlugin::IsMapped() const {
    MappingQuery query{m_path.c_str(), 0};
    dl_iterate_phdr(VisitObject, &query);
    return query.found || InProcessMaps(m_path);
}

bool LoadedPlugin::UnloadCode(std::string* problem) {
    if (m_handle == nullptr) return true;
    dlclose(m_handle);
    m_handle = nullptr;
    m_entry = nullptr;
    if (!IsMapped()) return true;
    if (problem != nullptr) {
        std::string why = "the module is still mapped after dlclose";
        try {
            const std::vector<std::uint8_t> file = ReadWholeFile(m_path);
            const detail::ElfUnloadBlockers blockers =
                detail::FindElfUnloadBlockers(file.data(), file.size());
            if (!blockers.uniqueSymbols.empty()) {
                why += ": glibc keeps modules with STB_GNU_UNIQUE symbols loaded (" +
                       std::to_string(blockers.uniqueSymbols.size()) + ", first " +
                       blockers.uniqueSymbols.front() + ")";
            } else if (blockers.noDelete) {
                why += ": the module is marked NODELETE";
            }
        } catch (const ResourceError&) {
        }
        *problem = why;
    }
    return false;
}

void LoadedPlugin::ReloadCode(bool elsewhere) {
    if (m_handle != nullptr) return;
    void* reserved = nullptr;
    if (elsewhere && m_loadSpan != 0 && !IsMapped()) {
        void* wanted = reinterpret_cast<void*>(m_loadBase);
        void* got = mmap(wanted, m_loadSpan, PROT_NONE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE | MAP_NORESERVE, -1, 0);
        if (got == wanted) {
            reserved = got;
        } else if (got != MAP_FAILED) {
            munmap(got, m_loadSpan);  // an old kernel took the address as a hint only
        }
    }
    const std::size_t span = m_loadSpan;
    try {
        LoadCode();
    } catch (...) {
        if (reserved != nullptr) munmap(reserved, span);
        throw;
    }
    if (reserved != nullptr) munmap(reserved, span);
}

}  // namespace host
