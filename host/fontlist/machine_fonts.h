// The fonts of the simulated machine: the files in <machine>/Fonts/ (the
// installed fonts) and the files listed in <machine>/ActiveFonts.txt (the
// fonts the font manager activated for the session: one absolute path per
// line, UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fontlist/font_face_info.h"
#include "fontlist/font_file_cache.h"

namespace host {

enum class FontOrigin { Installed, Activated, Missing };

struct MachineFont {
    FontFaceInfo face;
    FontOrigin origin = FontOrigin::Installed;
};

struct MachineFontScan {
    // One per PostScript name: an installed font wins over an activated one
    // of the same name, a file read earlier over one read later.
    std::vector<MachineFont> fonts;
    std::size_t filesRead = 0;
    // Files, readable or not, taken from the cache rather than read again.
    std::size_t filesReused = 0;
    // Files that could not be read as fonts, and listed paths that are not
    // absolute or do not exist: "path: reason".
    std::vector<std::string> skipped;
    // Faces left out because a font of the same PostScript name came first.
    std::size_t duplicates = 0;
};

// Reads the machine folder. A missing Fonts/ folder or ActiveFonts.txt means
// no fonts of that kind. Every regular file in Fonts/ (not in its
// subfolders) is an installed font file, read in file-name order; a file that
// is both installed and listed is read once, as installed. With a cache,
// files unchanged since they were read into it are not read again.
MachineFontScan ScanMachineFonts(const std::string& machineDir, FontFileCache* cache = nullptr);

// The paths listed in an ActiveFonts.txt text: one per line, a carriage
// return before the line feed and a leading byte-order mark tolerated, empty
// lines dropped. Blanks belong to the path.
std::vector<std::string> ParseActiveFontsList(const std::string& text);

}  // namespace host
