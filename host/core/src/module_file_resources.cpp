// The resources of a module file as the POSIX host reads them from the file
// itself: an ELF module's ".rsrc" section, or a PE image's resource tree. (The
// Windows host asks the loader: module_code_windows.cpp.)
#include "host/resource_table.h"

namespace host {

ResourceTable ReadModuleResources(const std::vector<std::uint8_t>& file) {
    if (file.size() >= 4 && file[0] == 0x7F && file[1] == 'E' && file[2] == 'L' && file[3] == 'F')
        return ReadElfResources(file.data(), file.size());
    if (file.size() >= 2 && file[0] == 'M' && file[1] == 'Z')
        return ReadPeResources(file.data(), file.size());
    throw ResourceError("not a module: neither an ELF nor a PE file");
}

ResourceTable ReadModuleResourcesFromFile(const std::string& path) {
    return ReadModuleResources(ReadWholeFile(path));
}

}  // namespace host
