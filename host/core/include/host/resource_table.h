// The resources a module carries, read from the module's own file as the Windows
// loader reads them: a compiled 32-bit resource file (.res) in the ELF section
// ".rsrc", or the resource directory tree of a PE32 image.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Every malformed input ends in this error; nothing is read outside the input.
class ResourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A resource type or name: an ordinal, or a UTF-16 string (matched without regard to
// ASCII case, as Windows does).
struct ResourceId {
    bool isOrdinal = true;
    std::uint16_t ordinal = 0;
    std::u16string name;

    static ResourceId Ordinal(std::uint16_t value);
    static ResourceId Name(std::string_view ascii);
    bool Matches(const ResourceId& other) const;
    std::string ToString() const;
};

struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

class ResourceTable {
public:
    void Add(Resource resource) { m_resources.push_back(std::move(resource)); }
    // Null when the module has no such resource.
    const std::vector<std::uint8_t>* Find(const ResourceId& type, std::uint16_t id,
                                          std::uint16_t language) const;
    const std::vector<std::uint8_t>* Find(std::string_view typeName, std::uint16_t id,
                                          std::uint16_t language) const;
    const std::vector<Resource>& Resources() const { return m_resources; }
    std::size_t Size() const { return m_resources.size(); }

private:
    std::vector<Resource> m_resources;
};

// The parts of the reader, each on bytes already in memory.
ResourceTable ParseResFile(const std::uint8_t* data, std::size_t size);
ResourceTable ReadElfResources(const std::uint8_t* data, std::size_t size);
ResourceTable ReadPeResources(const std::uint8_t* data, std::size_t size);
// Chooses ELF or PE by the file's signature.
ResourceTable ReadModuleResources(const std::vector<std::uint8_t>& file);
ResourceTable ReadModuleResourcesFromFile(const std::string& path);

std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace host
