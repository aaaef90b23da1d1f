#include "command_line.h"

#include <cstdlib>
#include <stdexcept>

namespace cli {

const char* Usage() {
    return "usage: lumaro-host [OPTIONS] [SCENARIO]\n"
           "  Loads every .aip of the plug-ins folder, starts the plug-ins, runs the\n"
           "  commands of SCENARIO (a file, or - for standard input; with neither, a\n"
           "  console on a terminal), shuts down and reports what a plug-in left behind.\n"
           "  Exit status 0 when every command worked and nothing was left behind,\n"
           "  1 when not, 2 for bad usage.\n"
           "options:\n"
           "  --machine DIR   the simulated machine (default: a fresh temporary one)\n"
           "  --plugins DIR   the plug-ins folder (default: the built plug-ins)\n"
           "  --codepage N    the host thread's ANSI code page (default 1252)\n"
           "  --help          this text\n"
           "commands:\n";
}

Options ParseCommandLine(int argc, const char* const* argv, const std::string& defaultPlugins) {
    Options options;
    options.pluginsFolder = defaultPlugins;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* what) {
            if (i + 1 >= argc) throw std::invalid_argument(arg + " needs " + what);
            return std::string(argv[++i]);
        };
        if (arg == "--plugins") {
            options.pluginsFolder = value("a folder");
        } else if (arg == "--machine") {
            options.machineFolder = value("a folder");
        } else if (arg == "--codepage") {
            const std::string text = value("a number");
            char* end = nullptr;
            const unsigned long cp = std::strtoul(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || cp == 0 || cp > 65535)
                throw std::invalid_argument("--codepage needs a code page number, not " + text);
            options.codePage = static_cast<unsigned>(cp);
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg != "-" && !arg.empty() && arg[0] == '-') {
            throw std::invalid_argument("unknown option " + arg);
        } else if (!options.scenario.empty()) {
            throw std::invalid_argument("one scenario at a time (" + options.scenario + ", " + arg +
                                        ")");
        } else {
            options.scenario = arg;
        }
    }
    return options;
}

}  // namespace cli
