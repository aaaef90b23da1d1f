#include "fontlist/machine_fonts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <unordered_set>

#include "fontlist/font_file_reader.h"

namespace host {

namespace fs = std::filesystem;

namespace {

std::string CanonicalKey(const fs::path& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal().string() : canonical.string();
}

std::vector<fs::path> InstalledFiles(const fs::path& fontsDir) {
    std::vector<fs::path> files;
    std::error_code ec;
    if (!fs::is_directory(fontsDir, ec)) return files;
    for (fs::directory_iterator it(fontsDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Scanner {
public:
    Scanner(MachineFontScan& scan, FontFileCache* cache) : m_scan(scan), m_cache(cache) {}

    void File(const fs::path& path, FontOrigin origin) {
        const std::string key = CanonicalKey(path);
        if (!m_files.insert(key).second) return;

        FontFileCache::Record fresh;
        const FontFileCache::Record* record = nullptr;
        std::error_code sizeEc;
        std::error_code timeEc;
        fresh.size = fs::file_size(path, sizeEc);
        fresh.modified = fs::last_write_time(path, timeEc);
        const bool stamped = !sizeEc && !timeEc;
        if (m_cache && stamped) record = m_cache->Find(key, fresh.size, fresh.modified);
        if (record) {
            ++m_scan.filesReused;
        } else {
            fresh.readable = m_reader.Read(path.string(), fresh.faces, fresh.error);
            if (m_cache && stamped) {
                m_cache->Store(key, fresh);
            }
            record = &fresh;
        }

        if (!record->readable) {
            m_scan.skipped.push_back(path.string() + ": " + record->error);
            return;
        }
        ++m_scan.filesRead;
        for (FontFaceInfo face : record->faces) {
            // A file listed under another path than it was read from.
            face.path = path.string();
            if (!m_names.insert(face.postScriptName).second) {
                ++m_scan.duplicates;
                continue;
            }
            m_scan.fonts.push_back(MachineFont{std::move(face), origin});
        }
    }

private:
    MachineFontScan& m_scan;
    FontFileCache* m_cache;
    FontFileReader m_reader;
    std::unordered_set<std::string> m_files;
    std::unordered_set<std::string> m_names;
};

}  // namespace

std::vector<std::string> ParseActiveFontsList(const std::string& text) {
    std::vector<std::string> paths;
    std::istringstream in(text);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        first = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) paths.push_back(line);
    }
    return paths;
}

MachineFontScan ScanMachineFonts(const std::string& machineDir, FontFileCache* cache) {
    MachineFontScan scan;
    Scanner scanner(scan, cache);
    const fs::path machine(machineDir);
    for (const fs::path& file : InstalledFiles(machine / "Fonts")) {
        scanner.File(file, FontOrigin::Installed);
    }

    std::ifstream listFile(machine / "ActiveFonts.txt", std::ios::binary);
    if (listFile) {
        std::ostringstream text;
        text << listFile.rdbuf();
        for (const std::string& line : ParseActiveFontsList(text.str())) {
            const fs::path path = fs::u8path(line);
            std::error_code ec;
            // Rooted, not absolute: on Windows a path such as /usr/share/... has no
            // drive, and names a file on the current drive all the same.
            if (!path.has_root_directory()) {
                scan.skipped.push_back(line + ": not an absolute path");
            } else if (!fs::is_regular_file(path, ec)) {
                scan.skipped.push_back(line + ": no such font file");
            } else {
                scanner.File(path, FontOrigin::Activated);
            }
        }
    }
    if (cache) cache->DropUnused();
    return scan;
}

}  // namespace host
