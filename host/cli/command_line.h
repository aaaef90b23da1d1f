// The options of lumaro-host.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Options {
    std::string pluginsFolder;
    std::string machineFolder;          // empty: a fresh temporary folder
    bool quiet = false;                 // only the report, no event echo
    std::vector<std::string> commands;  // the scenario after the options
    bool help = false;
};

// Throws std::invalid_argument with a message for the user.
Options ParseCommandLine(int argc, const char* const* argv, const std::string& defaultPlugins);

const char* Usage();

}  // namespace cli
