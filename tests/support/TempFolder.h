// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.
#pragma once

#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path of `name` inside the folder.
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    std::string operator/(const std::string& name) const { return File(name); }
    // Writes `content` to `name` and returns its path.
    std::string Write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path m_path;
};

std::string ReadFile(const std::string& path);
