// Bounds-checked little-endian reads from a byte range; every read past the end
// throws ResourceError naming what was being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/resource_table.h"

namespace host::detail {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t Size() const { return m_size; }
    const std::uint8_t* Data() const { return m_data; }

    void Require(std::size_t offset, std::size_t count, const char* what) const {
        if (offset > m_size || count > m_size - offset)
            throw ResourceError(std::string(what) + " lies outside the data (offset " +
                                std::to_string(offset) + ", " + std::to_string(count) +
                                " bytes of " + std::to_string(m_size) + ")");
    }
    std::uint8_t U8(std::size_t offset, const char* what) const {
        Require(offset, 1, what);
        return m_data[offset];
    }
    std::uint16_t U16(std::size_t offset, const char* what) const {
        Require(offset, 2, what);
        return static_cast<std::uint16_t>(m_data[offset] | (m_data[offset + 1] << 8));
    }
    std::uint32_t U32(std::size_t offset, const char* what) const {
        Require(offset, 4, what);
        return static_cast<std::uint32_t>(m_data[offset]) |
               (static_cast<std::uint32_t>(m_data[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(m_data[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(m_data[offset + 3]) << 24);
    }
    std::uint64_t U64(std::size_t offset, const char* what) const {
        return static_cast<std::uint64_t>(U32(offset, what)) |
               (static_cast<std::uint64_t>(U32(offset + 4, what)) << 32);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

}  // namespace host::detail
