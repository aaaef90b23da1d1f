#include "glyvor_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

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

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "glyvor-test-XXXXXX").string();
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

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
                                   {"Noto", kNoto}},
                                  &r, &error)) {
            throw std::runtime_error("cannot index the system fonts: " + error);
        }
        return r;
    }();
    return result;
}

}  // namespace glyvor_test
