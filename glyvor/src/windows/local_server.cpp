// glyvor.exe as the local server of "Glyvor.Document" (`glyvor serve`).
//
// One apartment-threaded thread: calls from clients arrive through its message
// loop. A hidden top-level window stands for the program: closing it
// (WM_CLOSE) ends the server, and it is how a hand-started server is stopped.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <new>
#include <ostream>

#include "glyvor/automation.h"
#include "glyvor/command_line.h"
#include "glyvor/server.h"
#include "glyvor/server_probe.h"
#include "glyvor_document.h"
#include "service_cache.h"

namespace glyvor {

namespace {

constexpr wchar_t kWindowClass[] = L"Glyvor.Server";
// A server COM started is given this long to receive its first object.
constexpr UINT kFirstObjectTimeoutMs = 30000;
constexpr UINT_PTR kIdleTimer = 1;
// How long a window may take over WM_FONTCHANGE before the broadcast moves on.
constexpr UINT kBroadcastTimeoutMs = 2000;

std::string g_machine;
bool g_byCom = false;
HWND g_window = nullptr;
DWORD g_classCookie = 0;
DWORD g_runningCookie = 0;
bool g_ending = false;
std::atomic<long> g_locks{0};

void CloseWhenIdle() {
    if (g_byCom && GlyvorDocument::LiveObjects() == 0 && g_locks == 0 && g_window != nullptr) {
        // Revoked inside the call that released the last object: a client's next
        // activation must not reach a server that is ending (it would get nothing,
        // or an object about to go), but have COM start a new one.
        if (g_classCookie != 0) CoRevokeClassObject(g_classCookie);
        g_classCookie = 0;
        g_ending = true;
        PostMessageW(g_window, WM_CLOSE, 0, 0);
    }
}

// A program that changes the fonts tells every top-level window. A window that
// does not answer is passed over rather than waited for.
void BroadcastFontChange() {
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kBroadcastTimeoutMs,
                        nullptr);
}

class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // A static object: COM's own references to it must not keep the server running.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (g_ending) {
            if (object != nullptr) *object = nullptr;
            return CO_E_SERVER_STOPPING;
        }
        const HRESULT hr = Create(outer, riid, object);
        if (FAILED(hr)) {
            CloseWhenIdle();
        } else {
            ProbeObjectCreated(g_machine);
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            ++g_locks;
        } else if (--g_locks == 0) {
            CloseWhenIdle();
        }
        return S_OK;
    }

    // The object a server started by hand puts in the running-object table.
    static HRESULT Create(IUnknown* outer, REFIID riid, void** object) {
        return CreateDocumentObject(g_machine, outer, riid, object);
    }
};

ClassFactory g_factory;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kIdleTimer) {
                KillTimer(window, kIdleTimer);
                CloseWhenIdle();
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            g_window = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void AfterCall(DISPID) { ProbeAnswer(g_machine, BroadcastFontChange); }

void BeforeCall(DISPID) {
    if (!ProbeCall(g_machine)) return;
    // Ended in the middle of a call, as a crash ends it: no answer. Its
    // registrations go first: Wine's COM keeps a dead server's class object and
    // would never start the server again, where Windows starts a new one.
    if (g_runningCookie != 0) RevokeActiveObject(g_runningCookie, nullptr);
    if (g_classCookie != 0) CoRevokeClassObject(g_classCookie);
    TerminateProcess(GetCurrentProcess(), 3);
}

BOOL WINAPI ConsoleInterrupted(DWORD) {
    HWND window = g_window;
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

HWND MakeWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    // Top-level and never shown: a message-only window would hear no broadcast
    // and could not be found by the program's process.
    return CreateWindowExW(0, kWindowClass, L"Glyvor", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// Started by hand: one object, running, in the running-object table.
HRESULT PutRunningObject(DWORD* cookie) {
    IUnknown* object = nullptr;
    HRESULT hr = ClassFactory::Create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object));
    if (FAILED(hr)) return hr;
    OleRun(object);
    hr = RegisterActiveObject(object, CLSID_GlyvorDocument, ACTIVEOBJECT_STRONG, cookie);
    object->Release();  // the table holds it now
    return hr;
}

int Serve(std::ostream& err) {
    std::shared_ptr<const FontService> probe;
    if (!g_byCom && FAILED(ServiceForNewObject(g_machine, &probe))) {
        err << "glyvor: serve: no readable catalogue for " << g_machine
            << "; index it and register (see glyvor register)\n";
        return kExitUsage;
    }
    probe.reset();
    g_window = MakeWindow();
    if (g_window == nullptr) {
        err << "glyvor: serve: cannot create the server's window\n";
        return kExitUsage;
    }
    DocumentEvents events;
    events.invoked = BeforeCall;
    events.answering = AfterCall;
    events.fontsChanged = BroadcastFontChange;
    events.lastObjectGone = CloseWhenIdle;
    GlyvorDocument::SetEvents(events);
    SetConsoleCtrlHandler(ConsoleInterrupted, TRUE);
    ProbeServerStarted(g_machine, g_byCom);

    HRESULT hr = CoRegisterClassObject(CLSID_GlyvorDocument, &g_factory, CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE, &g_classCookie);
    if (SUCCEEDED(hr) && !g_byCom) hr = PutRunningObject(&g_runningCookie);
    if (FAILED(hr)) {
        err << "glyvor: serve: cannot offer Glyvor.Document (" << Hex(hr) << ")\n";
    } else {
        if (g_byCom) SetTimer(g_window, kIdleTimer, kFirstObjectTimeoutMs, nullptr);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (g_runningCookie != 0) RevokeActiveObject(g_runningCookie, nullptr);
    if (g_classCookie != 0) CoRevokeClassObject(g_classCookie);
    g_runningCookie = g_classCookie = 0;
    if (g_window != nullptr) DestroyWindow(g_window);
    SetConsoleCtrlHandler(ConsoleInterrupted, FALSE);
    return FAILED(hr) ? kExitUsage : kExitOk;
}

}  // namespace

int ServeGlyvor(const std::string& machine, bool byCom, std::ostream& err) {
    g_machine = machine;
    g_byCom = byCom;
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(init)) {
        err << "glyvor: serve: COM does not start (" << Hex(init) << ")\n";
        return kExitUsage;
    }
    const int status = Serve(err);
    CoUninitialize();
    return status;
}

}  // namespace glyvor
