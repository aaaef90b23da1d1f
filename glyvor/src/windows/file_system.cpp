#include <windows.h>

#include "file_paths.h"
#include "glyvor/native_path.h"
#include "wide_text.h"

namespace glyvor {

namespace {

// Wine's own export: the DOS name of a Unix path. Absent on Windows.
typedef WCHAR*(CDECL* DosFileNameFunction)(const char* unixPath);

DosFileNameFunction WineDosFileName() {
    static const DosFileNameFunction function = [] {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        FARPROC found = kernel ? GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr;
        return reinterpret_cast<DosFileNameFunction>(reinterpret_cast<void*>(found));
    }();
    return function;
}

}  // namespace

std::string NativePath(const std::string& path) {
    // "//server/share" is a Windows path already.
    if (path.size() < 2 || path[0] != '/' || path[1] == '/') return path;
    const DosFileNameFunction toDos = WineDosFileName();
    if (toDos == nullptr) return path;
    WCHAR* dos = toDos(path.c_str());
    if (dos == nullptr) return path;
    std::string converted = Utf8FromWide(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return converted;
}

std::string TemporarySuffix() { return std::to_string(GetCurrentProcessId()); }

}  // namespace glyvor
