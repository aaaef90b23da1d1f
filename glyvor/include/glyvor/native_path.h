// Paths as this platform's file functions take them.
#pragma once

#include <string>

namespace glyvor {

// On Windows, an absolute Linux path ("/usr/share/fonts", as a shell hands it to a
// program running under Wine) becomes the DOS path Wine maps it to ("Z:\usr\share\fonts");
// every other path, and every path on Linux, is returned unchanged. UTF-8 both ways.
std::string NativePath(const std::string& path);

}  // namespace glyvor
