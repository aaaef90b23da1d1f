// The type library of "Glyvor.Document": the dispatch interface IGlyvor with its
// three methods, and the class. Written from the same method table that the
// object's Invoke checks, so the two cannot disagree. The standard automation
// marshaller reads it to carry IGlyvor between processes.
#pragma once

#include <string>

#include "platform/win32.h"

namespace glyvor {

// Writes the library to `path` (replacing a file there). *error says why on failure.
HRESULT WriteTypeLibrary(const std::string& path, std::string* error);

// The registry's name for this build's kind of library ("win64" or "win32").
const wchar_t* TypeLibraryPlatformKey();

}  // namespace glyvor
