// Just enough of an ELF file for the host: its sections, the ".rsrc" section, and
// what keeps glibc from unloading it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host::detail {

struct ElfSection {
    std::string name;
    std::uint32_t nameIndex = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
    std::uint64_t entrySize = 0;
};

// Throws ResourceError on a malformed file.
std::vector<ElfSection> ReadElfSections(const std::uint8_t* data, std::size_t size);

// Defined symbols with STB_GNU_UNIQUE binding, and whether DF_1_NODELETE is set:
// either makes dlclose keep the module mapped.
struct ElfUnloadBlockers {
    std::vector<std::string> uniqueSymbols;
    bool noDelete = false;
};
ElfUnloadBlockers FindElfUnloadBlockers(const std::uint8_t* data, std::size_t size);

}  // namespace host::detail
