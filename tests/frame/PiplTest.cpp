// The plug-in property list, read back out of the built module the way the
// host reads it, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "host/pipl.h"
#include "host/resource_table.h"

namespace {

class Bytes {
public:
    Bytes& U16(std::uint16_t v) {
        for (int i = 0; i < 2; ++i) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    // A four-character code, stored as a little-endian 32-bit integer.
    Bytes& Code(const char (&c)[5]) {
        return U32((std::uint32_t(std::uint8_t(c[0])) << 24) |
                   (std::uint32_t(std::uint8_t(c[1])) << 16) |
                   (std::uint32_t(std::uint8_t(c[2])) << 8) | std::uint8_t(c[3]));
    }
    Bytes& Text(const std::string& text, std::size_t padded) {
        for (std::size_t i = 0; i < padded; ++i) {
            m_bytes.push_back(i < text.size() ? std::uint8_t(text[i]) : 0);
        }
        return *this;
    }
    const std::vector<std::uint8_t>& Get() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

std::vector<std::uint8_t> ExpectedPipl() {
    Bytes b;
    b.U16(1).U32(0).U32(4);
    b.Code("ADBE").Code("kind").U32(0).U32(4).Code("SPEA");
    b.Code("ADBE").Code("ivrs").U32(0).U32(4).U32(2);
    b.Code("ADBE").Code("wx86").U32(0).U32(12).Text("PluginMain", 12);
    b.Code("ADBE").Code("pinm").U32(0).U32(8).Text("Lumaro", 8);
    return b.Get();
}

void ExpectModulePipl(const std::string& path) {
    const host::ResourceTable resources = host::ReadModuleResourcesFromFile(path);
    const std::vector<std::uint8_t>* pipl = resources.Find("PIPL", 16000, 1033);
    ASSERT_NE(pipl, nullptr) << path;
    const std::vector<std::uint8_t> expected = ExpectedPipl();
    ASSERT_EQ(expected.size(), 102u);
    EXPECT_EQ(*pipl, expected) << path;

    const host::Pipl parsed = host::ParsePipl(pipl->data(), pipl->size());
    EXPECT_EQ(parsed.properties.size(), 4u);
}

std::uint32_t U32At(const std::vector<std::uint8_t>& data, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | data.at(offset + i);
    return v;
}

// The value after a key of the version resource's string table.
std::string VersionString(const std::vector<std::uint8_t>& data, const std::string& key) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        units += char16_t(data[i] | data[i + 1] << 8);
    const std::size_t at = units.find(std::u16string(key.begin(), key.end()) + u'\0');
    if (at == std::u16string::npos) return "(no " + key + ")";
    std::size_t i = at + key.size() + 1;
    while (i < units.size() && units[i] == 0) ++i;  // padding to four bytes
    std::string value;
    for (; i < units.size() && units[i] != 0; ++i) value += static_cast<char>(units[i]);
    return value;
}

// What Windows shows in the file's properties: the version of the file VERSION
// and the maker's names, as the About box gives them.
void ExpectVersionResource(const std::string& path) {
    const host::ResourceTable resources = host::ReadModuleResourcesFromFile(path);
    const std::vector<std::uint8_t>* info = resources.Find(host::ResourceId::Ordinal(16), 1, 1033);
    ASSERT_NE(info, nullptr) << path;
    const std::size_t fixed = 40;  // after the header and "VS_VERSION_INFO", padded
    EXPECT_EQ(U32At(*info, fixed), 0xFEEF04BDu) << path;
    const std::uint32_t version = std::uint32_t{LUMARO_VERSION_MAJOR} << 16 | LUMARO_VERSION_MINOR;
    EXPECT_EQ(U32At(*info, fixed + 8), version) << "the file's version";
    EXPECT_EQ(U32At(*info, fixed + 16), version) << "the product's version";
    EXPECT_EQ(U32At(*info, fixed + 36), 2u) << "a DLL";
    for (const auto& [key, value] :
         {std::pair{"FileVersion", LUMARO_VERSION},
          {"ProductVersion", LUMARO_VERSION},
          {"CompanyName", "Corvane Software"},
          {"LegalCopyright", "Copyright (c) 2026 Corvane Software. All rights reserved."}})
        EXPECT_EQ(VersionString(*info, key), value) << path;
}

TEST(PiplTest, TheModuleCarriesThePropertyListExactly) {
    ExpectModulePipl(LUMARO_MODULE_PATH);
    ExpectVersionResource(LUMARO_MODULE_PATH);
}

// CI builds the Windows module after the tests and runs this again on it
// (LUMARO_WINDOWS_MODULE), so the PE32 module's resources are checked too.
TEST(PiplTest, TheWindowsModuleCarriesTheSameList) {
    const char* path = std::getenv("LUMARO_WINDOWS_MODULE");
    if (path == nullptr) GTEST_SKIP() << "runs after the Windows build";
    ExpectModulePipl(path);
    ExpectVersionResource(path);
}

}  // namespace
