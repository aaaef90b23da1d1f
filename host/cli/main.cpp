// lumaro-host: loads the plug-ins folder, starts every plug-in, runs the commands
// given, shuts down and reports. Exit status 0 only when nothing went wrong.
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "command_line.h"
#include "commands.h"
#include "host/host.h"
#include "machine_folder.h"

namespace {

// Prints the events since the last echo.
class Echo {
public:
    Echo(host::Host& host, std::ostream& out, bool quiet)
        : m_host(host), m_out(out), m_quiet(quiet) {}
    void operator()() {
        for (const host::Event& e : m_host.Events().Since(m_next))
            if (!m_quiet || e.kind == host::EventKind::Problem) m_out << e.ToString() << "\n";
        m_next = m_host.Events().Size();
    }

private:
    host::Host& m_host;
    std::ostream& m_out;
    bool m_quiet;
    std::size_t m_next = 0;
};

int Run(const cli::Options& options) {
    cli::MachineFolder machine(options.machineFolder);
    // The platform layer and in-process servers find the machine through this.
    setenv("LUMARO_MACHINE", machine.Path().c_str(), 1);

    host::Host host;
    host.SetMachineFolder(machine.Path());
    cli::Session session{host, std::cout};
    Echo echo(host, std::cout, options.quiet);

    host.LoadPluginsFolder(options.pluginsFolder);
    echo();
    host.StartAll();
    echo();
    cli::PrintRegistrations(session);

    bool commandsOk = true;
    for (std::size_t i = 0; i < options.commands.size();) {
        const cli::Command* command = cli::FindCommand(options.commands[i]);
        if (command == nullptr) {
            std::cout << "unknown command \"" << options.commands[i] << "\"\n";
            commandsOk = false;
            break;
        }
        if (i + 1 + command->argumentCount > options.commands.size()) {
            std::cout << command->name << " needs " << command->argumentCount << " argument(s)\n";
            commandsOk = false;
            break;
        }
        const std::vector<std::string> args(options.commands.begin() + static_cast<long>(i) + 1,
                                            options.commands.begin() + static_cast<long>(i) + 1 +
                                                static_cast<long>(command->argumentCount));
        std::cout << "> " << command->name;
        for (const std::string& a : args) std::cout << " " << a;
        std::cout << "\n";
        if (!command->run(session, args)) commandsOk = false;
        echo();
        i += 1 + command->argumentCount;
    }

    host.ShutdownAll();
    echo();
    cli::PrintAccounting(session);
    const bool clean = host.Clean() && commandsOk;
    std::cout << (clean ? "clean\n" : "NOT clean\n");
    return clean ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const cli::Options options = cli::ParseCommandLine(argc, argv, LUMARO_DEFAULT_PLUGINS_DIR);
        if (options.help) {
            std::cout << cli::Usage();
            for (const cli::Command& c : cli::Commands())
                std::cout << "  " << c.name << (c.arguments[0] ? " " : "") << c.arguments << ": "
                          << c.help << "\n";
            return EXIT_SUCCESS;
        }
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << "lumaro-host: " << e.what() << "\n";
        return 2;
    }
}
