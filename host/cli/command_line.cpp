#include "command_line.h"

#include <stdexcept>

namespace cli {

const char* Usage() {
    return "usage: lumaro-host [--plugins DIR] [--machine DIR] [--quiet] [COMMAND ...]\n"
           "  Loads every .aip of the plug-ins folder, starts the plug-ins, runs the\n"
           "  commands, shuts down and reports what a plug-in left behind.\n"
           "  Exit status 0 only when everything was clean.\n"
           "commands:\n";
}

Options ParseCommandLine(int argc, const char* const* argv, const std::string& defaultPlugins) {
    Options options;
    options.pluginsFolder = defaultPlugins;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) {
            if (i + 1 >= argc) throw std::invalid_argument(std::string(name) + " needs a folder");
            return std::string(argv[++i]);
        };
        if (arg == "--plugins") {
            options.pluginsFolder = value("--plugins");
        } else if (arg == "--machine") {
            options.machineFolder = value("--machine");
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (!arg.empty() && arg[0] == '-') {
            throw std::invalid_argument("unknown option " + arg);
        } else {
            options.commands.push_back(arg);
        }
    }
    return options;
}

}  // namespace cli
