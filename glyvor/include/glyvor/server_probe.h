// Windows only: what a test host sees of glyvor.exe and causes in it, through a
// block of shared memory named after the machine folder. The host makes the
// block (GlyvorProbe); every glyvor.exe serving that machine counts there the
// servers it started and the objects COM had it create, and ends its process,
// or broadcasts WM_FONTCHANGE, at the automation call the host names. Without
// the block glyvor.exe does nothing of this.
#pragma once

#include <string>

namespace glyvor {

// What the block says of glyvor.exe.
struct ProbeCounts {
    unsigned long serversStarted = 0;
    unsigned long objectsCreated = 0;  // through COM, not the hand-started server's own
    unsigned long lastServerProcess = 0;
    bool lastServerByCom = false;
    std::string lastServerProgram;  // its file name
};

class GlyvorProbe {
public:
    // Makes the block for `machine`; valid() says whether that worked.
    explicit GlyvorProbe(const std::string& machine);
    ~GlyvorProbe();
    GlyvorProbe(const GlyvorProbe&) = delete;
    GlyvorProbe& operator=(const GlyvorProbe&) = delete;

    bool valid() const { return m_block != nullptr; }
    ProbeCounts Counts() const;
    // From the `calls`-th automation call from now on, every glyvor.exe serving
    // the machine ends its process in the middle of the call; 0: none does.
    void DieAt(unsigned long calls);
    // glyvor.exe broadcasts WM_FONTCHANGE during its `call`-th automation call
    // from now, once its work is done and before it answers; 0: none.
    void BroadcastAt(unsigned long call);

private:
    void* m_mapping = nullptr;
    void* m_block = nullptr;
};

// glyvor.exe's side, each a no-op where no host made the block.
void ProbeServerStarted(const std::string& machine, bool byCom);
void ProbeObjectCreated(const std::string& machine);
// As each automation call arrives: true when the server is to end its process
// in the middle of it, before it answers.
bool ProbeCall(const std::string& machine);
// As the call answers, its work done: broadcasts when the host named this call.
void ProbeAnswer(const std::string& machine, void (*broadcast)());

}  // namespace glyvor
