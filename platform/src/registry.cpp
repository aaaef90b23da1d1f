// Class registrations, kept in the machine folder so that every process of the
// simulated machine sees them: "<machine>/Registry/classes.txt", one class a line,
// "{CLSID}<TAB>ProgID<TAB>module path". Lines starting with '#' are comments.
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "counters.h"
#include "internal.h"
#include "platform/emu/control.h"

namespace {

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

struct Machine {
    bool initialised = false;
    bool set = false;
    std::string folder;
};

Machine& machine() {
    static Machine instance;
    if (!instance.initialised) {
        instance.initialised = true;
        if (const char* env = std::getenv("LUMARO_MACHINE"); env != nullptr && env[0] != 0) {
            instance.set = true;
            instance.folder = env;
        }
    }
    return instance;
}

bool SameProgId(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool HasLineBreakOrTab(const std::string& s) {
    return s.find_first_of("\t\r\n") != std::string::npos;
}

// Caller holds the registry mutex.
bool RegistryFile(std::string* path, std::string* folder = nullptr) {
    const Machine& m = machine();
    if (!m.set) return false;
    if (folder != nullptr) *folder = m.folder + "/Registry";
    *path = m.folder + "/Registry/classes.txt";
    return true;
}

std::vector<emu::Registration> ReadAll() {
    std::vector<emu::Registration> all;
    std::string path;
    if (!RegistryFile(&path)) return all;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) continue;  // a damaged line is skipped
        emu::Registration r;
        if (!emu::ParseGuid(line.substr(0, tab1), &r.clsid)) continue;
        r.progId = line.substr(tab1 + 1, tab2 - tab1 - 1);
        r.modulePath = line.substr(tab2 + 1);
        all.push_back(r);
    }
    return all;
}

HRESULT WriteAll(const std::vector<emu::Registration>& all) {
    std::string path, folder;
    if (!RegistryFile(&path, &folder)) return E_UNEXPECTED;
    ::mkdir(machine().folder.c_str(), 0777);
    ::mkdir(folder.c_str(), 0777);
    // Written beside and renamed over, so a reader never sees half a file.
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "# COM class registrations of the simulated machine\n";
        for (const auto& r : all)
            out << emu::GuidToString(r.clsid) << '\t' << r.progId << '\t' << r.modulePath << '\n';
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return E_FAIL;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return E_FAIL;
    }
    return S_OK;
}

bool Hidden() {
    auto& f = emu::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    return f.classNotRegistered;
}

}  // namespace

namespace emu {

bool FindRegistrationByProgId(const std::string& progId, Registration* found) {
    if (Hidden()) return false;
    std::lock_guard<std::mutex> lock(registryMutex());
    for (const auto& r : ReadAll()) {
        if (SameProgId(r.progId, progId)) {
            *found = r;
            return true;
        }
    }
    return false;
}

bool FindRegistrationByClsid(const CLSID& clsid, Registration* found) {
    if (Hidden()) return false;
    std::lock_guard<std::mutex> lock(registryMutex());
    for (const auto& r : ReadAll()) {
        if (r.clsid == clsid) {
            *found = r;
            return true;
        }
    }
    return false;
}

}  // namespace emu

void EmuSetMachineFolder(const char* folder) {
    std::lock_guard<std::mutex> lock(registryMutex());
    Machine& m = machine();
    m.set = folder != nullptr && folder[0] != 0;
    m.folder = m.set ? folder : "";
}

const char* EmuGetMachineFolder(void) {
    std::lock_guard<std::mutex> lock(registryMutex());
    const Machine& m = machine();
    return m.set ? m.folder.c_str() : nullptr;
}

HRESULT EmuRegisterClass(const char* progId, REFCLSID clsid, const char* modulePath) {
    if (progId == nullptr || progId[0] == 0 || modulePath == nullptr || modulePath[0] == 0)
        return E_INVALIDARG;
    const std::string id = progId, path = modulePath;
    if (HasLineBreakOrTab(id) || HasLineBreakOrTab(path) || id[0] == '#' || clsid == IID_NULL)
        return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(registryMutex());
    if (!machine().set) return E_UNEXPECTED;
    std::vector<emu::Registration> all = ReadAll();
    std::vector<emu::Registration> kept;
    for (const auto& r : all)
        if (!SameProgId(r.progId, id) && r.clsid != clsid) kept.push_back(r);
    kept.push_back({id, clsid, path});
    return WriteAll(kept);
}

HRESULT EmuUnregisterClass(const char* progId) {
    if (progId == nullptr || progId[0] == 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(registryMutex());
    if (!machine().set) return E_UNEXPECTED;
    std::vector<emu::Registration> all = ReadAll();
    std::vector<emu::Registration> kept;
    for (const auto& r : all)
        if (!SameProgId(r.progId, progId)) kept.push_back(r);
    if (kept.size() == all.size()) return S_FALSE;
    return WriteAll(kept);
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid) {
    if (progId == nullptr || clsid == nullptr) return E_INVALIDARG;
    *clsid = IID_NULL;
    const std::string id = emu::ToUtf8(progId);
    if (!id.empty() && id[0] == '{') return CLSIDFromString(progId, clsid);
    emu::Registration r;
    if (id.empty() || !emu::FindRegistrationByProgId(id, &r)) return CO_E_CLASSSTRING;
    *clsid = r.clsid;
    return S_OK;
}
