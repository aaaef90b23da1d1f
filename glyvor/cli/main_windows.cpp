// glyvor.exe: the command line, and the automation server when started with
// "serve". Arguments arrive as UTF-16 and are handed on as UTF-8; output bytes
// are UTF-8 with LF line ends, as on Linux.
#include <windows.h>
// clang-format off
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "glyvor/command_line.h"
#include "wide_text.h"

int main() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        args.push_back(glyvor::Utf8FromWide(arguments[i]));
    }
    LocalFree(arguments);
    const int status = glyvor::RunCommandLine(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
