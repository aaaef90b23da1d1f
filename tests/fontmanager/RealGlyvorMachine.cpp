#include "RealGlyvorMachine.h"

#include <stdlib.h>

#include <filesystem>

#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "glyvor/server.h"
#include "platform/emu/control.h"

namespace fs = std::filesystem;

struct RealGlyvorMachine::Running {
    glyvor::RunningGlyvor instance;
};

RealGlyvorMachine::RealGlyvorMachine(const std::vector<std::string>& systemFonts) {
    char folder[] = "/tmp/lumaro-glyvor-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        m_failure = "no temporary folder";
        return;
    }
    m_root = folder;
    m_machine = m_root + "/machine";
    const std::string library = m_root + "/library";
    std::error_code ec;
    fs::create_directories(library, ec);
    fs::create_directories(glyvor::FontsFolder(m_machine), ec);
    fs::create_directories(glyvor::GlyvorFolder(m_machine), ec);
    for (const std::string& font : systemFonts) {
        fs::copy_file("/usr/share/fonts/" + font,
                      library + "/" + fs::path(font).filename().string(), ec);
        if (ec) {
            m_failure = "cannot copy " + font + ": " + ec.message();
            return;
        }
    }
    glyvor::IndexResult index;
    if (!glyvor::IndexFolders({{"Lib", library}}, &index, &m_failure)) return;
    if (!index.catalog.Save(glyvor::DefaultCatalogPath(m_machine), &m_failure)) return;
    if (glyvor::RegisterGlyvor(m_machine, glyvor::DefaultServerModulePath(), "", &m_failure) !=
        S_OK)
        return;
    glyvor::ResetGlyvorInvokeCounts();
    m_failure.clear();
}

RealGlyvorMachine::~RealGlyvorMachine() {
    StopRunning();
    if (!m_machine.empty()) glyvor::UnregisterGlyvor(m_machine);
    EmuSetMachineFolder(nullptr);
    std::error_code ec;
    if (!m_root.empty()) fs::remove_all(m_root, ec);
}

bool RealGlyvorMachine::StartRunning() {
    m_running.reset(new Running);
    std::string error;
    if (FAILED(m_running->instance.Start(&error))) {
        m_failure = error;
        return false;
    }
    return true;
}

void RealGlyvorMachine::StopRunning() { m_running.reset(); }

ULONG RealGlyvorMachine::InvokeCount(DISPID member) const {
    return glyvor::GlyvorInvokeCount(member);
}

std::vector<std::string> RealGlyvorMachine::ActiveFonts() const {
    return glyvor::ReadActiveFonts(m_machine);
}

bool RealGlyvorMachine::IsInstalled(const std::string& fileName) const {
    return fs::is_regular_file(glyvor::FontsFolder(m_machine) + "/" + fileName);
}
