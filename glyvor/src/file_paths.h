// UTF-8 text and std::filesystem paths. On Windows a path built from a narrow
// string would be read in the ANSI code page; these keep every path UTF-8.
#pragma once

#include <filesystem>
#include <string>

namespace glyvor {

inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::u8path(utf8);
}

inline std::string Utf8FromPath(const std::filesystem::path& path) { return path.u8string(); }

// Names a temporary file as this process's own (its process id), so that two
// processes writing the same file never share a temporary.
std::string TemporarySuffix();

// `relative` may use '/' on every platform; the result uses the platform's separator.
inline std::string JoinPath(const std::string& folder, const std::string& relative) {
    std::filesystem::path joined = PathFromUtf8(folder) / PathFromUtf8(relative);
    return Utf8FromPath(joined.make_preferred());
}

}  // namespace glyvor
