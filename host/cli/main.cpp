// lumaro-host: the simulated host application on the command line. With no
// scenario on a terminal it is a console with line editing.
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "host/session/session.h"
#include "run.h"

namespace {

char* CompleteCommand(const char* text, int state) {
    static std::size_t next = 0;
    if (state == 0) next = 0;
    const std::vector<std::string> names = host::session::Session::CommandNames();
    while (next < names.size()) {
        const std::string& name = names[next++];
        if (name.compare(0, std::strlen(text), text) == 0) return strdup(name.c_str());
    }
    return nullptr;
}

char** Complete(const char* text, int start, int) {
    // Commands at the start of a line, file names after.
    return start == 0 ? rl_completion_matches(text, CompleteCommand) : nullptr;
}

bool ReadConsoleLine(std::string* line) {
    char* read = readline("lumaro> ");
    if (read == nullptr) {
        std::cout << "\n";
        return false;
    }
    *line = read;
    if (*read != '\0') add_history(read);
    std::free(read);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::LineReader console;
    if (isatty(STDIN_FILENO)) {
        rl_attempted_completion_function = Complete;
        console = ReadConsoleLine;
        std::cout << "lumaro-host: type help for the commands, quit or Ctrl-D to end\n";
    }
    return cli::RunLumaroHost(args, std::cin, std::cout, std::cerr, console,
                              isatty(STDERR_FILENO) ? &std::cerr : nullptr);
}
