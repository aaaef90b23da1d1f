#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "elf_image.h"
#include "host/resource_table.h"
#include "hostapi/pipl.h"
#include "test_paths.h"

namespace {

using host::ResourceError;
using host::ResourceTable;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path) { return host::ReadWholeFile(path); }

const Bytes& TestRes() {
    static const Bytes bytes = ReadFile(HOST_TEST_RES);
    return bytes;
}

std::size_t FindBytes(const Bytes& haystack, const std::string& needle) {
    const auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
    return it == haystack.end() ? std::string::npos
                                : static_cast<std::size_t>(it - haystack.begin());
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | bytes[at + i];
    return v;
}

// The property list exactly as the test module's resource script writes it.
const Bytes& ExpectedPipl() {
    static const Bytes pipl = [] {
        const char text[] =
            "\x01\x00"
            "\x00\x00\x00\x00"
            "\x04\x00\x00\x00"
            "EBDAdnik\0\0\0\0\x04\0\0\0AEPS"
            "EBDAsrvi\0\0\0\0\x04\0\0\0\x02\0\0\0"
            "EBDA68xw\0\0\0\0\x0c\0\0\0PluginMain\0\0"
            "EBDAmnip\0\0\0\0\x0c\0\0\0TestPlugin\0\0";
        return Bytes(text, text + sizeof text - 1);
    }();
    return pipl;
}

TEST(ResFile, ReadsThePropertyListAndSkipsTheLeadingEmptyEntry) {
    const ResourceTable table = host::ParseResFile(TestRes().data(), TestRes().size());
    ASSERT_EQ(table.Size(), 1u);
    const Bytes* pipl = table.Find(kPiPLResourceType, 16000, kResourceLanguageUSEnglish);
    ASSERT_NE(pipl, nullptr);
    EXPECT_EQ(*pipl, ExpectedPipl());
}

TEST(ResFile, LooksUpByTypeNameWithoutRegardToCaseButByExactIdAndLanguage) {
    const ResourceTable table = host::ParseResFile(TestRes().data(), TestRes().size());
    EXPECT_NE(table.Find("pipl", 16000, 1033), nullptr);
    EXPECT_EQ(table.Find("PIPL", 16001, 1033), nullptr);
    EXPECT_EQ(table.Find("PIPL", 16000, 1031), nullptr);
    EXPECT_EQ(table.Find("PIPX", 16000, 1033), nullptr);
    EXPECT_EQ(table.Find(host::ResourceId::Ordinal(10), 16000, 1033), nullptr);
}

TEST(ResFile, OrdinalTypesAndDwordAlignedEntriesFollowOneAnother) {
    // Two entries: RCDATA (type 10) id 7 with 3 bytes (padded to 4), then a named type.
    Bytes res;
    auto u16 = [&](std::uint16_t v) {
        res.push_back(static_cast<std::uint8_t>(v));
        res.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    };
    u32(3), u32(32), u16(0xFFFF), u16(10), u16(0xFFFF), u16(7);
    u32(0), u16(0x30), u16(1033), u32(0), u32(0);
    res.insert(res.end(), {'a', 'b', 'c', 0});
    // The name follows the type directly; only the end of the name is aligned.
    u32(2), u32(36), u16('X'), u16('Y'), u16(0), u16(0xFFFF), u16(8), u16(0);
    u32(0), u16(0x30), u16(1031), u32(0), u32(0);
    res.insert(res.end(), {'d', 'e', 0, 0});
    const ResourceTable table = host::ParseResFile(res.data(), res.size());
    ASSERT_EQ(table.Size(), 2u);
    const Bytes* rcdata = table.Find(host::ResourceId::Ordinal(10), 7, 1033);
    ASSERT_NE(rcdata, nullptr);
    EXPECT_EQ(*rcdata, (Bytes{'a', 'b', 'c'}));
    const Bytes* named = table.Find("xy", 8, 1031);
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(*named, (Bytes{'d', 'e'}));
}

TEST(ResFile, MalformedHeadersAreRefusedWithAReason) {
    struct Case {
        const char* name;
        std::size_t at;  // into the second entry; the first is the 32-byte marker
        std::uint32_t value;
        const char* reason;
    };
    const Case cases[] = {
        {"header size below the fixed fields", 36, 8, "bad header size"},
        {"header size past the end", 36, 0x10000, "bad header size"},
        {"data size past the end", 32, 0x7FFFFFFF, "runs past the end"},
        // "PIPL" becomes "PIPLAA..." and the name field is overwritten with 'A's.
        {"type string not terminated inside its header", 48, 0x00410041, "not terminated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes res = TestRes();
        PutU32(res, c.at, c.value);
        if (c.at == 48)
            for (std::size_t i = 48; i < 32 + 40; i += 4) PutU32(res, i, 0x00410041);
        try {
            host::ParseResFile(res.data(), res.size());
            ADD_FAILURE() << "accepted";
        } catch (const ResourceError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
}

TEST(ModuleResources, TheElfModuleCarriesTheCompiledResourcesInItsRsrcSection) {
    const ResourceTable table =
        host::ReadModuleResourcesFromFile(host_test::ModulePath("good", "TestPluginA.aip"));
    const Bytes* pipl = table.Find(kPiPLResourceType, 16000, kResourceLanguageUSEnglish);
    ASSERT_NE(pipl, nullptr);
    EXPECT_EQ(*pipl, ExpectedPipl());
}

TEST(ModuleResources, ThePeModuleCarriesTheSameResourcesInItsResourceTree) {
    if (std::string(HOST_TEST_PE_MODULE).empty()) GTEST_SKIP() << "no mingw-w64 cross compiler";
    const ResourceTable table = host::ReadModuleResourcesFromFile(HOST_TEST_PE_MODULE);
    ASSERT_EQ(table.Size(), 1u);
    const Bytes* pipl = table.Find(kPiPLResourceType, 16000, kResourceLanguageUSEnglish);
    ASSERT_NE(pipl, nullptr);
    EXPECT_EQ(*pipl, ExpectedPipl());
}

TEST(ModuleResources, FilesWithoutResourcesAreRefusedWithAReason) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty file", {}, "not a module"},
        {"text", {'h', 'e', 'l', 'l', 'o'}, "not a module"},
        {"ELF without .rsrc", ReadFile(host_test::ModulePath("mixed", "NoResources.aip")),
         "no .rsrc section"},
        {"ELF identification only", {0x7F, 'E', 'L', 'F'}, "outside the data"},
        {"MZ stub only", {'M', 'Z', 0, 0}, "outside the data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            host::ReadModuleResources(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const ResourceError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(host::ReadModuleResourcesFromFile(host_test::PluginsFolder("none.aip")),
                 ResourceError);
    EXPECT_THROW(host::ReadModuleResourcesFromFile(host_test::PluginsFolder("good")),
                 ResourceError);
}

TEST(ModuleResources, APeResourceTreeThatPointsBackIntoItselfIsRefused) {
    if (std::string(HOST_TEST_PE_MODULE).empty()) GTEST_SKIP() << "no mingw-w64 cross compiler";
    Bytes pe = ReadFile(HOST_TEST_PE_MODULE);
    const std::size_t header = FindBytes(pe, std::string(".rsrc\0\0\0", 8));
    ASSERT_NE(header, std::string::npos);
    const std::size_t root = GetU32(pe, header + 20);
    // Root entry 0 leads to the name level; point that level's entry back at the root.
    const std::uint32_t nameLevel = GetU32(pe, root + 16 + 4) & 0x7FFFFFFF;
    PutU32(pe, root + nameLevel + 16 + 4, 0x80000000u);
    try {
        host::ReadPeResources(pe.data(), pe.size());
        ADD_FAILURE() << "accepted";
    } catch (const ResourceError& e) {
        EXPECT_NE(std::string(e.what()).find("cycle"), std::string::npos) << e.what();
    }
}

std::uint64_t GetU64(const Bytes& bytes, std::size_t at) {
    return GetU32(bytes, at) | std::uint64_t{GetU32(bytes, at + 4)} << 32;
}

void PutU64(Bytes& bytes, std::size_t at, std::uint64_t value) {
    PutU32(bytes, at, static_cast<std::uint32_t>(value));
    PutU32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

// A string table that claims to be NOBITS (no bytes in the file) at an offset far
// outside the file: the section names, or the names of the dynamic symbols (of a
// module with a unique symbol, whose name the host reads).
TEST(ModuleResources, AnElfStringTableWithoutContentsIsRefused) {
    const Bytes elf = ReadFile(host_test::ModulePath("unique", "Unique.aip"));
    ASSERT_EQ(elf[4], 2) << "a 64-bit module";
    const std::uint64_t shoff = GetU64(elf, 0x28);
    const std::size_t entry = elf[0x3A] | elf[0x3B] << 8;
    const std::size_t count = elf[0x3C] | elf[0x3D] << 8;
    const std::size_t namesIndex = elf[0x3E] | elf[0x3F] << 8;
    auto header = [&](std::size_t index) {
        return static_cast<std::size_t>(shoff) + index * entry;
    };
    std::size_t symbolNamesIndex = count;
    for (std::size_t i = 0; i < count; ++i) {
        if (GetU32(elf, header(i) + 4) == 11 /* SHT_DYNSYM */)
            symbolNamesIndex = GetU32(elf, header(i) + 0x28);
    }
    ASSERT_LT(symbolNamesIndex, count);
    ASSERT_NE(symbolNamesIndex, namesIndex);

    const struct {
        const char* what;
        std::size_t index;
        bool resourcesNeedIt;  // reading the resources needs only the section names
    } cases[] = {{"section names", namesIndex, true}, {"symbol names", symbolNamesIndex, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bad = elf;
        PutU32(bad, header(c.index) + 4, 8);  // SHT_NOBITS
        PutU64(bad, header(c.index) + 0x18, 0x7FFFFFFF0000ull);
        if (c.resourcesNeedIt) {
            EXPECT_THROW(host::ReadElfResources(bad.data(), bad.size()), ResourceError);
        }
        EXPECT_THROW(host::detail::FindElfUnloadBlockers(bad.data(), bad.size()), ResourceError);
    }
}

// Every prefix of the input and many corrupted copies of it either parse or end in a
// ResourceError; ASan checks that nothing is read outside the input.
using Reader = ResourceTable (*)(const std::uint8_t*, std::size_t);

void Truncations(const Bytes& input, Reader reader, std::size_t points) {
    const std::size_t step = std::max<std::size_t>(1, input.size() / points);
    for (std::size_t n = 0; n < input.size(); n += step) {
        // A copy of exactly n bytes, so that ASan sees any read past it.
        const Bytes prefix(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n));
        try {
            reader(prefix.data(), prefix.size());
        } catch (const ResourceError&) {
        }
    }
}

void Corruptions(const Bytes& input, Reader reader,
                 const std::vector<std::pair<std::size_t, std::size_t>>& regions) {
    std::mt19937 random(20261208);
    int refused = 0;
    for (int round = 0; round < 1500; ++round) {
        Bytes copy = input;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f) {
            const auto& region = regions[random() % regions.size()];
            const std::size_t at = region.first + random() % (region.second - region.first);
            copy[at] = static_cast<std::uint8_t>(random());
        }
        try {
            reader(copy.data(), copy.size());
        } catch (const ResourceError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0) << "no corruption was ever noticed";
}

TEST(ResourceReaderFuzz, TruncatedAndCorruptedResFiles) {
    Truncations(TestRes(), host::ParseResFile, 1000);
    Corruptions(TestRes(), host::ParseResFile, {{0, TestRes().size()}});
}

TEST(ResourceReaderFuzz, TruncatedAndCorruptedElfModules) {
    const Bytes elf = ReadFile(host_test::ModulePath("good", "TestPluginA.aip"));
    Truncations(elf, host::ReadElfResources, 3000);
    const std::size_t rsrc = FindBytes(elf, "EBDAdnik");
    ASSERT_NE(rsrc, std::string::npos);
    Corruptions(elf, host::ReadElfResources,
                {{0, 64},
                 {rsrc - 64, std::min(elf.size(), rsrc + 128)},
                 {elf.size() - std::min<std::size_t>(elf.size(), 4096), elf.size()}});
}

TEST(ResourceReaderFuzz, TruncatedAndCorruptedPeModules) {
    if (std::string(HOST_TEST_PE_MODULE).empty()) GTEST_SKIP() << "no mingw-w64 cross compiler";
    const Bytes pe = ReadFile(HOST_TEST_PE_MODULE);
    Truncations(pe, host::ReadPeResources, 3000);
    const std::size_t header = FindBytes(pe, std::string(".rsrc\0\0\0", 8));
    ASSERT_NE(header, std::string::npos);
    const std::size_t root = GetU32(pe, header + 20);
    Corruptions(pe, host::ReadPeResources,
                {{0, 512}, {header, header + 40}, {root, std::min(pe.size(), root + 256)}});
}

}  // namespace
