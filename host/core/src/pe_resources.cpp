// The resources of a PE image: the resource data directory points at a tree of
// three levels (type, name, language) whose leaves give each resource's RVA and size.
#include <algorithm>
#include <set>

#include "byte_reader.h"
#include "host/resource_table.h"

namespace host {

namespace {

using detail::ByteReader;

constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kResourceDirectoryIndex = 2;
// Far more than any real module; stops a crafted tree from running long.
constexpr std::size_t kMaxResources = 65536;

struct PeSection {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
public:
    explicit PeImage(const ByteReader& in) : m_in(in) {
        const std::uint32_t peOffset = in.U32(0x3C, "DOS header");
        in.Require(peOffset, 24, "PE header");
        if (in.U32(peOffset, "PE signature") != 0x00004550u)
            throw ResourceError("PE signature missing");
        const std::size_t coff = peOffset + 4;
        const std::uint16_t sectionCount = in.U16(coff + 2, "COFF header");
        const std::uint16_t optionalSize = in.U16(coff + 16, "COFF header");
        const std::size_t optional = coff + 20;
        const std::uint16_t magic = in.U16(optional, "optional header");
        std::size_t directories;
        std::size_t countField;
        if (magic == 0x10B) {
            countField = optional + 92;
            directories = optional + 96;
        } else if (magic == 0x20B) {
            countField = optional + 108;
            directories = optional + 112;
        } else {
            throw ResourceError("unknown PE optional header magic");
        }
        const std::uint32_t directoryCount = in.U32(countField, "optional header");
        if (directoryCount > kResourceDirectoryIndex &&
            directories + (kResourceDirectoryIndex + 1) * 8 <= optional + optionalSize) {
            m_resourceRva = in.U32(directories + kResourceDirectoryIndex * 8, "data directory");
            m_resourceSize =
                in.U32(directories + kResourceDirectoryIndex * 8 + 4, "data directory");
        }
        const std::size_t table = optional + optionalSize;
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const std::size_t at = table + i * 40;
            m_sections.push_back(
                {in.U32(at + 12, "section header"), in.U32(at + 8, "section header"),
                 in.U32(at + 16, "section header"), in.U32(at + 20, "section header")});
        }
    }

    std::uint32_t ResourceRva() const { return m_resourceRva; }
    std::uint32_t ResourceSize() const { return m_resourceSize; }

    // The file offset of `size` bytes at `rva`, all inside one section's raw data.
    std::size_t FileOffset(std::uint32_t rva, std::uint32_t size, const char* what) const {
        for (const PeSection& s : m_sections) {
            const std::uint64_t start = s.virtualAddress;
            const std::uint64_t end = start + std::max(s.virtualSize, s.rawSize);
            if (rva < start || rva >= end) continue;
            const std::uint64_t inSection = rva - start;
            if (inSection + size > s.rawSize)
                throw ResourceError(std::string(what) + " lies outside its section's data");
            const std::uint64_t offset = s.rawOffset + inSection;
            m_in.Require(static_cast<std::size_t>(offset), size, what);
            return static_cast<std::size_t>(offset);
        }
        throw ResourceError(std::string(what) + " is in no section");
    }

private:
    const ByteReader& m_in;
    std::vector<PeSection> m_sections;
    std::uint32_t m_resourceRva = 0;
    std::uint32_t m_resourceSize = 0;
};

class TreeReader {
public:
    TreeReader(const ByteReader& in, const PeImage& image, std::size_t base, std::uint32_t size)
        : m_in(in), m_image(image), m_base(base), m_size(size) {}

    void Read(ResourceTable& table) {
        Resource pending;
        Directory(0, 0, pending, table);
    }

private:
    std::size_t At(std::uint32_t offset, std::size_t count, const char* what) const {
        if (offset > m_size || count > m_size - offset)
            throw ResourceError(std::string(what) + " lies outside the resource section");
        return m_base + offset;
    }

    ResourceId Id(std::uint32_t field) const {
        if (!(field & kHighBit)) {
            if (field > 0xFFFF) throw ResourceError("resource ordinal out of range");
            return ResourceId::Ordinal(static_cast<std::uint16_t>(field));
        }
        const std::size_t at = At(field & ~kHighBit, 2, "resource name");
        const std::uint16_t length = m_in.U16(at, "resource name");
        At((field & ~kHighBit) + 2, std::size_t{length} * 2, "resource name");
        ResourceId id;
        id.isOrdinal = false;
        for (std::size_t i = 0; i < length; ++i)
            id.name.push_back(static_cast<char16_t>(m_in.U16(at + 2 + 2 * i, "resource name")));
        return id;
    }

    void Directory(std::uint32_t offset, int level, Resource& pending, ResourceTable& table) {
        // Each directory visited once: a tree that points back into itself is refused.
        if (!m_visited.insert(offset).second)
            throw ResourceError("resource directory tree contains a cycle");
        const std::size_t at = At(offset, kDirectoryHeaderSize, "resource directory");
        const std::size_t count = std::size_t{m_in.U16(at + 12, "resource directory")} +
                                  m_in.U16(at + 14, "resource directory");
        At(offset + kDirectoryHeaderSize, count * kDirectoryEntrySize,
           "resource directory entries");
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = at + kDirectoryHeaderSize + i * kDirectoryEntrySize;
            const std::uint32_t nameField = m_in.U32(entry, "resource directory entry");
            const std::uint32_t target = m_in.U32(entry + 4, "resource directory entry");
            const ResourceId id = Id(nameField);
            if (level == 0) pending.type = id;
            if (level == 1) pending.name = id;
            if (level == 2) {
                if (!id.isOrdinal) throw ResourceError("resource language is not a number");
                pending.language = id.ordinal;
            }
            const bool isDirectory = (target & kHighBit) != 0;
            if (level < 2) {
                if (!isDirectory) throw ResourceError("resource tree ends too early");
                Directory(target & ~kHighBit, level + 1, pending, table);
            } else {
                if (isDirectory) throw ResourceError("resource tree is deeper than three levels");
                Leaf(target, pending, table);
            }
        }
    }

    void Leaf(std::uint32_t offset, const Resource& pending, ResourceTable& table) {
        if (table.Size() >= kMaxResources) throw ResourceError("too many resources");
        const std::size_t at = At(offset, 16, "resource data entry");
        const std::uint32_t rva = m_in.U32(at, "resource data entry");
        const std::uint32_t size = m_in.U32(at + 4, "resource data entry");
        const std::size_t file = m_image.FileOffset(rva, size, "resource data");
        Resource resource = pending;
        resource.data.assign(m_in.Data() + file, m_in.Data() + file + size);
        table.Add(std::move(resource));
    }

    const ByteReader& m_in;
    const PeImage& m_image;
    std::size_t m_base;
    std::uint32_t m_size;
    std::set<std::uint32_t> m_visited;
};

}  // namespace

ResourceTable ReadPeResources(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    if (size < 2 || data[0] != 'M' || data[1] != 'Z') throw ResourceError("not a PE file");
    const PeImage image(in);
    if (image.ResourceRva() == 0 || image.ResourceSize() == 0)
        throw ResourceError("the module has no resource directory");
    const std::size_t base =
        image.FileOffset(image.ResourceRva(), image.ResourceSize(), "resource directory");
    ResourceTable table;
    TreeReader(in, image, base, image.ResourceSize()).Read(table);
    return table;
}

}  // namespace host
