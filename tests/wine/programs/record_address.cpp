// Stands for a web browser in the Help test: registered as the program that
// opens https addresses, it writes the address it is given to a file.
//
//   record_address.exe FILE ADDRESS
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: record_address FILE ADDRESS\n");
        return 2;
    }
    char address[2048];
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, address, sizeof address, nullptr, nullptr);
    if (length <= 0) return 1;
    // Written whole under another name, then renamed: the test never reads half.
    const std::wstring partial = std::wstring(argv[1]) + L".part";
    FILE* out = _wfopen(partial.c_str(), L"wb");
    if (out == nullptr) return 1;
    std::fputs(address, out);
    std::fclose(out);
    return MoveFileExW(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
