// Registering glyvor.exe as the local server of "Glyvor.Document", under
// HKCU\Software\Classes (one user) or HKLM\Software\Classes (all users).
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "file_paths.h"
#include "glyvor/automation.h"
#include "glyvor/machine.h"
#include "glyvor/server.h"
#include "machine_choice.h"
#include "quoting.h"
#include "type_library.h"
#include "wide_text.h"

namespace glyvor {

namespace {

namespace fs = std::filesystem;

// The standard automation marshaller, which carries every dispatch interface.
constexpr wchar_t kDispatchMarshaller[] = L"{00020420-0000-0000-C000-000000000046}";
constexpr wchar_t kClasses[] = L"Software\\Classes\\";
constexpr wchar_t kClassName[] = L"Glyvor Document";
constexpr wchar_t kLibraryName[] = L"Glyvor Type Library";

std::mutex g_machineMutex;
std::string g_machine;

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring Version() {
    return std::to_wstring(kTypeLibraryMajor) + L"." + std::to_wstring(kTypeLibraryMinor);
}

std::string Hex(long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

HKEY RootOf(RegistrationScope scope) {
    return scope == RegistrationScope::AllUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The keys below Software\Classes that are ours alone.
std::wstring ProgIdKey() { return WideFromUtf8(kProgId); }
std::wstring ClassKey() { return L"CLSID\\" + GuidText(CLSID_GlyvorDocument); }
std::wstring InterfaceKey() { return L"Interface\\" + GuidText(IID_IGlyvor); }
std::wstring LibraryKey() { return L"TypeLib\\" + GuidText(LIBID_Glyvor); }

// On 64-bit Windows a 32-bit client reads the class and interface keys from
// the registry's 32-bit view and a 64-bit one from the other: a server of one
// architecture serves clients of both only when both views name it.
constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
constexpr const wchar_t* kOtherPlatformKey = sizeof(void*) == 8 ? L"win32" : L"win64";

// Writes one string value, creating the key; `name` null for the default value.
// `view` 0 is this program's own view of the registry.
LSTATUS SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value,
                REGSAM view = 0) {
    HKEY opened = nullptr;
    LSTATUS status = RegCreateKeyExW(root, (kClasses + key).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE | view, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
    return status;
}

bool KeyExists(HKEY root, const std::wstring& key, REGSAM view = 0) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, (kClasses + key).c_str(), 0, KEY_READ | view, &opened) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

void DeleteTree(HKEY root, const std::wstring& key, REGSAM view = 0) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, (kClasses + key).c_str(), 0, KEY_ALL_ACCESS | view, &opened) !=
        ERROR_SUCCESS) {
        return;
    }
    RegDeleteTreeW(opened, nullptr);
    RegCloseKey(opened);
    RegDeleteKeyExW(root, (kClasses + key).c_str(), view, 0);
}

// Removes a key left with no subkey and no value, as registering may have
// created it (a fresh user's Software\Classes has no CLSID key, for one).
void DeleteIfEmpty(HKEY root, const std::wstring& path) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    DWORD subkeys = 1, values = 1;
    const LSTATUS status = RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                            nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(opened);
    if (status == ERROR_SUCCESS && subkeys == 0 && values == 0) RegDeleteKeyW(root, path.c_str());
}

// The type library's keys and IGlyvor's marshalling, as the system writes
// them, under `platform` ("win32" or "win64") in one view of the registry.
LSTATUS WriteLibraryKeys(HKEY root, REGSAM view, const std::string& libraryPath,
                         const wchar_t* platform) {
    const std::wstring library = LibraryKey() + L"\\" + Version();
    const std::wstring file = WideFromUtf8(libraryPath);
    const std::wstring folder = WideFromUtf8(Utf8FromPath(PathFromUtf8(libraryPath).parent_path()));
    // Where the other view shares the library's key (as Windows shares TypeLib)
    // the system's own values stay; only the platform's file is added.
    const bool ownValues = view == 0 || !KeyExists(root, library, view);
    LSTATUS s = SetText(root, library + L"\\0\\" + platform, nullptr, file, view);
    if (ownValues && s == ERROR_SUCCESS) s = SetText(root, library, nullptr, kLibraryName, view);
    if (ownValues && s == ERROR_SUCCESS)
        s = SetText(root, library + L"\\FLAGS", nullptr, L"0", view);
    if (ownValues && s == ERROR_SUCCESS) {
        s = SetText(root, library + L"\\HELPDIR", nullptr, folder, view);
    }
    if (s == ERROR_SUCCESS) s = SetText(root, InterfaceKey(), nullptr, L"IGlyvor", view);
    for (const wchar_t* marshaller : {L"\\ProxyStubClsid", L"\\ProxyStubClsid32"}) {
        if (s == ERROR_SUCCESS) {
            s = SetText(root, InterfaceKey() + marshaller, nullptr, kDispatchMarshaller, view);
        }
    }
    if (s == ERROR_SUCCESS) {
        s = SetText(root, InterfaceKey() + L"\\TypeLib", nullptr, GuidText(LIBID_Glyvor), view);
    }
    if (s == ERROR_SUCCESS) {
        s = SetText(root, InterfaceKey() + L"\\TypeLib", L"Version", Version(), view);
    }
    return s;
}

HRESULT RegisterLibrary(const std::string& libraryPath, RegistrationScope scope,
                        std::string* error) {
    if (scope == RegistrationScope::CurrentUser) {
        // Wine's RegisterTypeLibForUser writes for all users; these keys are
        // the ones Windows writes for one.
        const LSTATUS status =
            WriteLibraryKeys(HKEY_CURRENT_USER, 0, libraryPath, TypeLibraryPlatformKey());
        if (status != ERROR_SUCCESS) {
            *error = "cannot register the type library for this user (" + Hex(status) + ")";
            return HRESULT_FROM_WIN32(status);
        }
        return S_OK;
    }
    std::wstring file = WideFromUtf8(libraryPath);
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(file.c_str(), REGKIND_NONE, &library);
    if (SUCCEEDED(hr)) {
        hr = RegisterTypeLib(library, &file[0], nullptr);
        library->Release();
    }
    if (SUCCEEDED(hr)) {
        // The dispatch marshaller carries the interface whatever its type
        // library's platform, so clients of the other architecture share the file.
        const LSTATUS status =
            WriteLibraryKeys(HKEY_LOCAL_MACHINE, kOtherView, libraryPath, kOtherPlatformKey);
        if (status != ERROR_SUCCESS) hr = HRESULT_FROM_WIN32(status);
    }
    if (FAILED(hr)) *error = "cannot register the type library for all users (" + Hex(hr) + ")";
    return hr;
}

void UnregisterLibrary(RegistrationScope scope) {
    if (scope == RegistrationScope::CurrentUser) {
        DeleteTree(HKEY_CURRENT_USER, InterfaceKey());
        DeleteTree(HKEY_CURRENT_USER, LibraryKey());
        return;
    }
    // The system reads the library to find its interfaces: it goes before the file.
    UnRegisterTypeLib(LIBID_Glyvor, kTypeLibraryMajor, kTypeLibraryMinor, LOCALE_NEUTRAL,
                      sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    // The system finds the interfaces through the library's file: when that
    // file went with its machine folder, their keys are left to us.
    for (const REGSAM view : {REGSAM{0}, kOtherView}) {
        DeleteTree(HKEY_LOCAL_MACHINE, InterfaceKey(), view);
        DeleteTree(HKEY_LOCAL_MACHINE, LibraryKey(), view);
    }
}

HRESULT RegisterClassKeys(HKEY root, const std::string& machine, const std::string& serverModule,
                          REGSAM view = 0) {
    const std::wstring server = QuoteArgument(WideFromUtf8(serverModule)) + L" serve --machine " +
                                QuoteArgument(WideFromUtf8(machine));
    LSTATUS s = SetText(root, ProgIdKey(), nullptr, kClassName, view);
    if (s == ERROR_SUCCESS) {
        s = SetText(root, ProgIdKey() + L"\\CLSID", nullptr, GuidText(CLSID_GlyvorDocument), view);
    }
    if (s == ERROR_SUCCESS) s = SetText(root, ClassKey(), nullptr, kClassName, view);
    if (s == ERROR_SUCCESS) s = SetText(root, ClassKey() + L"\\ProgID", nullptr, ProgIdKey(), view);
    // COM starts the server with this command line and " -Embedding" after it.
    if (s == ERROR_SUCCESS) {
        s = SetText(root, ClassKey() + L"\\LocalServer32", nullptr, server, view);
    }
    if (s == ERROR_SUCCESS) {
        s = SetText(root, ClassKey() + L"\\TypeLib", nullptr, GuidText(LIBID_Glyvor), view);
    }
    return s == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(s);
}

bool WriteRegistrationFile(const std::string& machine, const std::string& serverModule,
                           const std::string& catalogPath, std::string* error) {
    std::error_code ec;
    fs::create_directories(PathFromUtf8(GlyvorFolder(machine)), ec);
    const std::string file = RegistrationFile(machine);
    std::ofstream out(PathFromUtf8(file), std::ios::binary | std::ios::trunc);
    out << "module=" << serverModule << "\n"
        << "catalog=" << (catalogPath.empty() ? DefaultCatalogPath(machine) : catalogPath) << "\n";
    out.flush();
    if (!out) {
        *error = "cannot write " + file;
        return false;
    }
    return true;
}

void RemoveFile(const std::string& path) {
    std::error_code ignored;
    fs::remove(PathFromUtf8(path), ignored);
}

}  // namespace

std::string ChosenMachine() {
    std::lock_guard<std::mutex> lock(g_machineMutex);
    return g_machine;
}

void UseGlyvorMachine(const std::string& machine) {
    std::lock_guard<std::mutex> lock(g_machineMutex);
    g_machine = machine;
}

std::string DefaultServerModulePath() {
    // A host of one architecture may be served by the other's program, as a
    // 32-bit host is by a 64-bit font manager on 64-bit Windows.
    if (const DWORD length = GetEnvironmentVariableW(L"GLYVOR_SERVER_MODULE", nullptr, 0)) {
        std::wstring chosen(length, L'\0');
        chosen.resize(GetEnvironmentVariableW(L"GLYVOR_SERVER_MODULE", &chosen[0], length));
        if (!chosen.empty()) return Utf8FromWide(chosen);
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return "glyvor.exe";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return Utf8FromPath(PathFromUtf8(Utf8FromWide(path)).parent_path() / "glyvor.exe");
}

HRESULT RegisterGlyvor(const std::string& machine, const std::string& serverModule,
                       const std::string& catalogPath, std::string* error,
                       RegistrationScope scope) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (machine.empty() || serverModule.empty()) {
        *error = "a machine folder and a server module are needed";
        return E_INVALIDARG;
    }
    for (const std::string* text : {&machine, &serverModule, &catalogPath}) {
        if (text->find_first_of("\r\n\"") != std::string::npos) {
            *error = "a path with a line break or a quote cannot be registered";
            return E_INVALIDARG;
        }
    }
    UseGlyvorMachine(machine);
    if (!WriteRegistrationFile(machine, serverModule, catalogPath, error)) return E_FAIL;
    const std::string library = TypeLibraryFile(machine);
    HRESULT hr = WriteTypeLibrary(library, error);
    if (SUCCEEDED(hr)) hr = RegisterLibrary(library, scope, error);
    if (SUCCEEDED(hr)) {
        hr = RegisterClassKeys(RootOf(scope), machine, serverModule);
        if (SUCCEEDED(hr) && scope == RegistrationScope::AllUsers) {
            hr = RegisterClassKeys(HKEY_LOCAL_MACHINE, machine, serverModule, kOtherView);
        }
        if (FAILED(hr)) *error = "cannot write the class registration (" + Hex(hr) + ")";
    }
    // Half a registration is worse than none.
    if (FAILED(hr)) UnregisterGlyvor(machine, scope);
    return hr;
}

HRESULT SetUpGlyvor(const std::string& machine, const std::vector<GroupSource>& groups,
                    std::string* error, std::vector<GroupReport>* report, RegistrationScope scope) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    IndexResult index;
    if (!IndexFolders(groups, &index, error)) return E_INVALIDARG;
    if (!index.catalog.Save(DefaultCatalogPath(machine), error)) return E_FAIL;
    if (report != nullptr) *report = index.groups;
    return RegisterGlyvor(machine, DefaultServerModulePath(), "", error, scope);
}

HRESULT UnregisterGlyvor(const std::string& machine, RegistrationScope scope) {
    if (machine.empty()) return E_INVALIDARG;
    UseGlyvorMachine(machine);
    const HKEY root = RootOf(scope);
    const bool registered = KeyExists(root, ProgIdKey()) || KeyExists(root, ClassKey());
    UnregisterLibrary(scope);
    DeleteTree(root, ProgIdKey());
    DeleteTree(root, ClassKey());
    if (scope == RegistrationScope::AllUsers) {
        DeleteTree(root, ProgIdKey(), kOtherView);
        DeleteTree(root, ClassKey(), kOtherView);
    }
    for (const wchar_t* parent : {L"CLSID", L"Interface", L"TypeLib"}) {
        DeleteIfEmpty(root, kClasses + std::wstring(parent));
    }
    DeleteIfEmpty(root, L"Software\\Classes");
    RemoveFile(TypeLibraryFile(machine));
    RemoveFile(RegistrationFile(machine));
    return registered ? S_OK : S_FALSE;
}

}  // namespace glyvor
