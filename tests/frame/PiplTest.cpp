// The plug-in property list, read back out of the built module the way the
// host reads it, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
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

TEST(PiplTest, TheModuleCarriesThePropertyListExactly) { ExpectModulePipl(LUMARO_MODULE_PATH); }

// CI builds the Windows module after the tests and runs this again on it
// (LUMARO_WINDOWS_MODULE), so the PE32 module's resources are checked too.
TEST(PiplTest, TheWindowsModuleCarriesTheSameList) {
    const char* path = std::getenv("LUMARO_WINDOWS_MODULE");
    if (path == nullptr) GTEST_SKIP() << "runs after the Windows build";
    ExpectModulePipl(path);
}

}  // namespace
