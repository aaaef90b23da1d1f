// On Windows the plug-in reports an assertion with OutputDebugStringA, which
// raises DBG_PRINTEXCEPTION_C for a debugger to see. The host watches for it as a
// debugger would, with a vectored handler that sees the exception first, and
// takes the reports of the plug-in's form ("SOURCE(LINE): assertion failed:
// EXPRESSION"); other debug output goes on to the system. The machine folder
// is the host's own: Windows has no emulated registry to tell.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/host.h"
#include "platform_bridge.h"

namespace host::detail {

namespace {

Host* g_sinkHost = nullptr;
void* g_handler = nullptr;
std::string g_machineFolder;

bool ParseAssertion(const std::string& text, std::string* expression, std::string* source,
                    int* line) {
    static const char kMarker[] = "): assertion failed: ";
    const auto marker = text.find(kMarker);
    if (marker == std::string::npos) return false;
    const auto open = text.rfind('(', marker);
    if (open == std::string::npos || open + 1 >= marker) return false;
    char* end = nullptr;
    const long number = std::strtol(text.c_str() + open + 1, &end, 10);
    if (end != text.c_str() + marker) return false;
    *source = text.substr(0, open);
    *line = static_cast<int>(number);
    *expression = text.substr(marker + sizeof kMarker - 1);
    while (!expression->empty() && (expression->back() == '\n' || expression->back() == '\r'))
        expression->pop_back();
    return true;
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2 ||
        g_sinkHost == nullptr)
        return EXCEPTION_CONTINUE_SEARCH;
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    if (text == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    std::string message(text, strnlen(text, length));
    std::string expression, source;
    int line = 0;
    if (!ParseAssertion(message, &expression, &source, &line)) return EXCEPTION_CONTINUE_SEARCH;
    g_sinkHost->RecordAssertion(expression.c_str(), source.c_str(), line);
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void InstallAssertionSink(Host* host) {
    g_sinkHost = host;
    if (host != nullptr && g_handler == nullptr) {
        g_handler = AddVectoredExceptionHandler(1, OnException);
    } else if (host == nullptr && g_handler != nullptr) {
        RemoveVectoredExceptionHandler(g_handler);
        g_handler = nullptr;
    }
}

void SetPlatformMachineFolder(const std::string& folder) { g_machineFolder = folder; }

bool EnterApartment() { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

void LeaveApartment() { CoUninitialize(); }

// The font manager's calls cross to its own process, out of the host's reach.
unsigned long AutomationCallCount() { return 0; }
bool FailAutomationCall(unsigned long call, long) { return call == 0; }
bool KillFontManagerAt(unsigned long call) { return call == 0; }

}  // namespace host::detail

namespace host {
std::string PlatformMachineFolder() { return detail::g_machineFolder; }
}  // namespace host
