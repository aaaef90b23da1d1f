// Reads the faces of font files with FreeType.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fontlist/font_face_info.h"

namespace host {

class FontFileReader {
public:
    FontFileReader();
    ~FontFileReader();
    FontFileReader(const FontFileReader&) = delete;
    FontFileReader& operator=(const FontFileReader&) = delete;

    // Appends every face of the file (a collection has several). Returns
    // false with a reason, appending nothing, when FreeType cannot read it.
    bool Read(const std::string& path, std::vector<FontFaceInfo>& faces, std::string& error);

private:
    struct Library;
    std::unique_ptr<Library> m_library;
};

}  // namespace host
