// The machine folder: what the font manager and the simulated host share.
//
//   <machine>/Fonts/                installed fonts: every regular file in it
//                                   (not recursive) whose name does not start
//                                   with '.' is an installed font file (a copy
//                                   in progress is a hidden temporary).
//                                   Installing copies a file in under its own
//                                   name and never replaces a different file.
//   <machine>/ActiveFonts.txt       fonts activated for the session: one
//                                   absolute file path per line, UTF-8, LF line
//                                   ends (a CR before the LF is tolerated), no
//                                   duplicates; empty lines are ignored. Absent
//                                   means none. Writers replace it atomically.
//   <machine>/Glyvor/catalog.txt    the server's catalogue (see catalog.h),
//                                   unless the registration names another.
//   <machine>/Glyvor/registration.txt
//                                   written by RegisterGlyvor (server.h): lines
//                                   "module=PATH" and "catalog=PATH".
//   <machine>/Glyvor/Glyvor.tlb     (Windows) the type library of IGlyvor that
//                                   the registration names.
//
// Every path is absolute UTF-8. Readers treat a missing file as empty.
#pragma once

#include <string>
#include <vector>

namespace glyvor {

std::string FontsFolder(const std::string& machine);
std::string ActiveFontsFile(const std::string& machine);
std::string GlyvorFolder(const std::string& machine);
std::string DefaultCatalogPath(const std::string& machine);
std::string RegistrationFile(const std::string& machine);
std::string TypeLibraryFile(const std::string& machine);

// The activated font paths, in the order they were activated.
std::vector<std::string> ReadActiveFonts(const std::string& machine);
// Adds the path unless it is already listed. False (and *error) when the list
// cannot be written.
bool AddActiveFont(const std::string& machine, const std::string& path, std::string* error);

// True when <machine>/Fonts/ holds a file of this name with the same bytes as `source`.
bool IsInstalledCopyOf(const std::string& machine, const std::string& source);

// Copies `source` into <machine>/Fonts/ under its own file name. Installing
// the same bytes again succeeds; a different file of that name is left alone
// and the call fails. The copy appears whole or not at all.
bool InstallFontFile(const std::string& machine, const std::string& source, std::string* error);

}  // namespace glyvor
