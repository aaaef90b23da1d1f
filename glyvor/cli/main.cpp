#include <iostream>
#include <string>
#include <vector>

#include "glyvor/command_line.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return glyvor::RunCommandLine(args, std::cout, std::cerr);
}
