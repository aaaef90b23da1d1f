// lumaro-host: the simulated host application on the command line. With no
// scenario on a terminal it is a console.
#include <iostream>

#include "program.h"
#include "run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const cli::LineReader console = cli::TerminalConsole();
    if (console) std::cout << "lumaro-host: type help for the commands, quit or Ctrl-D to end\n";
    return cli::RunLumaroHost(args, std::cin, std::cout, std::cerr, console,
                              cli::StandardErrorIsTerminal() ? &std::cerr : nullptr);
}
