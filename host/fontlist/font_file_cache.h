// What each font file held when it was last read, so that enumerating the
// machine again reads only the files that are new or changed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "fontlist/font_face_info.h"

namespace host {

class FontFileCache {
public:
    struct Record {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool readable = false;
        std::vector<FontFaceInfo> faces;
        std::string error;  // why it is not readable
        bool used = false;
    };

    // The record of `path`, when the file's size and modification time are
    // still those it was read with; null otherwise.
    const Record* Find(const std::string& path, std::uintmax_t size,
                       std::filesystem::file_time_type modified);
    void Store(const std::string& path, Record record);
    // Forgets the files neither found nor stored since the last call, so the
    // cache holds only what the machine still has.
    void DropUnused();
    std::size_t Size() const { return m_records.size(); }

private:
    std::unordered_map<std::string, Record> m_records;
};

}  // namespace host
