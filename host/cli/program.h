// What lumaro-host takes from its platform: the console a person types into.
// program_posix.cpp has a readline console; program_windows.cpp plain line input.
#pragma once

#include "run.h"

namespace cli {

// A console with a prompt when standard input is a terminal; null otherwise.
LineReader TerminalConsole();
bool StandardErrorIsTerminal();

}  // namespace cli
