#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "glyvor/command_line.h"
#include "glyvor/machine.h"
#include "glyvor/server.h"
#include "platform/emu/control.h"

namespace glyvor {

namespace {

namespace fs = std::filesystem;

typedef HRESULT (*GetClassObjectFunction)(REFCLSID, REFIID, void**);

// The module, loaded as the emulation loads it: once, and never unloaded.
void* OpenModule(const std::string& path, bool onlyIfLoaded) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | (onlyIfLoaded ? RTLD_NOLOAD : 0));
}

std::string RegisteredModule(const std::string& machine) {
    std::ifstream in(RegistrationFile(machine));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("module=", 0) == 0) return line.substr(7);
    }
    return {};
}

void UseMachine(const std::string& machine) {
    const char* current = EmuGetMachineFolder();
    if (current == nullptr || machine != current) EmuSetMachineFolder(machine.c_str());
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

}  // namespace

std::string DefaultServerModulePath() { return GLYVOR_SERVER_MODULE_PATH; }

// The simulated machine has one registry; the scope changes nothing here.
HRESULT RegisterGlyvor(const std::string& machine, const std::string& serverModule,
                       const std::string& catalogPath, std::string* error, RegistrationScope) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (machine.empty() || serverModule.empty()) {
        *error = "a machine folder and a server module are needed";
        return E_INVALIDARG;
    }
    for (const std::string* text : {&machine, &serverModule, &catalogPath}) {
        if (text->find_first_of("\r\n") != std::string::npos) {
            *error = "a path with a line break cannot be registered";
            return E_INVALIDARG;
        }
    }
    UseMachine(machine);
    std::error_code ec;
    fs::create_directories(GlyvorFolder(machine), ec);
    const std::string file = RegistrationFile(machine);
    {
        std::ofstream out(file, std::ios::trunc);
        out << "module=" << serverModule << "\n"
            << "catalog=" << (catalogPath.empty() ? DefaultCatalogPath(machine) : catalogPath)
            << "\n";
        out.flush();
        if (!out) {
            *error = "cannot write " + file;
            return E_FAIL;
        }
    }
    const HRESULT hr = EmuRegisterClass(kProgId, CLSID_GlyvorDocument, serverModule.c_str());
    if (FAILED(hr)) *error = std::string("the class registration failed: ") + Hex(hr);
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

HRESULT UnregisterGlyvor(const std::string& machine, RegistrationScope) {
    if (machine.empty()) return E_INVALIDARG;
    UseMachine(machine);
    std::remove(RegistrationFile(machine).c_str());
    return EmuUnregisterClass(kProgId);
}

void UseGlyvorMachine(const std::string& machine) { UseMachine(machine); }

int ServeGlyvor(const std::string&, bool, std::ostream& err) {
    err << "glyvor: serve: this edition's server is the in-process module "
        << DefaultServerModulePath() << "; a client loads it through COM\n";
    return kExitUsage;
}

HRESULT RunningGlyvor::Start(std::string* error) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (m_cookie != 0) {
        *error = "Glyvor is already running";
        return E_UNEXPECTED;
    }
    const char* machine = EmuGetMachineFolder();
    if (machine == nullptr) {
        *error = "no machine folder is set";
        return E_UNEXPECTED;
    }
    const std::string module = RegisteredModule(machine);
    if (module.empty()) {
        *error = "Glyvor is not registered on " + std::string(machine);
        return REGDB_E_CLASSNOTREG;
    }
    void* handle = OpenModule(module, false);
    auto entry = handle
                     ? reinterpret_cast<GetClassObjectFunction>(dlsym(handle, "DllGetClassObject"))
                     : nullptr;
    if (entry == nullptr) {
        *error = "cannot load the server module " + module;
        return CO_E_DLLNOTFOUND;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = entry(CLSID_GlyvorDocument, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    IUnknown* object = nullptr;
    if (SUCCEEDED(hr)) {
        hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object));
        factory->Release();
    }
    if (FAILED(hr)) {
        *error = "the server could not make its object (" + Hex(hr) +
                 "); is the catalogue there and readable?";
        return hr;
    }
    IRunnableObject* runnable = nullptr;
    if (SUCCEEDED(
            object->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&runnable)))) {
        runnable->Run(nullptr);
        runnable->Release();
    }
    hr = RegisterActiveObject(object, CLSID_GlyvorDocument, ACTIVEOBJECT_STRONG, &m_cookie);
    object->Release();  // the running-object table holds it now
    if (FAILED(hr)) {
        m_cookie = 0;
        *error = "cannot register the running object: " + Hex(hr);
    }
    return hr;
}

void RunningGlyvor::Stop() {
    if (m_cookie == 0) return;
    RevokeActiveObject(m_cookie, nullptr);
    m_cookie = 0;
}

ULONG GlyvorInvokeCount(DISPID member, const std::string& serverModule) {
    void* handle = OpenModule(serverModule, true);
    if (handle == nullptr) return 0;
    auto count = reinterpret_cast<ULONG (*)(DISPID)>(dlsym(handle, "GlyvorServerInvokeCount"));
    const ULONG value = count ? count(member) : 0;
    dlclose(handle);  // only drops the reference RTLD_NOLOAD took
    return value;
}

void ResetGlyvorInvokeCounts(const std::string& serverModule) {
    void* handle = OpenModule(serverModule, true);
    if (handle == nullptr) return;
    auto reset = reinterpret_cast<void (*)()>(dlsym(handle, "GlyvorServerResetInvokeCounts"));
    if (reset) reset();
    dlclose(handle);
}

}  // namespace glyvor
