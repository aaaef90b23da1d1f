#include "endurance_session.h"

#include <filesystem>

#include "fontlist/font_list.h"
#include "glyvor/machine.h"
#include "host/event_log.h"
#include "host/host.h"
#include "host/session/session.h"
#include "platform/emu/control.h"
#include "platform/win32.h"
#include "process_memory.h"
#include "samples/text_documents.h"

namespace fs = std::filesystem;

namespace endurance {

namespace {

const char* const kLibrary = "/usr/share/fonts/truetype/liberation";

// Fonts of the font manager's library that the machine lacks, a document's worth
// each. A few documents in turn keep each cycle like the last without making every
// cycle the very same document.
const std::vector<std::vector<std::string>> kDocumentFonts = {
    {"LiberationSans-Bold", "LiberationSerif-Italic"},
    {"LiberationMono-Bold", "LiberationSans-BoldItalic"},
    {"LiberationSerif-Bold", "LiberationMono-Italic"},
};

}  // namespace

EnduranceSession::EnduranceSession(const std::string& pluginsFolder) {
    host::session::SessionOptions options;
    options.pluginsFolder = pluginsFolder;
    options.echoCommands = false;
    m_session = std::make_unique<host::session::Session>(options, m_out);
    if (!m_session->Start() || m_session->Panel() == nullptr)
        throw CycleError("the plug-in did not start with its panel:\n" + m_out.str());
    m_plugin = m_session->Host().FindPlugin("Lumaro");
    if (m_plugin == nullptr) throw CycleError("Lumaro is not loaded");

    std::error_code ec;
    if (!fs::is_directory(kLibrary, ec))
        throw CycleError(std::string("no font library at ") + kLibrary);
    Run(std::string("glyvor index Liberation=") + kLibrary);
    Run("glyvor running");

    const std::string folder = m_session->MachineFolder() + "/Documents";
    fs::create_directories(folder, ec);
    for (std::size_t i = 0; i < kDocumentFonts.size(); ++i) {
        const std::string path = folder + "/document-" + std::to_string(i) + ".eps";
        std::string error;
        if (!samples::WriteTextFile(
                path, samples::DscPostScript(kDocumentFonts[i], {}, false, true), error))
            throw CycleError(error);
        m_documents.push_back(path);
    }
    m_fontsPerDocument = kDocumentFonts.front().size();
    CheckNoComplaints();
}

EnduranceSession::~EnduranceSession() = default;

void EnduranceSession::DocumentCycle() {
    const std::string& document = m_documents[m_next];
    m_next = (m_next + 1) % m_documents.size();

    Run("open " + document);
    ExpectMissing(m_fontsPerDocument, "after the document opened");
    Run("press Find");
    Run("select 0");
    Run("press Activate");
    ExpectMissing(m_fontsPerDocument - 1, "after Activate");
    Run("press Find");
    Run("press Activate All");
    ExpectMissing(0, "after Activate All");

    // The user deactivates the fonts in the font manager, which tells every window.
    std::error_code ec;
    fs::remove(glyvor::ActiveFontsFile(m_session->MachineFolder()), ec);
    if (ec) throw CycleError("cannot deactivate the fonts: " + ec.message());
    SendMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
    // The host reads its fonts again when its message loop comes round: after the
    // next command.
    Run("fonts");
    ExpectMissing(m_fontsPerDocument, "after the fonts were deactivated");

    Run("close " + document);
    ExpectMissing(0, "after the document closed");
    // The host tells the plug-in of no closed document: the user refreshes the
    // panel, which leaves it as it was before the cycle.
    Run("press Refresh");
    CheckNoComplaints();
}

void EnduranceSession::DestroyPanel() {
    Run("destroy-panel");
    if (m_session->Panel() != nullptr) throw CycleError("the panel is still there");
}

void EnduranceSession::UnloadCycle() {
    Run("unload");
    if (m_plugin->CodeLoaded() || m_plugin->State() != host::PluginState::Unloaded)
        throw CycleError("the plug-in's code stayed loaded");
    Run("reload");
    if (!m_plugin->CodeLoaded() || m_plugin->State() != host::PluginState::Started)
        throw CycleError("the plug-in's code did not load again");
    // A message into the reloaded code, through its suites.
    Run("menu");
    CheckNoComplaints();
}

Holdings EnduranceSession::Held() const {
    Holdings held;
    const host::AllocationStats stats = m_session->Host().Memory().Stats(m_plugin);
    held.pluginBlocks = stats.blocksOutstanding;
    held.pluginBytes = stats.bytesOutstanding;
    held.liveBstrs = EmuLiveBstrCount();
    held.liveProxies = EmuLiveProxyCount();
    held.residentKiB = ResidentKiB();
    return held;
}

void EnduranceSession::Run(const std::string& line) {
    m_out.str("");
    if (!m_session->Execute(line)) throw CycleError("\"" + line + "\" failed:\n" + m_out.str());
}

void EnduranceSession::ExpectMissing(std::size_t count, const char* when) const {
    const std::size_t missing = m_session->Fonts().MissingCount();
    if (missing != count) {
        throw CycleError(std::to_string(missing) + " font(s) missing " + when + ", not " +
                         std::to_string(count) + ":\n" + m_out.str());
    }
}

void EnduranceSession::CheckNoComplaints() {
    const std::vector<host::Event>& events = m_session->Host().Events().Events();
    for (; m_eventsChecked < events.size(); ++m_eventsChecked) {
        const host::Event& e = events[m_eventsChecked];
        if (e.kind == host::EventKind::Problem || e.kind == host::EventKind::Assertion ||
            e.kind == host::EventKind::Alert)
            throw CycleError("the host recorded: " + e.ToString());
    }
    m_session->ForgetEvents();
    m_eventsChecked = 0;
}

}  // namespace endurance
