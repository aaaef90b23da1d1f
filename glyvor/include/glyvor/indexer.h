// The index step: reads font folders into a catalogue (with FreeType on Linux,
// DirectWrite on Windows).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "glyvor/catalog.h"

namespace glyvor {

struct GroupSource {
    std::string name;
    std::string folder;
};

struct GroupReport {
    std::string name;
    std::size_t fonts = 0;    // faces catalogued
    std::size_t skipped = 0;  // font files that could not be read, or of another format
    // "PATH: why" for each skipped file of a format this edition does not read
    // (Type 1 on Windows); PATH is relative to the group's folder.
    std::vector<std::string> refused;
};

struct IndexResult {
    Catalog catalog;
    std::vector<GroupReport> groups;  // same order as the sources
};

// Walks each folder recursively, in sorted order, looking at files named
// *.ttf, *.otf, *.ttc, *.otc, *.pfa, *.pfb and *.t1 (any case); other files
// are not fonts to us and are passed over silently. A font that cannot be
// read, or whose format is not OpenType CFF, TrueType or Type 1, is
// skipped and counted, and so is a file whose path is not valid UTF-8 (its
// identifier could not cross the automation boundary). Fails (false, *error set) only for bad
// sources: an empty, repeated or non-UTF-8 group name, one holding ':', or a folder that cannot be
// read or whose path is not UTF-8. A folder given as an absolute Linux path is
// read where Wine maps it (see native_path.h).
bool IndexFolders(const std::vector<GroupSource>& sources, IndexResult* result, std::string* error);

}  // namespace glyvor
