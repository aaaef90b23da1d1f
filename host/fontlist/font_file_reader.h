// Reads the faces of font files: with FreeType on POSIX
// (font_file_reader_freetype.cpp), with DirectWrite on Windows
// (font_file_reader_directwrite.cpp).
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
    // false with a reason, appending nothing, when the file cannot be read.
    bool Read(const std::string& path, std::vector<FontFaceInfo>& faces, std::string& error);

private:
    struct Library;
    std::unique_ptr<Library> m_library;
};

}  // namespace host
