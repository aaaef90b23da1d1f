// The session's platform on Windows. The user-interface thread initialises OLE,
// as a real host does before it shows a window, and owns a real top-level window
// (never shown), which receives the system's broadcasts. A message sent from this
// thread, or from another while this one waits in COM's modal loop, reaches its
// window procedure inside the sender's call, and the host handles it there.
//
// What the emulation records and Windows does not tell the host (the plug-in's
// broadcasts, its shell calls) gives no lines here. glyvor.exe tells a block of
// shared memory that the host makes (glyvor/server_probe.h) which server
// processes started and how many objects COM had them create, and ends its
// process or broadcasts at the call the host names there; another window that
// hangs cannot be caused.
#include <ole2.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "glyvor/server_probe.h"
#include "host/session/host_platform.h"
#include "host/session/session.h"
#include "host/text/unicode_text.h"

namespace host::session {

struct HostPlatform::State {
    bool oleInitialised = false;
    LCID previousLocale = 0;
    HWND window = nullptr;
    std::function<void()> onFontChange;
    std::unique_ptr<glyvor::GlyvorProbe> probe;
    glyvor::ProbeCounts seen;
};

namespace {

constexpr wchar_t kWindowClass[] = L"LumaroHostWindow";

// Windows has no call that sets a thread's ANSI code page: it follows the
// thread's locale. Each code page here is the ANSI code page of this locale.
LANGID LanguageOfCodePage(unsigned codePage) {
    switch (codePage) {
        case 874:
            return MAKELANGID(LANG_THAI, SUBLANG_DEFAULT);
        case 932:
            return MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
        case 936:
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
        case 949:
            return MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT);
        case 950:
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
        case 1250:
            return MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT);
        case 1251:
            return MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
        case 1252:
            return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
        case 1253:
            return MAKELANGID(LANG_GREEK, SUBLANG_DEFAULT);
        case 1254:
            return MAKELANGID(LANG_TURKISH, SUBLANG_DEFAULT);
        case 1255:
            return MAKELANGID(LANG_HEBREW, SUBLANG_DEFAULT);
        case 1256:
            return MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_SAUDI_ARABIA);
        case 1257:
            return MAKELANGID(LANG_LITHUANIAN, SUBLANG_DEFAULT);
        case 1258:
            return MAKELANGID(LANG_VIETNAMESE, SUBLANG_DEFAULT);
        default:
            return 0;
    }
}

unsigned AnsiCodePageOf(LCID locale) {
    wchar_t text[8] = {};
    if (GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE, text, 8) == 0) return 0;
    return static_cast<unsigned>(std::wcstoul(text, nullptr, 10));
}

LRESULT CALLBACK HostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FONTCHANGE) {
        auto* state =
            reinterpret_cast<HostPlatform::State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (state != nullptr && state->onFontChange) state->onFontChange();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HostPlatform::HostPlatform(unsigned codePage) : m_state(std::make_unique<State>()) {
    if (codePage != 0) {
        const LANGID language = LanguageOfCodePage(codePage);
        if (language == 0)
            throw SessionError("code page " + std::to_string(codePage) +
                               " is not supported: no locale of this edition has it as its ANSI "
                               "code page");
        m_state->previousLocale = GetThreadLocale();
        const LCID locale = MAKELCID(language, SORT_DEFAULT);
        if (!SetThreadLocale(locale) || AnsiCodePageOf(GetThreadLocale()) != codePage) {
            SetThreadLocale(m_state->previousLocale);
            throw SessionError("code page " + std::to_string(codePage) +
                               " is not supported: the system would not set its locale");
        }
    }
    // OLE, not only COM: a host's user-interface thread does drag and drop and the
    // clipboard, and OLE makes it a single-threaded apartment.
    const HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr)) {
        if (m_state->previousLocale != 0) SetThreadLocale(m_state->previousLocale);
        throw SessionError("OLE cannot start on the host's thread");
    }
    m_state->oleInitialised = true;
}

HostPlatform::~HostPlatform() {
    if (m_state->window != nullptr) {
        SetWindowLongPtrW(m_state->window, GWLP_USERDATA, 0);
        DestroyWindow(m_state->window);
    }
    if (m_state->oleInitialised) OleUninitialize();
    if (m_state->previousLocale != 0) SetThreadLocale(m_state->previousLocale);
}

std::string HostPlatform::MakeTemporaryFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    if (error) throw SessionError("cannot make a temporary machine folder: no temporary folder");
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = temp / ("lumaro-machine-" + std::to_string(random()));
        // create_directory answers false when the folder exists already.
        if (fs::create_directory(folder, error)) return folder.generic_u8string();
        if (error) break;
    }
    throw SessionError("cannot make a temporary machine folder");
}

// Windows has no machine folder of its own to tell; the font manager's servers
// for it find the probe by its name.
void HostPlatform::UseMachine(const std::string& machine) {
    m_state->probe = std::make_unique<glyvor::GlyvorProbe>(machine);
    m_state->seen = m_state->probe->Counts();
}

unsigned HostPlatform::CodePage() const { return AnsiCodePageOf(GetThreadLocale()); }

void HostPlatform::CreateHostWindow(std::function<void()> onFontChange) {
    m_state->onFontChange = std::move(onFontChange);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = HostWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    // A second session in the process finds the class registered already.
    RegisterClassExW(&windowClass);
    m_state->window =
        CreateWindowExW(0, kWindowClass, L"Lumaro Host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (m_state->window == nullptr) throw SessionError("cannot create the host's window");
    SetWindowLongPtrW(m_state->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_state.get()));
}

HWND HostPlatform::HostWindow() const { return m_state->window; }

bool HostPlatform::HandlesFontChangeInPlace() { return true; }

std::vector<std::string> HostPlatform::TakeObservations() {
    std::vector<std::string> lines;
    if (m_state->probe == nullptr || !m_state->probe->valid()) return lines;
    const glyvor::ProbeCounts now = m_state->probe->Counts();
    if (now.serversStarted > m_state->seen.serversStarted) {
        // Where the font manager runs is the point: a local server, never the host.
        const bool ownProcess = now.lastServerProcess != GetCurrentProcessId();
        lines.push_back(
            "[process] " + std::to_string(now.serversStarted - m_state->seen.serversStarted) +
            " font-manager process(es) started, the last " +
            (now.lastServerByCom ? "by COM" : "by hand") + ": " + now.lastServerProgram +
            (ownProcess ? ", a process of its own" : ", inside the host's process"));
    }
    if (now.objectsCreated > m_state->seen.objectsCreated)
        lines.push_back("[com] " +
                        std::to_string(now.objectsCreated - m_state->seen.objectsCreated) +
                        " font-manager object(s) created");
    m_state->seen = now;
    return lines;
}

void HostPlatform::ForgetObservations() {}

namespace {
bool ProbeMissing(std::string* why) {
    *why = "the host could not make the block the font manager's servers read";
    return false;
}
}  // namespace

bool HostPlatform::SetFontManagerDiesAfter(unsigned long calls, std::string* why) {
    if (m_state->probe == nullptr || !m_state->probe->valid()) return ProbeMissing(why);
    // glyvor.exe ends its own process in the middle of that call, as a crash would.
    m_state->probe->DieAt(calls);
    return true;
}

bool HostPlatform::SetFontManagerHealthy(std::string* why) {
    return SetFontManagerDiesAfter(0, why);
}

bool HostPlatform::SetFontManagerBroadcastsAt(unsigned long call, std::string* why) {
    if (m_state->probe == nullptr || !m_state->probe->valid()) return ProbeMissing(why);
    m_state->probe->BroadcastAt(call);
    return true;
}

bool HostPlatform::SetOtherWindowHung(bool, std::string* why) {
    *why =
        "not available in this edition: Windows takes a window for hung only after it has not "
        "answered for seconds";
    return false;
}

}  // namespace host::session
