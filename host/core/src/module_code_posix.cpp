// Modules on POSIX: dlopen, the mappings glibc reports, and the resources the
// module file carries in its ".rsrc" section.
#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "elf_image.h"
#include "module_code.h"

namespace host::detail {

namespace {

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

// Reserves the range so that nothing else is mapped there; null when it cannot.
void* Reserve(std::uintptr_t base, std::size_t span) {
    void* wanted = reinterpret_cast<void*>(base);
    void* got = mmap(wanted, span, PROT_NONE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE | MAP_NORESERVE, -1, 0);
    if (got == wanted) return got;
    if (got != MAP_FAILED) munmap(got, span);  // an old kernel took the address as a hint only
    return nullptr;
}

}  // namespace

std::string CanonicalModulePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        throw ResourceError("cannot find module " + path);
    return resolved;
}

ResourceTable ReadModuleResourceTable(const std::string& path) {
    return ReadModuleResourcesFromFile(path);
}

ModuleCode LoadModuleCode(const std::string& path, const std::string& entryName,
                          std::uintptr_t avoidBase, std::size_t avoidSpan) {
    void* reserved = avoidSpan != 0 ? Reserve(avoidBase, avoidSpan) : nullptr;
    struct Release {
        void* range;
        std::size_t span;
        ~Release() {
            if (range != nullptr) munmap(range, span);
        }
    } release{reserved, avoidSpan};

    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        throw ResourceError(std::string("cannot load the module's code: ") + (why ? why : "?"));
    }
    void* entry = dlsym(handle, entryName.c_str());
    if (entry == nullptr) {
        dlclose(handle);
        throw ResourceError("the module does not export its entry point \"" + entryName + "\"");
    }
    ModuleCode code;
    code.handle = handle;
    code.entry = reinterpret_cast<PluginMainProc>(entry);
    MappingQuery query{path.c_str(), 0};
    dl_iterate_phdr(VisitObject, &query);
    if (query.found && query.high > query.low) {
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        code.base = query.low & ~(page - 1);
        code.span = ((query.high + page - 1) & ~(page - 1)) - code.base;
    }
    return code;
}

bool IsModuleMapped(const std::string& path) {
    MappingQuery query{path.c_str(), 0};
    dl_iterate_phdr(VisitObject, &query);
    return query.found || InProcessMaps(path);
}

bool UnloadModuleCode(ModuleCode& code, const std::string& path, std::string* problem) {
    if (code.handle == nullptr) return true;
    dlclose(code.handle);
    code.handle = nullptr;
    code.entry = nullptr;
    if (!IsModuleMapped(path)) return true;
    if (problem != nullptr) {
        std::string why = "the module is still mapped after dlclose";
        try {
            const std::vector<std::uint8_t> file = ReadWholeFile(path);
            const ElfUnloadBlockers blockers = FindElfUnloadBlockers(file.data(), file.size());
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

}  // namespace host::detail
