// The shell: nothing is opened; the call is recorded for the tests.
#include "platform/emu/shell.h"

#include <mutex>
#include <string>

#include "platform/emu/control.h"

namespace {

struct Text {
    bool present = false;
    std::u16string value;
    void Set(LPCWSTR text) {
        present = text != nullptr;
        value = text != nullptr ? std::u16string(text) : std::u16string();
    }
    LPCWSTR Get() const { return present ? value.c_str() : nullptr; }
};

struct ShellRecord {
    std::mutex mutex;
    INT_PTR result = 42;
    ULONG calls = 0;
    HWND owner = nullptr;
    Text verb, file, parameters, directory;
    INT showCommand = 0;
};

ShellRecord& record() {
    static ShellRecord instance;
    return instance;
}

// Where no window exists: a fixed value, never a pointer to anything.
const HWND kDesktopWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10010));

}  // namespace

namespace emu {
void ResetShellRecords() {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.calls = 0;
    r.owner = nullptr;
    r.verb.Set(nullptr);
    r.file.Set(nullptr);
    r.parameters.Set(nullptr);
    r.directory.Set(nullptr);
    r.showCommand = 0;
}
}  // namespace emu

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    ++r.calls;
    r.owner = owner;
    r.verb.Set(verb);
    r.file.Set(file);
    r.parameters.Set(parameters);
    r.directory.Set(directory);
    r.showCommand = showCommand;
    return reinterpret_cast<HINSTANCE>(r.result);
}

HWND GetDesktopWindow(void) { return kDesktopWindow; }

void EmuSetShellExecuteResult(INT_PTR result) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.result = result;
}

ULONG EmuShellExecuteCount(void) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.calls;
}

HWND EmuLastShellExecuteOwner(void) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.owner;
}

LPCWSTR EmuLastShellExecuteVerb(void) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.verb.Get();
}

LPCWSTR EmuLastShellExecuteFile(void) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.file.Get();
}

LPCWSTR EmuLastShellExecuteParameters(void) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.parameters.Get();
}

LPCWSTR EmuLastShellExecuteDirectory(void) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.directory.Get();
}

INT EmuLastShellExecuteShowCommand(void) {
    ShellRecord& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.showCommand;
}
