#include "run.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "command_line.h"
#include "host/session/session.h"

namespace cli {

namespace {

// Fault commands at the head of a scenario are armed before the plug-ins start, so that
// start-up's own calls can be failed too.
bool IsPrologue(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') return true;
    return line.compare(first, 6, "fault ") == 0;
}

bool IsFault(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    return first != std::string::npos && line.compare(first, 6, "fault ") == 0;
}

int RunLines(host::session::Session& session, const LineReader& next) {
    // Comments before the first fault stay where they are when no fault comes.
    std::vector<std::string> held;
    std::string line;
    bool pending = false;
    while (next(&line)) {
        if (!IsPrologue(line)) {
            pending = true;
            break;
        }
        held.push_back(line);
        if (IsFault(line)) {
            for (const std::string& h : held) session.Execute(h);
            held.clear();
        }
    }
    const bool started = session.Start();
    for (const std::string& h : held) session.Execute(h);
    if (pending) session.Execute(line);
    while (!session.Finished() && next(&line)) session.Execute(line);
    if (!session.Finished()) session.Execute("quit");
    const bool clean = session.Quit();
    return started && clean && session.FailedCommands() == 0 ? kExitClean : kExitFailed;
}

}  // namespace

int RunLumaroHost(const std::vector<std::string>& args, std::istream& input, std::ostream& out,
                  std::ostream& err, const LineReader& console, std::ostream* progress) {
    Options options;
    try {
        std::vector<const char*> argv{"lumaro-host"};
        for (const std::string& a : args) argv.push_back(a.c_str());
        options = ParseCommandLine(static_cast<int>(argv.size()), argv.data(),
                                   LUMARO_DEFAULT_PLUGINS_DIR);
    } catch (const std::invalid_argument& e) {
        err << "lumaro-host: " << e.what() << "\n"
            << "try lumaro-host --help\n";
        return kExitUsage;
    }
    if (options.help) {
        out << Usage() << host::session::Session::CommandHelp();
        return kExitClean;
    }

    std::ifstream file;
    LineReader next;
    std::string base;
    bool interactive = false;
    if (options.scenario == "-") {
        next = [&input](std::string* line) { return bool(std::getline(input, *line)); };
    } else if (!options.scenario.empty()) {
        if (std::filesystem::is_directory(options.scenario)) {
            err << "lumaro-host: " << options.scenario << " is a folder, not a scenario\n";
            return kExitUsage;
        }
        file.open(options.scenario);
        if (!file) {
            err << "lumaro-host: cannot read the scenario " << options.scenario << "\n";
            return kExitUsage;
        }
        next = [&file](std::string* line) { return bool(std::getline(file, *line)); };
        base = std::filesystem::absolute(options.scenario).parent_path().string();
    } else if (console) {
        next = console;
        interactive = true;
    } else {
        next = [&input](std::string* line) { return bool(std::getline(input, *line)); };
    }

    try {
        host::session::SessionOptions so;
        so.pluginsFolder = options.pluginsFolder;
        so.machineFolder = options.machineFolder;
        so.codePage = options.codePage;
        so.baseFolder = base;
        so.echoCommands = !interactive;
        host::session::Session session(so, out, progress);
        return RunLines(session, next);
    } catch (const host::session::SessionError& e) {
        err << "lumaro-host: " << e.what() << "\n";
        return kExitUsage;
    }
}

}  // namespace cli
