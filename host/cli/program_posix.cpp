// The console with line editing, history and command completion (readline).
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "host/session/session.h"
#include "program.h"

namespace cli {

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

LineReader TerminalConsole() {
    if (!isatty(STDIN_FILENO)) return nullptr;
    rl_attempted_completion_function = Complete;
    return ReadConsoleLine;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace cli
