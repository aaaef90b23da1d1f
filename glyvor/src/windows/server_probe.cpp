// The shared block between a test host and glyvor.exe (server_probe.h).
#include "glyvor/server_probe.h"

#include <windows.h>

#include <cstdint>
#include <cwctype>

#include "wide_text.h"

namespace glyvor {

namespace {

struct Block {
    volatile LONG serversStarted;
    volatile LONG objectsCreated;
    volatile LONG calls;
    volatile LONG dieAt;        // an absolute call number; 0: never
    volatile LONG broadcastAt;  // the same
    volatile LONG lastServerProcess;
    volatile LONG lastServerByCom;
    wchar_t lastServerProgram[64];
};

// The same folder names the same block however it was spelt: the host and the
// server see the machine as the registration wrote it, with either slash.
std::wstring BlockName(const std::string& machine) {
    std::wstring folder = WideFromUtf8(machine);
    for (wchar_t& c : folder) c = c == L'\\' ? L'/' : static_cast<wchar_t>(std::towlower(c));
    while (folder.size() > 1 && folder.back() == L'/') folder.pop_back();
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t c : folder) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t text[40];
    swprintf(text, 40, L"%016llx", static_cast<unsigned long long>(hash));
    return L"Local\\Glyvor.Probe." + std::wstring(text);
}

// The server's view of the block, or none.
class OpenBlock {
public:
    explicit OpenBlock(const std::string& machine) {
        m_mapping =
            OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, BlockName(machine).c_str());
        if (m_mapping != nullptr)
            m_block = static_cast<Block*>(
                MapViewOfFile(m_mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(Block)));
    }
    ~OpenBlock() {
        if (m_block != nullptr) UnmapViewOfFile(m_block);
        if (m_mapping != nullptr) CloseHandle(m_mapping);
    }
    OpenBlock(const OpenBlock&) = delete;
    OpenBlock& operator=(const OpenBlock&) = delete;
    Block* operator->() const { return m_block; }
    explicit operator bool() const { return m_block != nullptr; }

private:
    HANDLE m_mapping = nullptr;
    Block* m_block = nullptr;
};

}  // namespace

GlyvorProbe::GlyvorProbe(const std::string& machine) {
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(Block), BlockName(machine).c_str());
    if (mapping == nullptr) return;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(Block));
    if (view == nullptr) {
        CloseHandle(mapping);
        return;
    }
    m_mapping = mapping;
    m_block = view;
}

GlyvorProbe::~GlyvorProbe() {
    if (m_block != nullptr) UnmapViewOfFile(m_block);
    if (m_mapping != nullptr) CloseHandle(static_cast<HANDLE>(m_mapping));
}

ProbeCounts GlyvorProbe::Counts() const {
    ProbeCounts counts;
    if (m_block == nullptr) return counts;
    const Block* block = static_cast<const Block*>(m_block);
    counts.serversStarted = static_cast<unsigned long>(block->serversStarted);
    counts.objectsCreated = static_cast<unsigned long>(block->objectsCreated);
    counts.lastServerProcess = static_cast<unsigned long>(block->lastServerProcess);
    counts.lastServerByCom = block->lastServerByCom != 0;
    wchar_t program[64];
    for (int i = 0; i < 64; ++i) program[i] = block->lastServerProgram[i];
    program[63] = L'\0';
    counts.lastServerProgram = Utf8FromWide(program);
    return counts;
}

void GlyvorProbe::DieAt(unsigned long calls) {
    if (m_block == nullptr) return;
    Block* block = static_cast<Block*>(m_block);
    InterlockedExchange(&block->dieAt, calls == 0 ? 0 : block->calls + static_cast<LONG>(calls));
}

void GlyvorProbe::BroadcastAt(unsigned long call) {
    if (m_block == nullptr) return;
    Block* block = static_cast<Block*>(m_block);
    InterlockedExchange(&block->broadcastAt,
                        call == 0 ? 0 : block->calls + static_cast<LONG>(call));
}

void ProbeServerStarted(const std::string& machine, bool byCom) {
    OpenBlock block(machine);
    if (!block) return;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = path;
    for (DWORD i = 0; i < length; ++i)
        if (path[i] == L'\\' || path[i] == L'/') name = path + i + 1;
    int i = 0;
    for (; i < 63 && name[i] != L'\0'; ++i) block->lastServerProgram[i] = name[i];
    block->lastServerProgram[i] = L'\0';
    InterlockedExchange(&block->lastServerProcess, static_cast<LONG>(GetCurrentProcessId()));
    InterlockedExchange(&block->lastServerByCom, byCom ? 1 : 0);
    InterlockedIncrement(&block->serversStarted);
}

void ProbeObjectCreated(const std::string& machine) {
    OpenBlock block(machine);
    if (block) InterlockedIncrement(&block->objectsCreated);
}

bool ProbeCall(const std::string& machine) {
    OpenBlock block(machine);
    if (!block) return false;
    const LONG call = InterlockedIncrement(&block->calls);
    const LONG dieAt = block->dieAt;
    return dieAt != 0 && call >= dieAt;
}

void ProbeAnswer(const std::string& machine, void (*broadcast)()) {
    OpenBlock block(machine);
    // One client at a time: no other call came between this one's start and now.
    if (block && block->broadcastAt != 0 && block->broadcastAt == block->calls) broadcast();
}

}  // namespace glyvor
