// RunningGlyvor on Windows: glyvor.exe started by hand ("serve"), found
// through the running-object table, and stopped by closing its window.
#include <windows.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "file_paths.h"
#include "glyvor/machine.h"
#include "glyvor/server.h"
#include "machine_choice.h"
#include "quoting.h"
#include "wide_text.h"

namespace glyvor {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(15);
constexpr DWORD kStopTimeoutMs = 5000;

std::string RegisteredModule(const std::string& machine) {
    std::ifstream in(PathFromUtf8(RegistrationFile(machine)));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("module=", 0) == 0) return line.substr(7);
    }
    return {};
}

// True once the server's object is in the running-object table.
bool ObjectIsRunning() {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* running = nullptr;
    const bool found = SUCCEEDED(GetActiveObject(CLSID_GlyvorDocument, nullptr, &running));
    if (running != nullptr) running->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return found;
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

HRESULT RunningGlyvor::Start(std::string* error) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (m_cookie != 0) {
        *error = "Glyvor is already running";
        return E_UNEXPECTED;
    }
    const std::string machine = ChosenMachine();
    if (machine.empty()) {
        *error = "no machine folder is chosen";
        return E_UNEXPECTED;
    }
    const std::string module = RegisteredModule(machine);
    if (module.empty()) {
        *error = "Glyvor is not registered on " + machine;
        return REGDB_E_CLASSNOTREG;
    }
    std::wstring commandLine = QuoteArgument(WideFromUtf8(module)) + L" serve --machine " +
                               QuoteArgument(WideFromUtf8(machine));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(WideFromUtf8(module).c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started)) {
        *error = "cannot start " + module;
        return HRESULT_FROM_WIN32(GetLastError());
    }
    CloseHandle(started.hThread);
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (!ObjectIsRunning()) {
        DWORD exitCode = 0;
        const bool ended =
            GetExitCodeProcess(started.hProcess, &exitCode) && exitCode != STILL_ACTIVE;
        if (ended || std::chrono::steady_clock::now() > deadline) {
            if (!ended) TerminateProcess(started.hProcess, 1);
            CloseHandle(started.hProcess);
            *error = module + (ended ? " ended before its object was running"
                                     : " did not put its object in the running-object table");
            return CO_E_SERVER_EXEC_FAILURE;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_process = started.hProcess;
    m_cookie = started.dwProcessId;
    return S_OK;
}

void RunningGlyvor::Stop() {
    if (m_cookie == 0) return;
    EnumWindows(CloseWindowOf, static_cast<LPARAM>(m_cookie));
    HANDLE process = static_cast<HANDLE>(m_process);
    if (WaitForSingleObject(process, kStopTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    CloseHandle(process);
    m_process = nullptr;
    m_cookie = 0;
}

}  // namespace glyvor
