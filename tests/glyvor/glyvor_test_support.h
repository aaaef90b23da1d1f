// Temporary folders and the system's real font files, for the Glyvor tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace glyvor_test {

using TempFolder = ::TempFolder;

// Folders of the Debian font packages the tests run on.
extern const char kUrwType1[];
extern const char kUrwOpenType[];
extern const char kLiberation[];
extern const char kDejaVu[];
extern const char kNoto[];
extern const char kIpaGothic[];  // IPA Gothic and IPA P Gothic, named in Japanese too

// Copies a file, creating the target's folders.
void CopyFile(const std::string& from, const std::string& to);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// A TrueType collection holding the given single-font files, in order.
std::string MakeCollection(const std::vector<std::string>& fonts);

// The single-font file with its 'head' table's fontRevision set to `fixed`
// (16.16): the same font in another version.
std::string WithRevision(std::string font, std::uint32_t fixed);

}  // namespace glyvor_test

#include "glyvor/indexer.h"

namespace glyvor_test {

// The system's fonts indexed once per test program, in the groups "URW"
// (Type 1), "URWOT" (OpenType CFF), "Liberation", "DejaVu", "Noto" and "IPA".
const glyvor::IndexResult& SystemIndex();

}  // namespace glyvor_test
