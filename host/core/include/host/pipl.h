// The plug-in property list: parsed from its resource and checked before a module
// is started.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/resource_table.h"
#include "hostapi/types.h"

namespace host {

struct PiplProperty {
    ASInt32 vendor = 0;
    ASInt32 key = 0;
    ASInt32 id = 0;
    std::vector<std::uint8_t> value;  // as stored, padding included
};

struct Pipl {
    ASUInt16 resourceVersion = 0;
    ASInt32 listVersion = 0;
    std::vector<PiplProperty> properties;

    // Null when the list has no such property of the host's vendor.
    const PiplProperty* Find(ASInt32 key) const;
};

// Throws ResourceError when the bytes are not a well-formed property list.
Pipl ParsePipl(const std::uint8_t* data, std::size_t size);

// What the host needs from a property list to start a module.
struct PiplCheck {
    bool ok = false;
    std::string error;       // why the module is refused
    std::string entryName;   // the Windows x86 entry point ("wx86")
    std::string pluginName;  // "pinm", may be empty
};

// Kind 'SPEA', interface version 2 and a named entry point.
PiplCheck CheckPipl(const Pipl& pipl);

}  // namespace host
