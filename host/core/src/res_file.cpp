// The 32-bit resource file format: a sequence of entries, each a header (DataSize,
// HeaderSize, type, name, DataVersion, MemoryFlags, LanguageId, Version,
// Characteristics) followed by its data, every part DWORD-aligned.
#include "byte_reader.h"
#include "host/resource_table.h"

namespace host {

namespace {

using detail::ByteReader;

std::size_t AlignDword(std::size_t n) { return (n + 3) & ~static_cast<std::size_t>(3); }

// A type or name field: 0xFFFF and an ordinal, or a terminated UTF-16 string.
ResourceId ReadId(const ByteReader& in, std::size_t& offset, std::size_t end, const char* what) {
    if (offset + 2 > end) throw ResourceError(std::string(what) + " runs past its header");
    ResourceId id;
    if (in.U16(offset, what) == 0xFFFF) {
        if (offset + 4 > end) throw ResourceError(std::string(what) + " runs past its header");
        id.ordinal = in.U16(offset + 2, what);
        offset += 4;
        return id;
    }
    id.isOrdinal = false;
    for (;;) {
        if (offset + 2 > end)
            throw ResourceError(std::string(what) + " is not terminated inside its header");
        const std::uint16_t unit = in.U16(offset, what);
        offset += 2;
        if (unit == 0) break;
        id.name.push_back(static_cast<char16_t>(unit));
    }
    return id;
}

}  // namespace

ResourceTable ParseResFile(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    ResourceTable table;
    std::size_t offset = 0;
    while (offset < size) {
        if (size - offset < 8) throw ResourceError("resource file: truncated entry header");
        const std::uint32_t dataSize = in.U32(offset, "resource data size");
        const std::uint32_t headerSize = in.U32(offset + 4, "resource header size");
        if (headerSize < 16 || headerSize > size - offset)
            throw ResourceError("resource file: bad header size " + std::to_string(headerSize) +
                                " at offset " + std::to_string(offset));
        const std::size_t headerEnd = offset + headerSize;
        std::size_t field = offset + 8;
        Resource resource;
        resource.type = ReadId(in, field, headerEnd, "resource type");
        resource.name = ReadId(in, field, headerEnd, "resource name");
        field = AlignDword(field);
        // DataVersion (4), MemoryFlags (2), LanguageId (2), Version (4), Characteristics (4)
        if (field + 16 > headerEnd)
            throw ResourceError("resource file: header too short for its fixed fields");
        resource.language = in.U16(field + 6, "resource language");
        if (dataSize > size - headerEnd)
            throw ResourceError("resource file: data of " + std::to_string(dataSize) +
                                " bytes runs past the end at offset " + std::to_string(offset));
        resource.data.assign(data + headerEnd, data + headerEnd + dataSize);
        // The leading empty entry marks a 32-bit file; it is no resource.
        const bool marker = resource.type.isOrdinal && resource.type.ordinal == 0 &&
                            resource.name.isOrdinal && resource.name.ordinal == 0 && dataSize == 0;
        if (!marker) table.Add(std::move(resource));
        offset = AlignDword(headerEnd + dataSize);
    }
    return table;
}

}  // namespace host
