#include "run.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "command_line.h"
#include "host/session/session.h"

namespace cli {

namespace {

int RunLines(host::session::Session& session, const LineReader& next) {
    const bool started = session.Start();
    std::string line;
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
