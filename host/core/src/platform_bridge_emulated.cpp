// The emulation keeps the assertion sink and the machine folder.
#include "host/host.h"
#include "platform/emu/control.h"
#include "platform/win32.h"
#include "platform_bridge.h"

namespace host::detail {

namespace {
void Sink(const char* expression, const char* source, int line, void* context) {
    static_cast<Host*>(context)->RecordAssertion(expression, source, line);
}
}  // namespace

void InstallAssertionSink(Host* host) {
    if (host != nullptr) {
        EmuSetAssertionSink(Sink, host);
    } else {
        EmuSetAssertionSink(nullptr, nullptr);
    }
}

void SetPlatformMachineFolder(const std::string& folder) {
    EmuSetMachineFolder(folder.empty() ? nullptr : folder.c_str());
}

bool EnterApartment() { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

void LeaveApartment() { CoUninitialize(); }

unsigned long AutomationCallCount() { return EmuInvokeTotal(); }

bool FailAutomationCall(unsigned long call, long hr) {
    EmuSetFaultInvokeCall(call, call == 0 ? S_OK : static_cast<HRESULT>(hr));
    return true;
}

bool KillFontManagerAt(unsigned long call) {
    EmuSetFaultInvoke(call, call == 0 ? S_OK : RPC_E_DISCONNECTED);
    return true;
}

}  // namespace host::detail

namespace host {
std::string PlatformMachineFolder() {
    const char* folder = EmuGetMachineFolder();
    return folder != nullptr ? folder : "";
}
}  // namespace host
