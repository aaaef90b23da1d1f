// The session's platform on POSIX: the emulation's control surface.
#include <stdlib.h>

#include <filesystem>

#include "host/session/host_platform.h"
#include "host/session/session.h"
#include "host/text/unicode_text.h"
#include "platform/emu/control.h"

namespace host::session {

struct HostPlatform::State {
    HWND window = nullptr;
    HWND otherWindow = nullptr;  // another application's, for a hung window
    std::function<void()> onFontChange;
    unsigned long broadcastsSeen = 0;
    unsigned long shellSeen = 0;
    unsigned long objectsSeen = 0;
};

namespace {

LRESULT HostWindowProcedure(HWND, UINT message, WPARAM, LPARAM, void* context) {
    auto* state = static_cast<HostPlatform::State*>(context);
    if (message == WM_FONTCHANGE && state->onFontChange) state->onFontChange();
    return 0;
}

}  // namespace

HostPlatform::HostPlatform(unsigned codePage) : m_state(std::make_unique<State>()) {
    if (codePage != 0 && !EmuSetThreadCodePage(codePage))
        throw SessionError("code page " + std::to_string(codePage) + " is not supported");
    m_state->broadcastsSeen = EmuBroadcastCount();
    m_state->shellSeen = EmuShellExecuteCount();
    m_state->objectsSeen = EmuServerObjectsCreated();
}

HostPlatform::~HostPlatform() {
    if (m_state->window != nullptr) EmuDestroyWindow(m_state->window);
    if (m_state->otherWindow != nullptr) EmuDestroyWindow(m_state->otherWindow);
    // The emulation outlives the session (tests run several in one process).
    EmuClearFaults();
    EmuSetThreadCodePage(1252);
}

std::string HostPlatform::MakeTemporaryFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumaro-machine-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw SessionError("cannot make a temporary machine folder");
    return pattern;
}

void HostPlatform::UseMachine(const std::string& machine) {
    // The platform layer and the in-process font manager find the machine through this.
    setenv("LUMARO_MACHINE", machine.c_str(), 1);
    EmuSetMachineFolder(machine.c_str());
}

unsigned HostPlatform::CodePage() const { return EmuGetThreadCodePage(); }

void HostPlatform::CreateHostWindow(std::function<void()> onFontChange) {
    m_state->onFontChange = std::move(onFontChange);
    m_state->window = EmuCreateTopLevelWindow(&HostWindowProcedure, m_state.get());
}

HWND HostPlatform::HostWindow() const { return m_state->window; }

bool HostPlatform::HandlesFontChangeInPlace() { return false; }

std::vector<std::string> HostPlatform::TakeObservations() {
    std::vector<std::string> lines;
    for (ULONG n = EmuBroadcastCount(); m_state->broadcastsSeen < n; ++m_state->broadcastsSeen) {
        EmuBroadcast b{};
        if (!EmuBroadcastAt(m_state->broadcastsSeen, &b)) continue;
        std::string line = "[broadcast] " +
                           (b.message == WM_FONTCHANGE ? std::string("WM_FONTCHANGE")
                                                       : "message " + std::to_string(b.message)) +
                           (b.function == EMU_SEND_MESSAGE ? " sent" : " sent with a time-out") +
                           " to " + std::to_string(b.delivered) + " window(s)";
        if (b.skipped != 0) line += ", " + std::to_string(b.skipped) + " hung window(s) skipped";
        if (b.frozen) line += "; a hung window held it: the sender would never return";
        lines.push_back(line);
    }
    if (const ULONG created = EmuServerObjectsCreated(); created > m_state->objectsSeen) {
        // Whether the plug-in found the font manager running or had to start it.
        lines.push_back("[com] " + std::to_string(created - m_state->objectsSeen) +
                        " font-manager object(s) created");
        m_state->objectsSeen = created;
    }
    for (ULONG n = EmuShellExecuteCount(); m_state->shellSeen < n; ++m_state->shellSeen) {
        // Only the last call's arguments are kept; one call per command is the rule.
        const LPCWSTR verb = EmuLastShellExecuteVerb();
        const LPCWSTR file = EmuLastShellExecuteFile();
        lines.push_back("[shell] " + (verb ? EncodeUtf8(verb) : std::string("(default)")) + " " +
                        (file ? EncodeUtf8(file) : std::string("(none)")));
    }
    return lines;
}

void HostPlatform::ForgetObservations() {
    // The counters go too; nothing of the session's reads them.
    EmuResetCounters();
    m_state->broadcastsSeen = EmuBroadcastCount();
    m_state->shellSeen = EmuShellExecuteCount();
    m_state->objectsSeen = EmuServerObjectsCreated();
}

bool HostPlatform::SetFontManagerDiesAfter(unsigned long calls, std::string*) {
    // From then on every automation call fails as when the server process dies.
    EmuSetFaultInvoke(static_cast<ULONG>(calls), RPC_E_DISCONNECTED);
    return true;
}

bool HostPlatform::SetFontManagerHealthy(std::string*) {
    EmuSetFaultInvoke(0, S_OK);
    return true;
}

bool HostPlatform::SetFontManagerBroadcastsAt(unsigned long call, std::string*) {
    // COM hands the message to the host's thread while the plug-in waits for the call.
    EmuSendDuringInvoke(static_cast<ULONG>(call), HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
    return true;
}

bool HostPlatform::SetOtherWindowHung(bool hung, std::string*) {
    if (m_state->otherWindow == nullptr)
        m_state->otherWindow = EmuCreateTopLevelWindow(
            [](HWND, UINT, WPARAM, LPARAM, void*) -> LRESULT { return 0; }, nullptr);
    EmuSetWindowHung(m_state->otherWindow, hung ? TRUE : FALSE);
    return true;
}

}  // namespace host::session
