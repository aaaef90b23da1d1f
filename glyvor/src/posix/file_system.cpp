#include <unistd.h>

#include "file_paths.h"
#include "glyvor/native_path.h"

namespace glyvor {

std::string NativePath(const std::string& path) { return path; }

std::string TemporarySuffix() { return std::to_string(::getpid()); }

}  // namespace glyvor
