// A Windows client of the font manager, run under Wine by the tests labelled
// "wine". It reaches "Glyvor.Document" only as the plug-in does: by ProgID,
// CoCreateInstance or GetActiveObject, and IDispatch::Invoke by dispatch
// identifier with real BSTR and VARIANT arguments. Every check prints one line;
// the exit status is the number of failed checks (capped at 100).
//
//   glyvor_client by-com MACHINE
//       the server as COM starts it: created, called, found in another process,
//       gone after the last release; a top-level window hears WM_FONTCHANGE.
//       The machine's catalogue comes from the Linux edition.
//   glyvor_client without-catalogue MACHINE
//       a registered server that cannot read its catalogue: creation fails and
//       the server COM started for it ends
//   glyvor_client by-hand MACHINE GLYVOR_EXE
//       the server started by hand: found in the running-object table, kept
//       after the last release, stopped by closing its window
#include <windows.h>
// clang-format off
#include <ole2.h>
#include <oleauto.h>
#include <shellapi.h>
#include <tlhelp32.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <string>
#include <vector>

#include "checks.h"
#include "glyvor/automation.h"
#include "glyvor/native_path.h"

namespace {

std::string Narrow(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                          nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], bytes, nullptr,
                        nullptr);
    return out;
}

std::string Narrow(BSTR text) { return text ? Narrow(text, SysStringLen(text)) : "(null)"; }

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], units);
    return out;
}

// ---- Processes ------------------------------------------------------------------------

std::vector<DWORD> GlyvorProcesses() {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        std::wstring name = entry.szExeFile;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        if (name == L"glyvor.exe") found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

bool WaitForExit(HANDLE process, DWORD milliseconds, DWORD* exitCode) {
    if (WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process, exitCode);
    return true;
}

// ---- A top-level window that counts font changes --------------------------------------

int g_fontChanges = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FONTCHANGE) {
        ++g_fontChanges;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeCountingWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"GlyvorClientWindow";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"Glyvor client", WS_OVERLAPPEDWINDOW, 0,
                           0, 100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
}

// Lets the window's messages in, for `milliseconds` or until `until` holds.
template <class Condition>
void Pump(DWORD milliseconds, Condition until) {
    const DWORD start = GetTickCount();
    while (!until() && GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// ---- Calls as the plug-in makes them --------------------------------------------------

// Invoke with positional arguments, first argument first (rgvarg holds them reversed).
HRESULT Call(IDispatch* glyvor, DISPID member, std::vector<VARIANTARG> arguments,
             UINT* argumentError = nullptr, WORD flags = DISPATCH_METHOD, UINT namedCount = 0) {
    std::reverse(arguments.begin(), arguments.end());
    DISPID named = 0;
    DISPPARAMS params{};
    params.rgvarg = arguments.data();
    params.cArgs = static_cast<UINT>(arguments.size());
    params.rgdispidNamedArgs = namedCount ? &named : nullptr;
    params.cNamedArgs = namedCount;
    EXCEPINFO exception{};
    UINT error = 0;
    const HRESULT hr = glyvor->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      nullptr, &exception, &error);
    if (argumentError != nullptr) *argumentError = error;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
}

VARIANTARG Text(BSTR text) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
}

VARIANTARG Long(LONG value) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANTARG Flag(bool value) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

template <class T>
VARIANTARG Out(VARTYPE type, T* target) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = static_cast<VARTYPE>(VT_BYREF | type);
    v.byref = target;
    return v;
}

struct Match {
    HRESULT hr = E_FAIL;
    bool matched = false;
    std::string identifier, detail;
};

Match MatchFont(IDispatch* glyvor, const wchar_t* name) {
    BSTR text = SysAllocString(name);
    BSTR empty2 = SysAllocString(L"");
    BSTR empty3 = SysAllocString(L"");
    BSTR identifier = nullptr;
    BSTR detail = nullptr;
    VARIANT_BOOL matched = VARIANT_FALSE;
    Match m;
    m.hr = Call(glyvor, glyvor::kDispidMatchFont,
                {Text(text), Text(empty2), Text(empty3), Long(0), Long(0), Text(nullptr), Long(30),
                 Out(VT_BSTR, &identifier), Out(VT_BSTR, &detail), Out(VT_BOOL, &matched)});
    m.matched = matched != VARIANT_FALSE;
    m.identifier = identifier ? Narrow(identifier) : "";
    m.detail = detail ? Narrow(detail) : "";
    for (BSTR b : {text, empty2, empty3, identifier, detail}) SysFreeString(b);
    return m;
}

LONG FontState(IDispatch* glyvor, const std::string& identifier, HRESULT* hr) {
    BSTR id = SysAllocString(Wide(identifier).c_str());
    LONG state = -1;
    *hr = Call(glyvor, glyvor::kDispidGetFontState, {Text(id), Out(VT_I4, &state)});
    SysFreeString(id);
    return state;
}

struct Load {
    HRESULT hr = E_FAIL;
    bool success = false;
    std::string error;
};

Load LoadFont(IDispatch* glyvor, const std::string& identifier, bool activate) {
    BSTR id = SysAllocString(Wide(identifier).c_str());
    BSTR error = nullptr;
    VARIANT_BOOL success = VARIANT_FALSE;
    Load l;
    l.hr = Call(glyvor, glyvor::kDispidLoadFont,
                {Text(id), Long(0), Flag(activate), Out(VT_BSTR, &error), Out(VT_BOOL, &success)});
    l.success = success != VARIANT_FALSE;
    l.error = error ? Narrow(error) : "";
    SysFreeString(id);
    SysFreeString(error);
    return l;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ActiveListNames(const std::string& machine, const std::string& file) {
    std::ifstream in(Wide(machine + "\\ActiveFonts.txt").c_str());
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() >= file.size() &&
            line.compare(line.size() - file.size(), file.size(), file) == 0 && FileExists(line)) {
            return true;
        }
    }
    return false;
}

// The three methods, through whatever carries the calls.
void CallsKeepTheContract(IDispatch* glyvor, const std::string& machine, HWND window) {
    const Match bold = MatchFont(glyvor, L"Liberation Sans Bold");
    Check(bold.hr == S_OK && bold.matched, "MatchFont finds Liberation Sans Bold", Hex(bold.hr));
    Check(bold.identifier == "Fonts:LiberationSans-Bold.ttf#0", "  its identifier",
          bold.identifier);
    Check(bold.detail == "Fonts: LiberationSans-Bold.ttf", "  its detail", bold.detail);
    const Match cff = MatchFont(glyvor, L"NimbusSans-Regular");
    Check(cff.matched && cff.identifier == "Fonts:NimbusSans-Regular.otf#0",
          "MatchFont finds the OpenType (CFF) font", cff.identifier);
    const Match none = MatchFont(glyvor, L"No Such Font");
    Check(none.hr == S_OK && !none.matched && none.identifier.empty() && none.detail.empty(),
          "MatchFont answers no match and leaves the outputs null", Hex(none.hr));

    HRESULT hr = E_FAIL;
    Check(FontState(glyvor, bold.identifier, &hr) == 0 && hr == S_OK,
          "GetFontState is 0 before loading");

    Check(g_fontChanges == 0, "no WM_FONTCHANGE before a font changed");
    const Load activated = LoadFont(glyvor, bold.identifier, true);
    Check(activated.hr == S_OK && activated.success && activated.error.empty(),
          "LoadFont activates", Hex(activated.hr) + " " + activated.error);
    Pump(3000, [] { return g_fontChanges >= 1; });
    Check(g_fontChanges == 1, "the client's top-level window hears WM_FONTCHANGE once",
          std::to_string(g_fontChanges));
    Check(FontState(glyvor, bold.identifier, &hr) == 1 /* active */, "GetFontState says active");
    Check(ActiveListNames(machine, "LiberationSans-Bold.ttf"),
          "ActiveFonts.txt lists the font's file");

    const Load installed = LoadFont(glyvor, cff.identifier, false);
    Check(installed.success, "LoadFont installs", installed.error);
    Pump(3000, [] { return g_fontChanges >= 2; });
    Check(g_fontChanges == 2, "and WM_FONTCHANGE comes again", std::to_string(g_fontChanges));
    Check(FileExists(machine + "\\Fonts\\NimbusSans-Regular.otf"), "the file is in Fonts");
    Check(FontState(glyvor, cff.identifier, &hr) == 2 /* installed */,
          "GetFontState says installed");

    // The catalogue was made by the Linux edition, which reads Type 1 files.
    const Match type1 = MatchFont(glyvor, L"C059-Roman");
    Check(type1.matched && type1.identifier == "Fonts:C059-Roman.t1#0",
          "MatchFont offers the Type 1 font of a catalogue made on Linux", type1.identifier);
    const Load refused = LoadFont(glyvor, type1.identifier, true);
    Check(refused.hr == S_OK && !refused.success &&
              refused.error.find("is refused: a Type 1 font; the Windows edition reads TrueType "
                                 "and OpenType fonts only") != std::string::npos,
          "activating it fails and says why", refused.error);

    const Load unknown = LoadFont(glyvor, "Nowhere:missing.ttf#0", true);
    Check(
        unknown.hr == S_OK && !unknown.success &&
            unknown.error == "Cannot activate 'Nowhere:missing.ttf#0': no font has this identifier",
        "an unknown identifier fails with the server's reason", unknown.error);
    Pump(300, [] { return false; });
    Check(g_fontChanges == 2, "a failed load changes no fonts and sends nothing");
    (void)window;

    // The server's checks reach the client through the marshaller unchanged.
    BSTR id = SysAllocString(Wide(bold.identifier).c_str());
    LONG state = 0;
    struct Refusal {
        const char* what;
        HRESULT hr;
        UINT argumentError;
        HRESULT expected;
        UINT expectedArgument;
    };
    UINT argument = 99;
    std::vector<Refusal> refusals;
    hr = Call(glyvor, 4, {Text(id)}, &argument);
    refusals.push_back({"an unknown dispatch identifier", hr, 0, DISP_E_MEMBERNOTFOUND, 0});
    hr = Call(glyvor, glyvor::kDispidGetFontState, {Text(id)}, &argument);
    refusals.push_back({"a missing argument", hr, 0, DISP_E_BADPARAMCOUNT, 0});
    // Inputs are converted as DispInvoke converts them: an identifier is no number.
    hr = Call(glyvor, glyvor::kDispidLoadFont, {Text(id), Text(id), Flag(true), Long(0), Long(0)},
              &argument);
    refusals.push_back({"a text for a number", hr, argument, DISP_E_TYPEMISMATCH, 3});
    hr = Call(glyvor, glyvor::kDispidGetFontState, {Text(id), Long(0)}, &argument);
    refusals.push_back({"a value for the output", hr, argument, DISP_E_TYPEMISMATCH, 0});
    hr = Call(glyvor, glyvor::kDispidGetFontState, {Text(id), Out(VT_I4, &state)}, &argument,
              DISPATCH_PROPERTYGET);
    refusals.push_back({"a property read", hr, 0, DISP_E_MEMBERNOTFOUND, 0});
    hr = Call(glyvor, glyvor::kDispidGetFontState, {Text(id), Out(VT_I4, &state)}, &argument,
              DISPATCH_METHOD, 1);
    refusals.push_back({"a named argument", hr, 0, DISP_E_NONAMEDARGS, 0});
    for (const Refusal& r : refusals) {
        const bool argumentOk =
            r.expected != DISP_E_TYPEMISMATCH || r.argumentError == r.expectedArgument;
        Check(r.hr == r.expected && argumentOk, std::string("Invoke refuses ") + r.what,
              Hex(r.hr) + " argument " + std::to_string(r.argumentError));
    }
    SysFreeString(id);
}

IDispatch* QueryGlyvor(IUnknown* object, const char* how) {
    IDispatch* glyvor = nullptr;
    const HRESULT hr =
        object->QueryInterface(glyvor::IID_IGlyvor, reinterpret_cast<void**>(&glyvor));
    Check(hr == S_OK && glyvor != nullptr, std::string("IGlyvor is queried ") + how, Hex(hr));
    return SUCCEEDED(hr) ? glyvor : nullptr;
}

CLSID ClassOfProgId() {
    CLSID clsid{};
    const HRESULT hr = CLSIDFromProgID(L"Glyvor.Document", &clsid);
    Check(hr == S_OK && IsEqualCLSID(clsid, glyvor::CLSID_GlyvorDocument),
          "CLSIDFromProgID finds Glyvor.Document", Hex(hr));
    return clsid;
}

void ByCom(const std::string& machine) {
    const HWND window = MakeCountingWindow();
    Check(window != nullptr, "the client has a top-level window");
    Check(GlyvorProcesses().empty(), "no glyvor.exe runs before the client asks");
    const CLSID clsid = ClassOfProgId();
    IUnknown* running = nullptr;
    const HRESULT active = GetActiveObject(clsid, nullptr, &running);
    Check(FAILED(active) && running == nullptr, "GetActiveObject finds nothing running",
          Hex(active));

    IUnknown* object = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                                  reinterpret_cast<void**>(&object));
    Check(hr == S_OK, "CoCreateInstance with CLSCTX_ALL", Hex(hr));
    if (FAILED(hr)) return;
    Check(OleRun(object) == S_OK, "OleRun");
    const std::vector<DWORD> servers = GlyvorProcesses();
    Check(servers.size() == 1 && servers[0] != GetCurrentProcessId(),
          "the object lives in one glyvor.exe, another process than the client's",
          std::to_string(servers.size()) + " server process(es)");
    HANDLE server = servers.empty() ? nullptr
                                    : OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                                                  FALSE, servers[0]);
    IClientSecurity* proxy = nullptr;
    Check(SUCCEEDED(object->QueryInterface(IID_IClientSecurity, reinterpret_cast<void**>(&proxy))),
          "the client holds a proxy");
    if (proxy != nullptr) proxy->Release();

    IDispatch* glyvor = QueryGlyvor(object, "across processes (its type library is registered)");
    object->Release();
    if (glyvor != nullptr) {
        CallsKeepTheContract(glyvor, machine, window);
        glyvor->Release();
    }
    DWORD exitCode = 1;
    const bool ended = server != nullptr && WaitForExit(server, 10000, &exitCode);
    Check(ended && exitCode == 0, "the server ends, and ends well, after the last release",
          "exit code " + std::to_string(exitCode));
    if (server != nullptr) CloseHandle(server);
    DestroyWindow(window);
}

void WithoutCatalogue() {
    const CLSID clsid = ClassOfProgId();
    IUnknown* object = nullptr;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                                        reinterpret_cast<void**>(&object));
    Check(FAILED(hr) && object == nullptr, "CoCreateInstance fails without a catalogue", Hex(hr));
    if (object != nullptr) object->Release();
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        gone = GlyvorProcesses().empty();
        if (!gone) Sleep(100);
    }
    Check(gone, "the server COM started for it ends by itself");
}

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void ByHand(const std::string& machine, const std::string& program) {
    Check(GlyvorProcesses().empty(), "no glyvor.exe runs before it is started");
    std::wstring commandLine =
        L"\"" + Wide(program) + L"\" serve --machine \"" + Wide(machine) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessW(Wide(program).c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                   0, nullptr, nullptr, &startup, &started);
    Check(ok != FALSE, "glyvor serve starts by hand");
    if (!ok) return;
    CloseHandle(started.hThread);

    const CLSID clsid = ClassOfProgId();
    IUnknown* running = nullptr;
    HRESULT hr = E_FAIL;
    for (int i = 0; i < 200 && FAILED(hr); ++i) {
        hr = GetActiveObject(clsid, nullptr, &running);
        if (FAILED(hr)) Sleep(50);
    }
    Check(hr == S_OK, "GetActiveObject finds the hand-started server", Hex(hr));
    if (SUCCEEDED(hr)) {
        IDispatch* dispatch = nullptr;
        Check(
            SUCCEEDED(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))),
            "the running object answers IDispatch");
        running->Release();
        IDispatch* glyvor = dispatch ? QueryGlyvor(dispatch, "from the running object") : nullptr;
        if (dispatch != nullptr) dispatch->Release();
        if (glyvor != nullptr) {
            Check(MatchFont(glyvor, L"Liberation Serif Italic").matched,
                  "the running object matches a font");
            glyvor->Release();
        }
    }
    IUnknown* created = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                          reinterpret_cast<void**>(&created));
    const std::vector<DWORD> servers = GlyvorProcesses();
    Check(hr == S_OK && servers.size() == 1 && servers[0] == started.dwProcessId,
          "CoCreateInstance is served by the running program, not a new one",
          Hex(hr) + ", " + std::to_string(servers.size()) + " server process(es)");
    if (created != nullptr) created->Release();

    DWORD exitCode = 0;
    Check(!WaitForExit(started.hProcess, 1500, &exitCode),
          "after the last release a hand-started server keeps running");
    running = nullptr;
    hr = GetActiveObject(clsid, nullptr, &running);
    Check(hr == S_OK, "and stays in the running-object table", Hex(hr));
    if (running != nullptr) running->Release();

    EnumWindows(CloseWindowsOf, static_cast<LPARAM>(started.dwProcessId));
    const bool ended = WaitForExit(started.hProcess, 10000, &exitCode);
    Check(ended && exitCode == 0, "closing its window ends it",
          "exit code " + std::to_string(exitCode));
    running = nullptr;
    hr = GetActiveObject(clsid, nullptr, &running);
    Check(FAILED(hr), "then GetActiveObject finds nothing", Hex(hr));
    if (running != nullptr) running->Release();
    if (WaitForSingleObject(started.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
    }
    CloseHandle(started.hProcess);
}

}  // namespace

int main() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        args.push_back(Narrow(arguments[i], wcslen(arguments[i])));
    }
    LocalFree(arguments);
    const bool known = args.size() == 2 && (args[0] == "by-com" || args[0] == "without-catalogue");
    if (!known && !(args.size() == 3 && args[0] == "by-hand")) {
        std::fprintf(stderr,
                     "usage: glyvor_client by-com MACHINE | without-catalogue MACHINE | "
                     "by-hand MACHINE GLYVOR_EXE\n");
        return 100;
    }
    // The client initialises COM as the host does for the plug-in.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::fprintf(stderr, "glyvor_client: COM does not start\n");
        return 100;
    }
    const std::string machine = glyvor::NativePath(args[1]);
    if (args[0] == "by-com") {
        ByCom(machine);
    } else if (args[0] == "without-catalogue") {
        WithoutCatalogue();
    } else {
        ByHand(machine, glyvor::NativePath(args[2]));
    }
    CoUninitialize();
    return ReportFailures();
}
