// A plug-in module's code in the host's process, and the resources of its file:
// what differs by platform when a host loads a module. dlopen and the module
// file on POSIX (module_code_posix.cpp); LoadLibraryW, GetProcAddress and the
// resource functions on Windows (module_code_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/resource_table.h"
#include "hostapi/messages.h"

namespace host::detail {

struct ModuleCode {
    void* handle = nullptr;
    PluginMainProc entry = nullptr;
    // Where the image lies in memory.
    std::uintptr_t base = 0;
    std::size_t span = 0;
};

// The module's full path, as the host keeps it. Throws ResourceError when the file
// cannot be found.
std::string CanonicalModulePath(const std::string& path);

// The resources of the module at `path`, read before any of its code runs.
// Throws ResourceError.
ResourceTable ReadModuleResourceTable(const std::string& path);

// Loads the code and finds the entry point named `entryName`. With a non-zero
// `avoidSpan`, the range [avoidBase, avoidBase + avoidSpan) is kept free while
// loading, so that the code lands elsewhere. Throws ResourceError; nothing stays
// loaded then.
ModuleCode LoadModuleCode(const std::string& path, const std::string& entryName,
                          std::uintptr_t avoidBase, std::size_t avoidSpan);

// Unloads the code. False, with the reason in *problem when given, when the
// module is still mapped afterwards.
bool UnloadModuleCode(ModuleCode& code, const std::string& path, std::string* problem);

// Whether any part of the module at `path` is mapped in the process.
bool IsModuleMapped(const std::string& path);

}  // namespace host::detail
