#include "elf_image.h"

#include <elf.h>

#include "byte_reader.h"
#include "host/resource_table.h"
#include "hostapi/pipl.h"

namespace host::detail {

namespace {

struct Header {
    bool is64;
    std::uint64_t shoff;
    std::uint16_t shentsize;
    std::uint16_t shnum;
    std::uint16_t shstrndx;
};

Header ReadHeader(const ByteReader& in) {
    in.Require(0, EI_NIDENT, "ELF identification");
    const std::uint8_t* d = in.Data();
    if (d[EI_MAG0] != ELFMAG0 || d[EI_MAG1] != ELFMAG1 || d[EI_MAG2] != ELFMAG2 ||
        d[EI_MAG3] != ELFMAG3)
        throw ResourceError("not an ELF file");
    if (d[EI_DATA] != ELFDATA2LSB) throw ResourceError("ELF file is not little-endian");
    Header h{};
    if (d[EI_CLASS] == ELFCLASS64) {
        h.is64 = true;
        h.shoff = in.U64(offsetof(Elf64_Ehdr, e_shoff), "ELF header");
        h.shentsize = in.U16(offsetof(Elf64_Ehdr, e_shentsize), "ELF header");
        h.shnum = in.U16(offsetof(Elf64_Ehdr, e_shnum), "ELF header");
        h.shstrndx = in.U16(offsetof(Elf64_Ehdr, e_shstrndx), "ELF header");
        if (h.shnum != 0 && h.shentsize < sizeof(Elf64_Shdr))
            throw ResourceError("ELF section header entries are too small");
    } else if (d[EI_CLASS] == ELFCLASS32) {
        h.is64 = false;
        h.shoff = in.U32(offsetof(Elf32_Ehdr, e_shoff), "ELF header");
        h.shentsize = in.U16(offsetof(Elf32_Ehdr, e_shentsize), "ELF header");
        h.shnum = in.U16(offsetof(Elf32_Ehdr, e_shnum), "ELF header");
        h.shstrndx = in.U16(offsetof(Elf32_Ehdr, e_shstrndx), "ELF header");
        if (h.shnum != 0 && h.shentsize < sizeof(Elf32_Shdr))
            throw ResourceError("ELF section header entries are too small");
    } else {
        throw ResourceError("unknown ELF class");
    }
    return h;
}

ElfSection ReadSectionHeader(const ByteReader& in, const Header& h, std::size_t index) {
    const std::uint64_t at = h.shoff + index * static_cast<std::uint64_t>(h.shentsize);
    if (at < h.shoff || at > in.Size()) throw ResourceError("ELF section header out of range");
    const auto o = static_cast<std::size_t>(at);
    ElfSection s;
    if (h.is64) {
        s.type = in.U32(o + offsetof(Elf64_Shdr, sh_type), "ELF section header");
        s.offset = in.U64(o + offsetof(Elf64_Shdr, sh_offset), "ELF section header");
        s.size = in.U64(o + offsetof(Elf64_Shdr, sh_size), "ELF section header");
        s.link = in.U32(o + offsetof(Elf64_Shdr, sh_link), "ELF section header");
        s.entrySize = in.U64(o + offsetof(Elf64_Shdr, sh_entsize), "ELF section header");
        s.nameIndex = in.U32(o + offsetof(Elf64_Shdr, sh_name), "ELF section header");
    } else {
        s.type = in.U32(o + offsetof(Elf32_Shdr, sh_type), "ELF section header");
        s.offset = in.U32(o + offsetof(Elf32_Shdr, sh_offset), "ELF section header");
        s.size = in.U32(o + offsetof(Elf32_Shdr, sh_size), "ELF section header");
        s.link = in.U32(o + offsetof(Elf32_Shdr, sh_link), "ELF section header");
        s.entrySize = in.U32(o + offsetof(Elf32_Shdr, sh_entsize), "ELF section header");
        s.nameIndex = in.U32(o + offsetof(Elf32_Shdr, sh_name), "ELF section header");
    }
    return s;
}

// Checks a section's bytes lie inside the file (NOBITS sections have none).
void RequireContents(const ByteReader& in, const ElfSection& s) {
    if (s.type == SHT_NOBITS) return;
    if (s.offset > in.Size() || s.size > in.Size() - s.offset)
        throw ResourceError("ELF section \"" + s.name + "\" lies outside the file");
}

std::string StringAt(const ByteReader& in, const ElfSection& table, std::uint64_t index) {
    // A table of type NOBITS has no contents in the file to read strings from.
    if (table.type == SHT_NOBITS || table.offset > in.Size() ||
        table.size > in.Size() - table.offset)
        throw ResourceError("ELF string table lies outside the file");
    if (index >= table.size) throw ResourceError("ELF string index out of range");
    std::string out;
    for (std::uint64_t i = table.offset + index; i < table.offset + table.size; ++i) {
        const char c = static_cast<char>(in.Data()[i]);
        if (c == '\0') return out;
        out.push_back(c);
    }
    throw ResourceError("ELF string is not terminated");
}

}  // namespace

std::vector<ElfSection> ReadElfSections(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const Header h = ReadHeader(in);
    if (h.shnum == 0) return {};
    if (h.shstrndx >= h.shnum) throw ResourceError("ELF section name table index out of range");
    std::vector<ElfSection> sections;
    sections.reserve(h.shnum);
    for (std::size_t i = 0; i < h.shnum; ++i) sections.push_back(ReadSectionHeader(in, h, i));
    const ElfSection names = sections[h.shstrndx];
    RequireContents(in, names);
    for (ElfSection& s : sections) {
        s.name = StringAt(in, names, s.nameIndex);
        RequireContents(in, s);
    }
    return sections;
}

ElfUnloadBlockers FindElfUnloadBlockers(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const bool is64 = ReadHeader(in).is64;
    const std::vector<ElfSection> sections = ReadElfSections(data, size);
    ElfUnloadBlockers blockers;
    for (const ElfSection& s : sections) {
        if (s.type == SHT_DYNSYM) {
            if (s.link >= sections.size()) throw ResourceError("ELF symbol table without names");
            const ElfSection& names = sections[s.link];
            const std::size_t entry = is64 ? sizeof(Elf64_Sym) : sizeof(Elf32_Sym);
            for (std::uint64_t o = s.offset; o + entry <= s.offset + s.size; o += entry) {
                const auto at = static_cast<std::size_t>(o);
                unsigned char info;
                std::uint16_t shndx;
                std::uint32_t name;
                if (is64) {
                    info = in.U8(at + offsetof(Elf64_Sym, st_info), "ELF symbol");
                    shndx = in.U16(at + offsetof(Elf64_Sym, st_shndx), "ELF symbol");
                    name = in.U32(at + offsetof(Elf64_Sym, st_name), "ELF symbol");
                } else {
                    info = in.U8(at + offsetof(Elf32_Sym, st_info), "ELF symbol");
                    shndx = in.U16(at + offsetof(Elf32_Sym, st_shndx), "ELF symbol");
                    name = in.U32(at + offsetof(Elf32_Sym, st_name), "ELF symbol");
                }
                if (ELF64_ST_BIND(info) == STB_GNU_UNIQUE && shndx != SHN_UNDEF)
                    blockers.uniqueSymbols.push_back(StringAt(in, names, name));
            }
        } else if (s.type == SHT_DYNAMIC) {
            const std::size_t entry = is64 ? sizeof(Elf64_Dyn) : sizeof(Elf32_Dyn);
            for (std::uint64_t o = s.offset; o + entry <= s.offset + s.size; o += entry) {
                const auto at = static_cast<std::size_t>(o);
                const std::uint64_t tag =
                    is64 ? in.U64(at, "ELF dynamic entry") : in.U32(at, "ELF dynamic entry");
                const std::uint64_t value = is64 ? in.U64(at + 8, "ELF dynamic entry")
                                                 : in.U32(at + 4, "ELF dynamic entry");
                if (tag == DT_NULL) break;
                if (tag == DT_FLAGS_1 && (value & DF_1_NODELETE)) blockers.noDelete = true;
            }
        }
    }
    return blockers;
}

}  // namespace host::detail

namespace host {

ResourceTable ReadElfResources(const std::uint8_t* data, std::size_t size) {
    for (const detail::ElfSection& s : detail::ReadElfSections(data, size)) {
        if (s.name != kModuleResourceSection) continue;
        if (s.type == SHT_NOBITS) throw ResourceError("ELF section .rsrc has no contents");
        return ParseResFile(data + s.offset, static_cast<std::size_t>(s.size));
    }
    throw ResourceError("the module has no .rsrc section");
}

}  // namespace host
