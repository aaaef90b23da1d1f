#include "host/session/session.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "fontlist/font_list.h"
#include "glyvor/machine.h"
#include "host/adm/dialog_commands.h"
#include "host/fontsuite/font_suite.h"
#include "host/prefs/preference_store.h"
#include "host/session/font_manager_setup.h"
#include "host/session/host_platform.h"
#include "host/text_encoding.h"
#include "platform/win32.h"

namespace fs = std::filesystem;

namespace host::session {

namespace {

constexpr char kPanelName[] = "Lumaro Panel";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

// ---- Setting up and tearing down ------------------------------------------------------

Session::Session(SessionOptions options, std::ostream& out, std::ostream* progress)
    : m_options(std::move(options)), m_out(out), m_progress(progress) {
    try {
        SetUp();
    } catch (...) {
        // No destructor runs for a constructor that throws: undo what was made.
        TearDown();
        throw;
    }
}

void Session::SetUp() {
    m_platform = std::make_unique<HostPlatform>(m_options.codePage);
    m_fontChangesAtOnce = HostPlatform::HandlesFontChangeInPlace();
    if (m_options.machineFolder.empty()) {
        m_machine = HostPlatform::MakeTemporaryFolder();
        m_temporaryMachine = true;
    } else {
        std::error_code error;
        fs::create_directories(m_options.machineFolder, error);
        if (error || !fs::is_directory(m_options.machineFolder))
            throw SessionError("cannot use " + m_options.machineFolder + " as the machine folder");
        m_machine = fs::weakly_canonical(fs::absolute(m_options.machineFolder)).generic_string();
    }
    std::error_code error;
    fs::create_directories(glyvor::FontsFolder(m_machine), error);

    if (m_options.baseFolder.empty()) m_options.baseFolder = fs::current_path().string();
    m_options.baseFolder =
        fs::weakly_canonical(fs::absolute(m_options.baseFolder)).generic_string();

    ShowAs(m_machine, "$MACHINE");
    ShowAs(m_options.baseFolder + "/", "");

    m_platform->UseMachine(m_machine);

    m_host = std::make_unique<host::Host>();
    m_host->SetMachineFolder(m_machine);
    try {
        m_preferences = std::make_unique<prefs::PreferenceStore>(m_machine);
    } catch (const prefs::PreferenceError& e) {
        throw SessionError(e.what());
    }
    prefs::RegisterPreferenceSuite(m_host->Suites());
    Progress("reading the machine's fonts");
    m_fonts = std::make_unique<FontList>(m_machine);
    ProgressDone();
    m_fontService = std::make_unique<fontsuite::FontSuiteService>(*m_fonts);
    fontsuite::FontSuiteService::Register(m_host->Suites());
    m_dialogs = std::make_unique<adm::HostDialogs>(*m_host);
    m_fontManager = std::make_unique<FontManagerSetup>(m_machine);
    m_platform->CreateHostWindow([this] { OnFontChange(); });
}

Session::~Session() {
    try {
        Quit();
    } catch (...) {
    }
    TearDown();
}

void Session::TearDown() {
    m_fontManager.reset();
    m_dialogs.reset();
    m_fontService.reset();
    m_fonts.reset();
    m_preferences.reset();
    m_host.reset();
    m_platform.reset();
    if (m_temporaryMachine) {
        std::error_code ignored;
        fs::remove_all(m_machine, ignored);
    }
}

void Session::OnFontChange() {
    // Queued by default in the emulation: the message arrives inside the plug-in's
    // command (its own broadcast, or a font manager's that COM hands over while the
    // plug-in waits for it), and a host that reads the font list again from its
    // message loop does so after that command has returned. A Windows window
    // procedure receives it right there, inside the sender's call, and a host may
    // handle it where it is delivered: that re-enters the plug-in, a font-list
    // notification inside its own button handler.
    if (!m_fontChangesAtOnce || m_readingFonts || m_host == nullptr) {
        ++m_fontChangesQueued;
        return;
    }
    Echo();
    m_readingFonts = true;
    ReadFontsAgain(" at once");
    m_readingFonts = false;
}

void Session::PumpMessages() {
    if (m_readingFonts) return;
    m_readingFonts = true;
    // A notification may broadcast again; a few rounds settle any sane plug-in.
    for (int round = 0; round < 4 && m_fontChangesQueued > 0; ++round) {
        m_fontChangesQueued = 0;
        ReadFontsAgain("");
    }
    m_readingFonts = false;
}

void Session::ReadFontsAgain(const char* when) {
    Progress("reading the machine's fonts again");
    m_fonts->Enumerate();
    ProgressDone();
    m_out << "  [host] font list read again" << when << ": " << m_fonts->MachineFontCount()
          << " font(s) on the machine, " << m_fonts->MissingCount() << " missing\n";
    m_host->FireNotifier(kAIFontListChangedNotifier);
}

bool Session::Start() {
    m_out << "machine $MACHINE, code page " << m_platform->CodePage() << "\n";
    Progress("loading plug-ins");
    if (!fs::is_directory(m_options.pluginsFolder)) {
        m_out << "  error: no plug-ins folder " << Shown(m_options.pluginsFolder) << "\n";
        m_started = true;
        return false;
    }
    m_host->LoadPluginsFolder(m_options.pluginsFolder);
    ProgressDone();
    bool started = true;
    if (m_options.announceStart) {
        started = m_host->StartAll();
    } else {
        for (const auto& p : m_host->Plugins())
            if (m_host->Startup(*p) != kNoErr) started = false;
    }
    m_started = true;
    Echo();
    PumpMessages();
    Echo();
    for (const auto& p : m_host->Plugins())
        m_out << "plug-in " << p->Name() << ": " << PluginStateName(p->State()) << "\n";
    return started && m_host->Refused().empty();
}

bool Session::Quit() {
    if (m_finished || m_host == nullptr) return m_clean;
    m_finished = true;
    m_host->ShutdownAll();
    Echo();
    for (const auto& p : m_host->Plugins()) {
        const AllocationStats st = m_host->Memory().Stats(p.get());
        // Totals would tie every transcript to the plug-in's inner workings; what
        // is left is what matters.
        m_out << "  " << p->Name() << ": " << st.blocksOutstanding << " block(s) left";
        if (st.blocksOutstanding != 0) m_out << ", " << st.bytesOutstanding << " byte(s)";
        m_out << "\n";
    }
    m_fontManager->Stop();
    m_clean = m_host->Clean();
    m_out << (m_clean ? "clean" : "NOT clean") << ", " << m_failedCommands
          << " command(s) failed\n";
    return m_clean;
}

void Session::Progress(const std::string& text) {
    if (m_progress == nullptr) return;
    *m_progress << "\r\033[K" << text << "..." << std::flush;
    m_progressShown = true;
}

void Session::ProgressDone() {
    if (m_progress == nullptr || !m_progressShown) return;
    *m_progress << "\r\033[K" << std::flush;
    m_progressShown = false;
}

// ---- Command lines --------------------------------------------------------------------

std::vector<std::string> Session::Split(const std::string& line, std::string* error) const {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) *error = "a quotation mark is not closed";
    if (inWord) words.push_back(word);
    return words;
}

void Session::ShowAs(const std::string& value, const std::string& placeholder) {
    if (value.empty() || value == "/") return;
    for (const auto& shown : m_shownAs)
        if (shown.first == value) return;
    m_shownAs.emplace_back(value, placeholder);
    // Longest values first, so that a folder inside another prints by its own name.
    std::stable_sort(m_shownAs.begin(), m_shownAs.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

std::string Session::Expand(const std::string& word) {
    static const std::regex variable(R"(\$\{?([A-Za-z_][A-Za-z0-9_]*)\}?)");
    std::string out;
    auto begin = std::sregex_iterator(word.begin(), word.end(), variable);
    std::size_t last = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        out += word.substr(last, static_cast<std::size_t>(m.position()) - last);
        const std::string name = m[1];
        if (name == "MACHINE") {
            out += m_machine;
        } else if (const char* value = std::getenv(name.c_str()); value != nullptr) {
            std::string text = value;
            while (text.size() > 1 && text.back() == '/') text.pop_back();
            ShowAs(text, "$" + name);
            std::error_code error;
            const fs::path canonical = fs::weakly_canonical(fs::absolute(text), error);
            if (!error) ShowAs(canonical.generic_string(), "$" + name);
            out += text;
        } else {
            throw std::invalid_argument("$" + name + " is not set");
        }
        last = static_cast<std::size_t>(m.position() + m.length());
    }
    return out + word.substr(last);
}

std::string Session::Resolve(const std::string& path) const {
    const fs::path p(path);
    // Rooted paths are taken as given: on Windows a Linux path such as /usr/share/...
    // has no drive and names a file on the current one (Wine's Z:). Forward slashes
    // on every platform, so that paths print alike.
    return (p.has_root_directory() ? p : fs::path(m_options.baseFolder) / p)
        .lexically_normal()
        .generic_string();
}

std::string Session::Shown(std::string text) const {
    for (const auto& [value, placeholder] : m_shownAs) {
        for (std::size_t at = text.find(value); at != std::string::npos;
             at = text.find(value, at + placeholder.size()))
            text.replace(at, value.size(), placeholder);
    }
    // Addresses, not 32-bit codes (HRESULTs print as 0x80004005).
    static const std::regex address("0x[0-9a-fA-F]{9,}");
    return std::regex_replace(text, address, "0x?");
}

bool Session::Execute(const std::string& rawLine) {
    const std::string line = Trim(rawLine);
    if (line.empty()) return true;
    if (line[0] == '#') {
        if (m_options.echoCommands) m_out << line << "\n";
        return true;
    }
    if (m_options.echoCommands) m_out << "> " << line << "\n";
    bool ok = false;
    std::string error;
    std::vector<std::string> words = Split(line, &error);
    const Command* command = nullptr;
    if (!error.empty()) {
        m_out << "  error: " << error << "\n";
    } else if (m_finished) {
        m_out << "  error: the session has ended\n";
    } else {
        for (const Command& c : Commands())
            if (words[0] == c.name) command = &c;
        const adm::DialogCommand* dialogCommand =
            command == nullptr ? DialogCommandNamed(words[0]) : nullptr;
        if (dialogCommand != nullptr) {
            ok = RunDialogCommand(*dialogCommand, words);
        } else if (command == nullptr) {
            m_out << "  error: unknown command \"" << words[0] << "\" (try help)\n";
        } else {
            try {
                Args args;
                for (std::size_t i = 1; i < words.size(); ++i) args.push_back(Expand(words[i]));
                // A command of one argument takes the rest of the line: menu paths and
                // button texts hold spaces.
                if (command->maxArgs == 1 && args.size() > 1) {
                    std::string joined;
                    for (const std::string& a : args) joined += (joined.empty() ? "" : " ") + a;
                    args = {joined};
                }
                if (args.size() < command->minArgs || args.size() > command->maxArgs) {
                    m_out << "  error: usage: " << command->name << " " << command->arguments
                          << "\n";
                } else {
                    ok = (this->*command->run)(args);
                }
            } catch (const std::exception& e) {
                m_out << "  error: " << Shown(e.what()) << "\n";
                ok = false;
            }
        }
    }
    if (!m_finished) {
        Echo();
        PumpMessages();
        Echo();
    }
    ProgressDone();
    if (!ok) ++m_failedCommands;
    return ok;
}

void Session::ForgetEvents() {
    Echo();
    m_host->Events().Clear();
    m_platform->ForgetObservations();
    m_eventsSeen = 0;
    m_alertsSeen = 0;
}

void Session::Echo() {
    const auto& events = m_host->Events().Events();
    for (; m_eventsSeen < events.size(); ++m_eventsSeen) {
        const Event& e = events[m_eventsSeen];
        if (e.kind == EventKind::Registration) continue;
        std::string text;
        if (e.kind == EventKind::Load &&
            (e.subject == "loaded" || e.subject == "reloaded" || e.subject == "unloaded")) {
            // The details are addresses and paths: the same every time is what matters.
            text = "[load] " + e.plugin + ": " + e.subject;
        } else if (e.kind == EventKind::Alert || e.kind == EventKind::Assertion) {
            // What a plug-in shows is in the thread's code page.
            Event shown = e;
            shown.detail = FromThreadAnsi(e.detail);
            // An assertion's line moves with every edit of its source file; the
            // transcript keeps the expression and the source name.
            static const std::regex line(", line [0-9]+$");
            if (e.kind == EventKind::Assertion)
                shown.detail = std::regex_replace(shown.detail, line, "");
            text = shown.ToString();
        } else {
            text = e.ToString();
        }
        m_out << "  " << Shown(text) << "\n";
    }
    for (const std::string& line : m_platform->TakeObservations()) m_out << "  " << line << "\n";
}

std::string FromThreadAnsi(const std::string& text) {
    return EncodeUtf8(DecodeThreadAnsi(text.data(), text.size()));
}

ADMDialogRef Session::Panel() const { return m_dialogs->Manager().FindDialog(kPanelName); }

// ---- Help -----------------------------------------------------------------------------

namespace {

std::string HelpLine(const char* name, const char* arguments, const char* help) {
    std::string head = std::string(name) + (arguments[0] ? " " : "") + arguments;
    if (head.size() < 34) head.resize(34, ' ');
    return "  " + head + " " + help + "\n";
}

}  // namespace

// The dialog manager's own words for any dialog, where the session has no
// word of the same name for the panel.
const adm::DialogCommand* Session::DialogCommandNamed(const std::string& name) {
    for (const Command& c : Commands())
        if (name == c.name) return nullptr;
    return adm::FindDialogCommand(name);
}

bool Session::RunDialogCommand(const adm::DialogCommand& command, const Args& words) {
    if (words.size() - 1 != command.argumentCount) {
        m_out << "  error: usage: " << command.name << " " << command.arguments << "\n";
        return false;
    }
    Args args;
    for (std::size_t i = 1; i < words.size(); ++i) args.push_back(Expand(words[i]));
    std::ostringstream out;
    const bool ok = command.run(Dialogs(), out, args);
    std::istringstream lines(FromThreadAnsi(out.str()));
    for (std::string line; std::getline(lines, line);)
        m_out << (ok ? "  " : "  error: ") << line << "\n";
    return ok;
}

std::string Session::CommandHelp() {
    std::string out;
    for (const Command& c : Commands()) out += HelpLine(c.name, c.arguments, c.help);
    out += "any dialog:\n";
    for (const adm::DialogCommand& c : adm::DialogCommands())
        if (DialogCommandNamed(c.name) != nullptr) out += HelpLine(c.name, c.arguments, c.help);
    return out;
}

std::vector<std::string> Session::CommandNames() {
    std::vector<std::string> names;
    for (const Command& c : Commands()) names.push_back(c.name);
    for (const adm::DialogCommand& c : adm::DialogCommands())
        if (DialogCommandNamed(c.name) != nullptr) names.push_back(c.name);
    return names;
}

}  // namespace host::session
