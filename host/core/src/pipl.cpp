#include "host/pipl.h"

#include "byte_reader.h"
#include "hostapi/pipl.h"

namespace host {

namespace {
// Far above any real list; a crafted count cannot make the host loop for long.
constexpr std::uint32_t kMaxProperties = 4096;

std::string FourCC(ASInt32 code) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((static_cast<std::uint32_t>(code) >> shift) & 0xFF));
    return out;
}
}  // namespace

const PiplProperty* Pipl::Find(ASInt32 key) const {
    for (const PiplProperty& p : properties)
        if (p.vendor == kPiPLVendorHost && p.key == key) return &p;
    return nullptr;
}

Pipl ParsePipl(const std::uint8_t* data, std::size_t size) {
    detail::ByteReader in(data, size);
    Pipl pipl;
    pipl.resourceVersion = in.U16(0, "property list header");
    pipl.listVersion = static_cast<ASInt32>(in.U32(2, "property list header"));
    const std::uint32_t count = in.U32(6, "property list header");
    if (count > kMaxProperties)
        throw ResourceError("property list claims " + std::to_string(count) + " properties");
    std::size_t offset = 10;
    for (std::uint32_t i = 0; i < count; ++i) {
        PiplProperty p;
        p.vendor = static_cast<ASInt32>(in.U32(offset, "property header"));
        p.key = static_cast<ASInt32>(in.U32(offset + 4, "property header"));
        p.id = static_cast<ASInt32>(in.U32(offset + 8, "property header"));
        const std::uint32_t length = in.U32(offset + 12, "property header");
        in.Require(offset + 16, length, "property value");
        p.value.assign(data + offset + 16, data + offset + 16 + length);
        offset += 16 + length;
        pipl.properties.push_back(std::move(p));
    }
    return pipl;
}

PiplCheck CheckPipl(const Pipl& pipl) {
    PiplCheck check;
    auto u32 = [](const PiplProperty& p) {
        return static_cast<ASInt32>(p.value[0] | (p.value[1] << 8) | (p.value[2] << 16) |
                                    (static_cast<std::uint32_t>(p.value[3]) << 24));
    };
    auto text = [](const PiplProperty& p, std::string& out) {
        for (std::uint8_t c : p.value) {
            if (c == 0) return true;
            out.push_back(static_cast<char>(c));
        }
        return false;
    };
    const PiplProperty* kind = pipl.Find(kPiPLKindProperty);
    if (kind == nullptr || kind->value.size() < 4) {
        check.error = "the property list names no plug-in kind";
        return check;
    }
    if (u32(*kind) != kPiPLPluginKind) {
        check.error = "plug-in kind is '" + FourCC(u32(*kind)) + "', not 'SPEA'";
        return check;
    }
    const PiplProperty* version = pipl.Find(kPiPLInterfaceVersionProperty);
    if (version == nullptr || version->value.size() < 4) {
        check.error = "the property list names no interface version";
        return check;
    }
    if (u32(*version) != kPiPLInterfaceVersion) {
        check.error = "interface version " + std::to_string(u32(*version)) + ", not 2";
        return check;
    }
    const PiplProperty* entry = pipl.Find(kPiPLWin32EntryProperty);
    if (entry == nullptr) {
        check.error = "the property list names no entry point ('wx86')";
        return check;
    }
    if (!text(*entry, check.entryName) || check.entryName.empty()) {
        check.error = "the entry point name ('wx86') is empty or not terminated";
        return check;
    }
    if (const PiplProperty* name = pipl.Find(kPiPLNameProperty)) text(*name, check.pluginName);
    check.ok = true;
    return check;
}

}  // namespace host
