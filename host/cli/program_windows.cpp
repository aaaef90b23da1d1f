// Plain line input at a prompt. A console is told by its console mode: the
// C runtime's _isatty also takes the NUL device for a terminal.
#include <windows.h>

#include <iostream>

#include "program.h"

namespace cli {

namespace {

bool IsConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != FALSE;
}

bool ReadConsoleLine(std::string* line) {
    std::cout << "lumaro> " << std::flush;
    if (std::getline(std::cin, *line)) return true;
    std::cout << "\n";
    return false;
}

}  // namespace

LineReader TerminalConsole() {
    if (!IsConsole(STD_INPUT_HANDLE)) return nullptr;
    return ReadConsoleLine;
}

bool StandardErrorIsTerminal() { return IsConsole(STD_ERROR_HANDLE); }

}  // namespace cli
