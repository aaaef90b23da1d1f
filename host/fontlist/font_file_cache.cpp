#include "fontlist/font_file_cache.h"

namespace host {

const FontFileCache::Record* FontFileCache::Find(const std::string& path, std::uintmax_t size,
                                                 std::filesystem::file_time_type modified) {
    auto it = m_records.find(path);
    if (it == m_records.end() || it->second.size != size || it->second.modified != modified) {
        return nullptr;
    }
    it->second.used = true;
    return &it->second;
}

void FontFileCache::Store(const std::string& path, Record record) {
    record.used = true;
    m_records[path] = std::move(record);
}

void FontFileCache::DropUnused() {
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (it->second.used) {
            it->second.used = false;
            ++it;
        } else {
            it = m_records.erase(it);
        }
    }
}

}  // namespace host
