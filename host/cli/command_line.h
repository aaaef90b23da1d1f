// The options of lumaro-host.
#pragma once

#include <string>

namespace cli {

struct Options {
    std::string pluginsFolder;
    std::string machineFolder;  // empty: a fresh temporary folder
    unsigned codePage = 0;      // 0: the emulation's default, 1252
    std::string scenario;       // a file, "-" for standard input, empty for none
    bool help = false;
};

// Throws std::invalid_argument with a message for the user.
Options ParseCommandLine(int argc, const char* const* argv, const std::string& defaultPlugins);

const char* Usage();

}  // namespace cli
