#include "host/resource_table.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace host {

namespace {
char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? c - (u'a' - u'A') : c; }
}  // namespace

ResourceId ResourceId::Ordinal(std::uint16_t value) {
    ResourceId id;
    id.ordinal = value;
    return id;
}

ResourceId ResourceId::Name(std::string_view ascii) {
    ResourceId id;
    id.isOrdinal = false;
    for (char c : ascii) id.name.push_back(static_cast<unsigned char>(c));
    return id;
}

bool ResourceId::Matches(const ResourceId& other) const {
    if (isOrdinal != other.isOrdinal) return false;
    if (isOrdinal) return ordinal == other.ordinal;
    if (name.size() != other.name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (AsciiUpper(name[i]) != AsciiUpper(other.name[i])) return false;
    return true;
}

std::string ResourceId::ToString() const {
    if (isOrdinal) return std::to_string(ordinal);
    std::string out = "\"";
    for (char16_t c : name) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out + "\"";
}

const std::vector<std::uint8_t>* ResourceTable::Find(const ResourceId& type, std::uint16_t id,
                                                     std::uint16_t language) const {
    const ResourceId name = ResourceId::Ordinal(id);
    for (const Resource& r : m_resources)
        if (r.language == language && r.type.Matches(type) && r.name.Matches(name)) return &r.data;
    return nullptr;
}

const std::vector<std::uint8_t>* ResourceTable::Find(std::string_view typeName, std::uint16_t id,
                                                     std::uint16_t language) const {
    return Find(ResourceId::Name(typeName), id, language);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw ResourceError("not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ResourceError("cannot open " + path);
    try {
        // In one read: a module is megabytes, and the host reads it at every load.
        in.seekg(0, std::ios::end);
        const std::streamoff length = in.tellg();
        in.seekg(0, std::ios::beg);
        if (length < 0 || !in) throw ResourceError("cannot read " + path);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        if (!in.read(reinterpret_cast<char*>(bytes.data()), length))
            throw ResourceError("cannot read " + path);
        return bytes;
    } catch (const ResourceError&) {
        throw;
    } catch (const std::exception& e) {
        throw ResourceError("cannot read " + path + ": " + e.what());
    }
}

}  // namespace host
