#include "host/pipl.h"

#include <gtest/gtest.h>

#include "hostapi/pipl.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Property {
    std::string vendor, key;  // as written in source: "ADBE", "kind"
    Bytes value;
};

void PutU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutCode(Bytes& out, const std::string& code) {
    PutU32(out, static_cast<std::uint32_t>(HostFourCC(code[0], code[1], code[2], code[3])));
}

Bytes Code(const std::string& code) {
    Bytes b;
    PutCode(b, code);
    return b;
}

Bytes Number(std::uint32_t v) {
    Bytes b;
    PutU32(b, v);
    return b;
}

Bytes Text(const std::string& text, std::size_t padded) {
    Bytes b(text.begin(), text.end());
    b.resize(padded, 0);
    return b;
}

Bytes Build(const std::vector<Property>& properties, std::uint32_t count) {
    Bytes out = {1, 0};
    PutU32(out, 0);
    PutU32(out, count);
    for (const Property& p : properties) {
        PutCode(out, p.vendor);
        PutCode(out, p.key);
        PutU32(out, 0);
        PutU32(out, static_cast<std::uint32_t>(p.value.size()));
        out.insert(out.end(), p.value.begin(), p.value.end());
    }
    return out;
}

Bytes Build(const std::vector<Property>& properties) {
    return Build(properties, static_cast<std::uint32_t>(properties.size()));
}

const Property kKind{"ADBE", "kind", Code("SPEA")};
const Property kVersion{"ADBE", "ivrs", Number(2)};
const Property kEntry{"ADBE", "wx86", Text("PluginMain", 12)};
const Property kName{"ADBE", "pinm", Text("Lumaro", 8)};

TEST(Pipl, TheModulesOwnListPassesAndNamesItsEntryPoint) {
    const Bytes bytes = Build({kKind, kVersion, kEntry, kName});
    ASSERT_EQ(bytes.size(), 102u);  // 78 + 24, as the module's list is laid out
    const host::Pipl pipl = host::ParsePipl(bytes.data(), bytes.size());
    EXPECT_EQ(pipl.resourceVersion, 1);
    ASSERT_EQ(pipl.properties.size(), 4u);
    const host::PiplCheck check = host::CheckPipl(pipl);
    EXPECT_TRUE(check.ok) << check.error;
    EXPECT_EQ(check.entryName, "PluginMain");
    EXPECT_EQ(check.pluginName, "Lumaro");
}

TEST(Pipl, ModulesThatAreNotPluginsOfThisInterfaceAreRefused) {
    struct Case {
        const char* name;
        std::vector<Property> properties;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"wrong kind", {{"ADBE", "kind", Code("FLTR")}, kVersion, kEntry}, "kind is 'FLTR'"},
        {"kind of another vendor",
         {{"XXXX", "kind", Code("SPEA")}, kVersion, kEntry},
         "no plug-in kind"},
        {"no kind", {kVersion, kEntry}, "no plug-in kind"},
        {"interface version 3", {kKind, {"ADBE", "ivrs", Number(3)}, kEntry}, "version 3"},
        {"no interface version", {kKind, kEntry}, "no interface version"},
        {"no entry point", {kKind, kVersion, kName}, "no entry point"},
        {"empty entry point", {kKind, kVersion, {"ADBE", "wx86", Text("", 4)}}, "empty"},
        {"entry point not terminated",
         {kKind, kVersion, {"ADBE", "wx86", Text("PluginMain", 10)}},
         "not terminated"},
        {"short kind value",
         {{"ADBE", "kind", Text("SP", 2)}, kVersion, kEntry},
         "no plug-in kind"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = Build(c.properties);
        const host::PiplCheck check = host::CheckPipl(host::ParsePipl(bytes.data(), bytes.size()));
        EXPECT_FALSE(check.ok);
        EXPECT_NE(check.error.find(c.reason), std::string::npos) << check.error;
    }
}

TEST(Pipl, ListsThatRunPastTheirBytesAreMalformed) {
    const Bytes good = Build({kKind, kVersion, kEntry, kName});
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Bytes prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(host::ParsePipl(prefix.data(), prefix.size()), host::ResourceError) << n;
    }
    const Bytes overcounted = Build({kKind, kVersion}, 3);
    EXPECT_THROW(host::ParsePipl(overcounted.data(), overcounted.size()), host::ResourceError);
    const Bytes huge = Build({kKind}, 0xFFFFFFFF);
    EXPECT_THROW(host::ParsePipl(huge.data(), huge.size()), host::ResourceError);
    Bytes longValue = Build({kKind});
    longValue[10 + 12] = 0xFF;  // the kind's length field claims 255 bytes
    EXPECT_THROW(host::ParsePipl(longValue.data(), longValue.size()), host::ResourceError);
}

}  // namespace
