#include "glyvor_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace glyvor_test {

const char kUrwType1[] = "/usr/share/fonts/type1/urw-base35";
const char kUrwOpenType[] = "/usr/share/fonts/opentype/urw-base35";
const char kLiberation[] = "/usr/share/fonts/truetype/liberation";
const char kDejaVu[] = "/usr/share/fonts/truetype/dejavu";
const char kNoto[] = "/usr/share/fonts/truetype/noto";
const char kIpaGothic[] = "/usr/share/fonts/opentype/ipafont-gothic";

void CopyFile(const std::string& from, const std::string& to) {
    fs::create_directories(fs::path(to).parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

namespace {

std::uint32_t Get32(const std::string& b, std::size_t at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 24) |
           (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint32_t(std::uint8_t(b[at + 3]));
}
std::uint16_t Get16(const std::string& b, std::size_t at) {
    return std::uint16_t((std::uint8_t(b[at]) << 8) | std::uint8_t(b[at + 1]));
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
}

}  // namespace

std::string MakeCollection(const std::vector<std::string>& fonts) {
    // Header, then every font's table directory, then every table, 4-byte aligned;
    // table offsets in a collection count from the start of the file.
    std::string out(12 + 4 * fonts.size(), '\0');
    out.replace(0, 4, "ttcf");
    Put32(out, 4, 0x00010000);
    Put32(out, 8, std::uint32_t(fonts.size()));
    std::vector<std::size_t> directories;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const std::size_t size = 12 + 16 * std::size_t(Get16(fonts[i], 4));
        Put32(out, 12 + 4 * i, std::uint32_t(out.size()));
        directories.push_back(out.size());
        out += fonts[i].substr(0, size);
    }
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const std::uint16_t tables = Get16(fonts[i], 4);
        for (std::uint16_t t = 0; t < tables; ++t) {
            const std::size_t record = 12 + 16 * std::size_t(t);
            const std::uint32_t offset = Get32(fonts[i], record + 8);
            const std::uint32_t length = Get32(fonts[i], record + 12);
            while (out.size() % 4) out += '\0';
            Put32(out, directories[i] + record + 8, std::uint32_t(out.size()));
            out += fonts[i].substr(offset, length);
        }
    }
    return out;
}

std::string WithRevision(std::string font, std::uint32_t fixed) {
    const std::uint16_t tables = Get16(font, 4);
    for (std::uint16_t t = 0; t < tables; ++t) {
        const std::size_t record = 12 + 16 * std::size_t(t);
        if (font.compare(record, 4, "head") == 0) {
            Put32(font, Get32(font, record + 8) + 4, fixed);
            return font;
        }
    }
    throw std::runtime_error("the font has no 'head' table");
}

}  // namespace glyvor_test

namespace glyvor_test {

const glyvor::IndexResult& SystemIndex() {
    static const glyvor::IndexResult result = [] {
        glyvor::IndexResult r;
        std::string error;
        if (!glyvor::IndexFolders({{"URW", kUrwType1},
                                   {"URWOT", kUrwOpenType},
                                   {"Liberation", kLiberation},
                                   {"DejaVu", kDejaVu},
                                   {"Noto", kNoto},
                                   {"IPA", kIpaGothic}},
                                  &r, &error)) {
            throw std::runtime_error("cannot index the system fonts: " + error);
        }
        return r;
    }();
    return result;
}

}  // namespace glyvor_test
