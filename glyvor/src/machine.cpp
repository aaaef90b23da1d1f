#include "glyvor/machine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_paths.h"

namespace glyvor {

namespace fs = std::filesystem;

namespace {

bool ReadWhole(const std::string& path, std::string* bytes) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    *bytes = buffer.str();
    return true;
}

std::string TempNameBeside(const std::string& path) {
    const fs::path p = PathFromUtf8(path);
    return Utf8FromPath(p.parent_path() / PathFromUtf8("." + Utf8FromPath(p.filename()) + ".tmp." +
                                                       TemporarySuffix()));
}

void RemoveQuietly(const std::string& path) {
    std::error_code ignored;
    fs::remove(PathFromUtf8(path), ignored);
}

// Writes a temporary file beside `path`; the caller decides how it takes its place.
bool WriteTemp(const std::string& temp, const std::string& bytes, std::string* error) {
    std::ofstream out(PathFromUtf8(temp), std::ios::binary | std::ios::trunc);
    if (!out) {
        *error = "cannot create " + temp + ": " + std::strerror(errno);
        return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        *error = "cannot write " + temp;
        out.close();
        RemoveQuietly(temp);
        return false;
    }
    return true;
}

}  // namespace

std::string FontsFolder(const std::string& machine) { return JoinPath(machine, "Fonts"); }
std::string ActiveFontsFile(const std::string& machine) {
    return JoinPath(machine, "ActiveFonts.txt");
}
std::string GlyvorFolder(const std::string& machine) { return JoinPath(machine, "Glyvor"); }
std::string DefaultCatalogPath(const std::string& machine) {
    return JoinPath(GlyvorFolder(machine), "catalog.txt");
}
std::string RegistrationFile(const std::string& machine) {
    return JoinPath(GlyvorFolder(machine), "registration.txt");
}

std::string TypeLibraryFile(const std::string& machine) {
    return JoinPath(GlyvorFolder(machine), "Glyvor.tlb");
}

std::vector<std::string> ReadActiveFonts(const std::string& machine) {
    std::vector<std::string> paths;
    std::string bytes;
    if (!ReadWhole(ActiveFontsFile(machine), &bytes)) return paths;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) paths.push_back(line);
    }
    return paths;
}

bool AddActiveFont(const std::string& machine, const std::string& path, std::string* error) {
    if (path.empty() || path.find('\n') != std::string::npos) {
        *error = "the path '" + path + "' cannot be listed";
        return false;
    }
    std::vector<std::string> paths = ReadActiveFonts(machine);
    if (std::find(paths.begin(), paths.end(), path) != paths.end()) return true;
    paths.push_back(path);
    std::string text;
    for (const std::string& p : paths) text += p + "\n";
    std::error_code ec;
    fs::create_directories(PathFromUtf8(machine), ec);
    const std::string target = ActiveFontsFile(machine);
    const std::string temp = TempNameBeside(target);
    if (!WriteTemp(temp, text, error)) return false;
    // Replaces the list in one step on both platforms.
    fs::rename(PathFromUtf8(temp), PathFromUtf8(target), ec);
    if (ec) {
        *error = "cannot replace " + target + ": " + ec.message();
        RemoveQuietly(temp);
        return false;
    }
    return true;
}

bool IsInstalledCopyOf(const std::string& machine, const std::string& source) {
    const fs::path target = PathFromUtf8(FontsFolder(machine)) / PathFromUtf8(source).filename();
    std::error_code ec;
    if (!fs::is_regular_file(target, ec)) return false;
    std::string a, b;
    return fs::file_size(target, ec) == fs::file_size(PathFromUtf8(source), ec) && !ec &&
           ReadWhole(Utf8FromPath(target), &a) && ReadWhole(source, &b) && a == b;
}

bool InstallFontFile(const std::string& machine, const std::string& source, std::string* error) {
    const std::string name = Utf8FromPath(PathFromUtf8(source).filename());
    std::string bytes;
    if (!ReadWhole(source, &bytes)) {
        *error = "cannot read " + source + ": " + std::strerror(errno);
        return false;
    }
    const std::string folder = FontsFolder(machine);
    std::error_code ec;
    fs::create_directories(PathFromUtf8(folder), ec);
    if (ec) {
        *error = "cannot create " + folder + ": " + ec.message();
        return false;
    }
    const std::string target = JoinPath(folder, name);
    auto sameOrRefuse = [&]() {
        std::string existing;
        if (ReadWhole(target, &existing) && existing == bytes) return true;
        *error = "a different file named " + name + " is already installed";
        return false;
    };
    if (fs::exists(fs::symlink_status(PathFromUtf8(target), ec))) return sameOrRefuse();
    const std::string temp = TempNameBeside(target);
    if (!WriteTemp(temp, bytes, error)) return false;
    // A hard link never replaces an existing file, so a file that appeared in
    // the meantime is kept.
    fs::create_hard_link(PathFromUtf8(temp), PathFromUtf8(target), ec);
    RemoveQuietly(temp);
    if (!ec) return true;
    if (ec == std::errc::file_exists) return sameOrRefuse();
    *error = "cannot copy into " + folder + ": " + ec.message();
    return false;
}

}  // namespace glyvor
