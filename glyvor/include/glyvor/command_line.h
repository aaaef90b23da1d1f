// The `glyvor` command line, callable in-process so tests see its exact
// output and exit status.
//
//   glyvor index --out CATALOG [--group NAME=DIR]...
//       index the folders (recursively) into CATALOG; one line per group,
//       "NAME<TAB>FONTS fonts<TAB>SKIPPED skipped"
//   glyvor match CATALOG NAME
//       "IDENTIFIER<TAB>DETAIL", exit 0; nothing and exit 1 without a match
//   glyvor list CATALOG
//       one line per face: "IDENTIFIER<TAB>FORMAT<TAB>POSTSCRIPT<TAB>FULL NAME"
//   glyvor register --machine DIR [--catalog CATALOG] [--module SERVER]
//       registers "Glyvor.Document" on the machine (see server.h); the
//       catalogue defaults to DIR/Glyvor/catalog.txt, the server to the
//       module built with this program
//   glyvor unregister --machine DIR
//
// Bad usage, an unreadable catalogue, a failed index or registration: a message on the
// error stream and exit status 2.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace glyvor {

constexpr int kExitOk = 0;
constexpr int kExitNoMatch = 1;
constexpr int kExitUsage = 2;

// args excludes the program name.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace glyvor
