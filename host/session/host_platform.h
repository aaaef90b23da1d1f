// What a session does through its platform, in one place: the thread's code page,
// the host's top-level window and the messages it receives, what the platform
// saw the plug-in do (broadcasts, shell calls, font-manager objects), and the
// failures a scenario can cause. host_platform_emulated.cpp drives the
// emulation's control surface; host_platform_windows.cpp is Windows itself,
// where some of these cannot be seen or caused: those answer false with the
// reason, and the session reports it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace host::session {

class HostPlatform {
public:
    // Prepares the user-interface thread (on Windows: OLE) and sets its ANSI code
    // page (0 keeps the default). Throws SessionError.
    explicit HostPlatform(unsigned codePage);
    ~HostPlatform();
    HostPlatform(const HostPlatform&) = delete;
    HostPlatform& operator=(const HostPlatform&) = delete;

    // A fresh folder for a temporary machine. Throws SessionError.
    static std::string MakeTemporaryFolder();
    // Tells the platform where the simulated machine lives.
    void UseMachine(const std::string& machine);

    // The thread's ANSI code page (CP_THREAD_ACP).
    unsigned CodePage() const;

    // Creates the host's top-level window; `onFontChange` runs whenever it receives
    // WM_FONTCHANGE, on this thread, inside the sender's call.
    void CreateHostWindow(std::function<void()> onFontChange);
    HWND HostWindow() const;
    // True where the host reads the fonts again right where the window receives
    // WM_FONTCHANGE (Windows: a real window procedure, inside the sender's call);
    // false where it notes it and does so once the user's action has returned.
    static bool HandlesFontChangeInPlace();

    // Lines for the transcript ("[broadcast] ...", "[com] ...", "[shell] ...")
    // for what happened since the last call.
    std::vector<std::string> TakeObservations();
    // Drops the records the observations come from, once taken: they grow with
    // every broadcast, which a long run must not count against the plug-in.
    void ForgetObservations();

    // The font manager dies at its `calls`-th automation call from now, or is well.
    bool SetFontManagerDiesAfter(unsigned long calls, std::string* why);
    bool SetFontManagerHealthy(std::string* why);
    // The font manager broadcasts WM_FONTCHANGE during its `call`-th automation call
    // from now, as one does once it has activated a font, while the plug-in waits.
    bool SetFontManagerBroadcastsAt(unsigned long call, std::string* why);
    // Another application's top-level window stops answering messages, or answers.
    bool SetOtherWindowHung(bool hung, std::string* why);

    // What the window procedure reaches.
    struct State;

private:
    std::unique_ptr<State> m_state;
};

}  // namespace host::session
