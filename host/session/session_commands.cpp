// The commands of a session: what a user does in the host, one verb each.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "fontlist/font_file_reader.h"
#include "fontlist/font_list.h"
#include "glyvor/machine.h"
#include "host/adm/dialog_manager.h"
#include "host/session/font_manager_setup.h"
#include "host/session/host_platform.h"
#include "host/session/session.h"
#include "host/snapshot/snapshot.h"
#include "host/text_encoding.h"
#include "lumaro/resources/PanelResourceIDs.h"
#include "platform/win32.h"

namespace fs = std::filesystem;

namespace host::session {

namespace {

bool Fail(std::ostream& out, const std::string& why) {
    out << "  error: " << why << "\n";
    return false;
}

constexpr char kFaultArguments[] =
    "allocation N | suite-call N [SUITE:FUNCTION] [CODE] | host-string N [FUNCTION] [CODE] | "
    "automation N [HRESULT|dies] | points | clear";

constexpr char kNoAutomationFaults[] =
    "the font manager's calls cannot be failed here: they go to its own process";

// A host error code: a four-character code in single quotes ('PARM') or a number.
bool ParseErrorCode(const std::string& text, ASErr* code) {
    if (text.size() == 6 && text.front() == '\'' && text.back() == '\'') {
        *code = HostFourCC(text[1], text[2], text[3], text[4]);
        return true;
    }
    if (text.empty()) return false;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0' || value == 0) return false;
    *code = static_cast<ASErr>(value);
    return true;
}

bool ParseCount(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && *value >= 0;
}

const char* OriginName(const FontEntry& entry) {
    if (entry.missing) return "missing";
    switch (entry.origin) {
        case FontOrigin::Installed:
            return "installed";
        case FontOrigin::Activated:
            return "activated";
        case FontOrigin::Missing:
            return "missing";
    }
    return "?";
}

}  // namespace

const std::vector<Session::Command>& Session::Commands() {
    static const std::vector<Command> commands = {
        {"open", "PATH...", "open documents (fires the document-opened notifier)", 1, 1000,
         &Session::Open},
        {"close", "PATH", "close a document", 1, 1, &Session::Close},
        {"edit", "PATH", "change a document (document-changed notifier)", 1, 1, &Session::Edit},
        {"save", "PATH", "save a document (before and after Save notifiers)", 1, 1, &Session::Save},
        {"saveas", "PATH NEWPATH", "save a document under a new name (Save As notifiers)", 2, 2,
         &Session::SaveAs},
        {"fonts", "", "the host's font list, missing fonts marked *", 0, 0, &Session::PrintFonts},
        {"install", "FONTFILE", "copy a font into the machine's Fonts folder, as a user would", 1,
         1, &Session::Install},
        {"glyvor",
         "index NAME=DIR... | running|stopped [CATALOG] | unregistered | die-after N | healthy "
         "| fontchange-at N",
         "set up the font manager, its state, or a failure", 1, 1000, &Session::Glyvor},
        {"menu", "[PATH]", "print the menus, or choose the item at PATH (A>B>C)", 0, 1,
         &Session::Menu},
        {"choose", "KEY", "choose the menu item with that key name", 1, 1, &Session::Choose},
        {"notify", "TYPE", "fire a notifier type", 1, 1, &Session::Notify},
        {"panel", "", "print the panel: rows, buttons, status line", 0, 0, &Session::PrintPanel},
        {"press", "BUTTON", "press a panel button by its text", 1, 1, &Session::Press},
        {"select", "N...|none", "select rows of the available list (from 0)", 1, 1000,
         &Session::Select},
        {"close-palette", "", "close the panel with its close box", 0, 0, &Session::ClosePalette},
        {"destroy-panel", "", "the host destroys the panel's dialog", 0, 0, &Session::DestroyPanel},
        {"snapshot", "FILE.png", "write a picture of the panel", 1, 1, &Session::Snapshot},
        {"alerts", "", "the alerts shown since the last time", 0, 0, &Session::Alerts},
        {"about", "[PLUGIN]", "choose the plug-in's About item", 0, 1, &Session::About},
        {"unload", "[PLUGIN]", "unload a plug-in's code (refused while its dialogs are open)", 0, 1,
         &Session::Unload},
        {"reload", "[PLUGIN]", "load an unloaded plug-in's code again", 0, 1, &Session::Reload},
        {"window", "hung|answering", "another application's top-level window stops answering", 1, 1,
         &Session::Window},
        {"fault", kFaultArguments, "make the plug-in's N-th call of a kind from now fail", 1, 4,
         &Session::Fault},
        {"lists", "refuse-removal|allow-removal|keep-active|clear-active",
         "how the dialog manager treats list rows, where real ones differ", 1, 1, &Session::Lists},
        {"font-changes", "immediate|deferred",
         "the host handles WM_FONTCHANGE inside the send, or queues it (the default)", 1, 1,
         &Session::FontChanges},
        {"help", "", "this list", 0, 0, &Session::Help},
        {"quit", "", "shut the plug-ins down and report what they left", 0, 0,
         &Session::QuitCommand},
    };
    return commands;
}

// ---- Documents ------------------------------------------------------------------------

bool Session::DocumentIsOpen(const std::string& path) {
    std::error_code error;
    for (const std::string& open : m_fonts->OpenDocuments())
        if (open == path || fs::equivalent(open, path, error)) return true;
    return Fail(m_out, "no open document " + Shown(path));
}

bool Session::Open(const Args& args) {
    bool ok = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string path = Resolve(args[i]);
        if (args.size() > 1)
            Progress("opening " + std::to_string(i + 1) + " of " + std::to_string(args.size()));
        const DocumentFonts read = m_fonts->OpenDocument(path);
        ProgressDone();
        if (!read.ok()) {
            ok = Fail(m_out, Shown(read.error));
            continue;
        }
        m_out << "  " << Shown(path) << ": " << DocumentKindName(read.kind) << ", "
              << read.fonts.size() << " font(s)";
        for (std::size_t f = 0; f < read.fonts.size(); ++f)
            m_out << (f == 0 ? ": " : ", ") << read.fonts[f];
        m_out << "\n";
        m_host->FireNotifier(kAIDocumentOpenedNotifier);
        Echo();
    }
    return ok;
}

bool Session::Close(const Args& args) {
    const std::string path = Resolve(args[0]);
    if (!DocumentIsOpen(path)) return false;
    m_fonts->CloseDocument(path);
    m_out << "  closed " << Shown(path) << ", " << m_fonts->MissingCount() << " font(s) missing\n";
    // The host has no notifier for a closed document that the plug-in registers;
    // its panel follows on the next notification or Refresh.
    return true;
}

bool Session::Edit(const Args& args) {
    if (!DocumentIsOpen(Resolve(args[0]))) return false;
    m_host->FireNotifier(kAIDocumentChangedNotifier);
    return true;
}

bool Session::Save(const Args& args) {
    if (!DocumentIsOpen(Resolve(args[0]))) return false;
    m_host->FireNotifier(kAIBeforeSaveNotifier);
    m_host->FireNotifier(kAIAfterSaveNotifier);
    return true;
}

bool Session::SaveAs(const Args& args) {
    const std::string from = Resolve(args[0]), to = Resolve(args[1]);
    if (!DocumentIsOpen(from)) return false;
    // A host asks before it replaces a file; a scenario cannot answer, so no file
    // is ever replaced.
    if (fs::exists(to)) return Fail(m_out, Shown(to) + " exists already");
    m_host->FireNotifier(kAIBeforeSaveAsNotifier);
    Echo();
    std::error_code error;
    fs::copy_file(from, to, error);
    if (error) return Fail(m_out, "cannot write " + Shown(to) + ": " + error.message());
    // The document now lives under its new name; its fonts are the same.
    const DocumentFonts read = m_fonts->OpenDocument(to);
    if (!read.ok()) {
        fs::remove(to, error);
        return Fail(m_out, Shown(read.error));
    }
    m_fonts->CloseDocument(from);
    m_out << "  saved as " << Shown(to) << "\n";
    m_host->FireNotifier(kAIAfterSaveAsNotifier);
    return true;
}

// ---- Fonts ----------------------------------------------------------------------------

bool Session::PrintFonts(const Args&) {
    m_out << "  " << m_fonts->MachineFontCount() << " font(s) on the machine, "
          << m_fonts->MissingCount() << " missing\n";
    for (const FontEntry& entry : m_fonts->Entries()) {
        std::ostringstream line;
        // Padded by characters, not bytes: names need not be ASCII.
        const std::size_t width = static_cast<std::size_t>(std::count_if(
            entry.Name().begin(), entry.Name().end(), [](char c) { return (c & 0xC0) != 0x80; }));
        line << (entry.missing ? "  * " : "    ") << entry.Name()
             << std::string(width < 30 ? 30 - width : 0, ' ') << " " << OriginName(entry);
        for (std::size_t d = 0; d < entry.documents.size(); ++d)
            line << (d == 0 ? ": " : ", ") << Shown(entry.documents[d]);
        m_out << line.str() << "\n";
    }
    return true;
}

bool Session::Install(const Args& args) {
    const std::string source = Resolve(args[0]);
    if (!fs::is_regular_file(source)) return Fail(m_out, "no font file " + Shown(source));
    std::string error;
    // The system's font folder takes fonts only; anything else would sit there unread.
    std::vector<FontFaceInfo> faces;
    if (!FontFileReader().Read(source, faces, error))
        return Fail(m_out, Shown(source) + " is not a font: " + Shown(error));
    if (!glyvor::InstallFontFile(m_machine, source, &error)) return Fail(m_out, Shown(error));
    m_out << "  copied " << fs::path(source).filename().string() << " into $MACHINE/Fonts\n";
    // The system tells every top-level window, the host's among them.
    SendMessageW(m_platform->HostWindow(), WM_FONTCHANGE, 0, 0);
    return true;
}

bool Session::Glyvor(const Args& args) {
    const std::string& what = args[0];
    const bool registered = m_fontManager->IsRegistered();
    std::string error;
    auto registerWith = [&](const std::string& catalog) {
        if (registered && catalog.empty()) return true;
        return m_fontManager->Register(catalog.empty() ? "" : Resolve(catalog), &error) ||
               Fail(m_out, "cannot register the font manager: " + Shown(error));
    };
    if (what == "index") {
        std::vector<glyvor::GroupSource> groups;
        for (std::size_t i = 1; i < args.size(); ++i) {
            const auto eq = args[i].find('=');
            if (eq == std::string::npos || eq == 0)
                return Fail(m_out, "a group is NAME=FOLDER, not " + args[i]);
            groups.push_back({args[i].substr(0, eq), Resolve(args[i].substr(eq + 1))});
        }
        if (groups.empty()) return Fail(m_out, "usage: glyvor index NAME=FOLDER...");
        Progress("indexing " + std::to_string(groups.size()) + " font group(s)");
        std::vector<glyvor::GroupReport> report;
        const bool indexed = m_fontManager->Index(groups, &report, &error);
        ProgressDone();
        if (!indexed) return Fail(m_out, Shown(error));
        // The counts follow the font packages' versions; a transcript that should
        // read the same on every machine leaves them out.
        for (const auto& g : report) {
            m_out << "  group " << g.name << " indexed";
            if (!m_options.echoCommands)
                m_out << ": " << g.fonts << " font(s), " << g.skipped << " skipped";
            m_out << "\n";
        }
        return true;
    }
    if (what == "running" || what == "stopped") {
        if (args.size() > 2) return Fail(m_out, "usage: glyvor " + what + " [CATALOG]");
        if (!registerWith(args.size() == 2 ? args[1] : "")) return false;
        if (what == "stopped") {
            m_fontManager->Stop();
        } else if (!m_fontManager->Running() && !m_fontManager->Start(&error)) {
            return Fail(m_out, "cannot start the font manager: " + Shown(error));
        }
        m_out << "  font manager registered, "
              << (m_fontManager->Running() ? "running" : "not running") << "\n";
        return true;
    }
    if (what == "unregistered") {
        if (!m_fontManager->Unregister(&error)) return Fail(m_out, Shown(error));
        m_out << "  font manager not registered\n";
        return true;
    }
    if (what == "die-after") {
        long calls = 0;
        if (args.size() != 2 || !ParseCount(args[1], &calls) || calls == 0)
            return Fail(m_out, "usage: glyvor die-after N (N from 1)");
        if (!m_platform->SetFontManagerDiesAfter(static_cast<unsigned long>(calls), &error))
            return Fail(m_out, error);
        m_out << "  the font manager dies at automation call " << calls << " from now\n";
        return true;
    }
    if (what == "healthy") return m_platform->SetFontManagerHealthy(&error) || Fail(m_out, error);
    if (what == "fontchange-at") {
        long call = 0;
        if (args.size() != 2 || !ParseCount(args[1], &call) || call == 0)
            return Fail(m_out, "usage: glyvor fontchange-at N (N from 1)");
        if (!m_platform->SetFontManagerBroadcastsAt(static_cast<unsigned long>(call), &error))
            return Fail(m_out, error);
        m_out << "  the font manager broadcasts WM_FONTCHANGE during automation call " << call
              << " from now\n";
        return true;
    }
    return Fail(m_out, "unknown font-manager state \"" + what + "\"");
}

// ---- Menus ----------------------------------------------------------------------------

AIMenuItem* Session::FindMenuPath(const std::string& path, std::string* error) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto gt = path.find('>', start);
        std::string part = path.substr(start, gt == std::string::npos ? gt : gt - start);
        const auto first = part.find_first_not_of(' ');
        const auto last = part.find_last_not_of(' ');
        parts.push_back(first == std::string::npos ? "" : part.substr(first, last - first + 1));
        if (gt == std::string::npos) break;
        start = gt + 1;
    }
    if (parts.size() < 2) {
        *error = "a menu path is GROUP>ITEM..., e.g. Tool Palettes>Corvane Software>...";
        return nullptr;
    }
    std::string group = parts[0];
    // The host's tool palettes sit in its Window menu.
    if (group == "Window" && m_host->Menu().FindGroup(group) == nullptr) group = "Tool Palettes";
    if (m_host->Menu().FindGroup(group) == nullptr) {
        *error = "no menu group \"" + group + "\"";
        return nullptr;
    }
    AIMenuItem* found = nullptr;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        found = nullptr;
        for (AIMenuItem* item : m_host->Menu().ItemsIn(group))
            if (EncodeUtf8(item->text) == parts[i] || item->keyName == parts[i]) found = item;
        if (found == nullptr) {
            *error = "no item \"" + parts[i] + "\" in [" + group + "]";
            return nullptr;
        }
        if (i + 1 < parts.size()) {
            if (found->submenu == nullptr) {
                *error = "\"" + parts[i] + "\" has no submenu";
                return nullptr;
            }
            group = found->submenu->name;
        }
    }
    return found;
}

bool Session::Menu(const Args& args) {
    // A host asks the items that want it to update before it shows a menu.
    m_host->UpdateMenus();
    Echo();
    if (args.empty()) {
        std::istringstream tree(m_host->Menu().Tree());
        for (std::string line; std::getline(tree, line);) m_out << "  " << line << "\n";
        return true;
    }
    std::string error;
    AIMenuItem* item = FindMenuPath(args[0], &error);
    if (item == nullptr) return Fail(m_out, error);
    if (item->submenu != nullptr) return Fail(m_out, "\"" + args[0] + "\" is a submenu");
    if (!item->enabled) return Fail(m_out, "\"" + args[0] + "\" is disabled");
    const ASErr result = m_host->ChooseMenuItem(item);
    return result == kNoErr || Fail(m_out, "the item answered " + FormatErrorCode(result));
}

bool Session::Choose(const Args& args) {
    AIMenuItem* item = m_host->Menu().FindItem(args[0]);
    if (item == nullptr) return Fail(m_out, "no menu item with the key \"" + args[0] + "\"");
    const ASErr result = m_host->ChooseMenuItem(item);
    return result == kNoErr || Fail(m_out, "the item answered " + FormatErrorCode(result));
}

bool Session::Notify(const Args& args) {
    m_out << "  " << m_host->FireNotifier(args[0]) << " plug-in(s) notified\n";
    return true;
}

// ---- The panel ------------------------------------------------------------------------

ADMDialogRef Session::RequirePanel(bool visible) {
    ADMDialogRef panel = Panel();
    if (panel == nullptr) {
        Fail(m_out, "there is no panel");
    } else if (visible && !panel->visible) {
        // A user cannot click into a hidden palette.
        Fail(m_out, "the panel is hidden");
        return nullptr;
    }
    return panel;
}

void Session::PrintStatus() {
    // As the command left it: a font change the command caused may refresh it next.
    ADMDialogRef panel = Panel();
    if (panel == nullptr) return;
    std::istringstream render(FromThreadAnsi(Dialogs().Render(panel)));
    for (std::string line; std::getline(render, line);)
        if (line.compare(0, 7, "status ") == 0) m_out << "  " << line << "\n";
}

bool Session::PrintPanel(const Args&) {
    ADMDialogRef panel = RequirePanel();
    if (panel == nullptr) return false;
    std::istringstream render(FromThreadAnsi(Dialogs().Render(panel)));
    for (std::string line; std::getline(render, line);) m_out << "  " << line << "\n";
    return true;
}

bool Session::Press(const Args& args) {
    ADMDialogRef panel = RequirePanel(true);
    if (panel == nullptr) return false;
    try {
        Dialogs().PressButton(panel, args[0]);
    } catch (const adm::ActionError& e) {
        return Fail(m_out, e.what());
    }
    Echo();
    PrintStatus();
    return true;
}

bool Session::Select(const Args& args) {
    ADMDialogRef panel = RequirePanel(true);
    if (panel == nullptr) return false;
    std::vector<int> rows;
    if (!(args.size() == 1 && args[0] == "none")) {
        for (const std::string& a : args) {
            long row = 0;
            if (!ParseCount(a, &row)) return Fail(m_out, "not a row number: " + a);
            rows.push_back(static_cast<int>(row));
        }
    }
    try {
        Dialogs().SelectRows(panel, kAvailableList, rows);
    } catch (const adm::ActionError& e) {
        return Fail(m_out, e.what());
    }
    return true;
}

bool Session::ClosePalette(const Args&) {
    ADMDialogRef panel = RequirePanel();
    if (panel == nullptr) return false;
    Dialogs().ClosePalette(panel);
    m_out << "  the panel is " << (panel->visible ? "visible" : "hidden") << "\n";
    return true;
}

bool Session::DestroyPanel(const Args&) {
    ADMDialogRef panel = RequirePanel();
    if (panel == nullptr) return false;
    Dialogs().DestroyDialog(panel);
    m_out << "  the panel's dialog is " << (Panel() == nullptr ? "destroyed" : "still there")
          << "\n";
    return true;
}

bool Session::Snapshot(const Args& args) {
    ADMDialogRef panel = RequirePanel();
    if (panel == nullptr) return false;
    const std::string path = Resolve(args[0]);
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    try {
        snapshot::WriteSnapshot(Dialogs(), panel, path);
    } catch (const snapshot::SnapshotError& e) {
        return Fail(m_out, Shown(e.what()));
    }
    m_out << "  wrote " << Shown(path) << "\n";
    return true;
}

bool Session::Alerts(const Args&) {
    const std::vector<Event> alerts = m_host->Events().OfKind(EventKind::Alert);
    if (m_alertsSeen >= alerts.size()) m_out << "  no alerts\n";
    for (; m_alertsSeen < alerts.size(); ++m_alertsSeen)
        m_out << "  " << alerts[m_alertsSeen].subject << ": "
              << FromThreadAnsi(alerts[m_alertsSeen].detail) << "\n";
    return true;
}

// ---- Plug-ins -------------------------------------------------------------------------

LoadedPlugin* Session::PluginArg(const Args& args, std::size_t index) {
    const std::string name = args.size() > index ? args[index] : "Lumaro";
    LoadedPlugin* plugin = m_host->FindPlugin(name);
    if (plugin == nullptr) Fail(m_out, "no plug-in named \"" + name + "\"");
    return plugin;
}

bool Session::About(const Args& args) {
    LoadedPlugin* plugin = PluginArg(args, 0);
    if (plugin == nullptr) return false;
    // The plug-in's item somewhere under the host's About group.
    for (AIMenuItem* item : m_host->Menu().Items()) {
        if (item->plugin != plugin || item->submenu != nullptr) continue;
        for (std::string group = item->group; !group.empty();) {
            if (group == "About") {
                const ASErr result = m_host->ChooseMenuItem(item);
                return result == kNoErr ||
                       Fail(m_out, "the item answered " + FormatErrorCode(result));
            }
            AIMenuGroupData* data = m_host->Menu().FindGroup(group);
            group = data != nullptr && data->parentItem != nullptr ? data->parentItem->group : "";
        }
    }
    const ASErr result = m_host->About(*plugin);
    return result == kNoErr || Fail(m_out, "About answered " + FormatErrorCode(result));
}

bool Session::Unload(const Args& args) {
    LoadedPlugin* plugin = PluginArg(args, 0);
    if (plugin == nullptr) return false;
    // A plug-in's dialogs call back into its code at any time (drawing, notifiers),
    // so its code stays mapped while one of them exists, as a real host keeps it.
    std::size_t open = 0;
    for (ADMDialogRef d : Dialogs().Dialogs())
        if (d->plugin == plugin->Ref()) ++open;
    if (open != 0) {
        m_out << "  " << plugin->Name() << " stays loaded: " << open
              << " dialog(s) of it are open\n";
        return true;
    }
    if (plugin->State() != PluginState::Started)
        return Fail(m_out, plugin->Name() + " is " + PluginStateName(plugin->State()));
    const ASErr result = m_host->Unload(*plugin);
    if (plugin->State() != PluginState::Unloaded) return true;  // it holds itself loaded
    return result == kNoErr || Fail(m_out, "Unload answered " + FormatErrorCode(result));
}

bool Session::Reload(const Args& args) {
    LoadedPlugin* plugin = PluginArg(args, 0);
    if (plugin == nullptr) return false;
    if (plugin->State() != PluginState::Unloaded)
        return Fail(m_out, plugin->Name() + " is not unloaded");
    const ASErr result = m_host->Reload(*plugin);
    return result == kNoErr || Fail(m_out, "Reload answered " + FormatErrorCode(result));
}

// ---- The rest -------------------------------------------------------------------------

bool Session::Window(const Args& args) {
    if (args[0] != "hung" && args[0] != "answering")
        return Fail(m_out, "usage: window hung|answering");
    std::string error;
    if (!m_platform->SetOtherWindowHung(args[0] == "hung", &error)) return Fail(m_out, error);
    m_out << "  another application's window is " << args[0] << "\n";
    return true;
}

bool Session::Fault(const Args& args) {
    FaultPlan& plan = m_host->Faults();
    const std::string& what = args[0];
    if (what == "points") {
        if (args.size() != 1) return Fail(m_out, "usage: fault points");
        m_out << "  fault points so far:";
        for (FaultKind kind : kFaultKinds)
            m_out << (kind == FaultKind::Allocation ? " " : ", ") << plan.Count(kind) << " "
                  << FaultKindName(kind);
        m_out << "\n";
        return true;
    }
    if (what == "clear") {
        if (args.size() != 1) return Fail(m_out, "usage: fault clear");
        plan.Clear();
        m_out << "  no fault armed\n";
        return true;
    }
    FaultKind kind;
    long n = 0;
    if (!FaultKindFromName(what, &kind) || args.size() < 2 || !ParseCount(args[1], &n) || n == 0)
        return Fail(m_out, std::string("usage: fault ") + kFaultArguments);
    const std::string nth = std::to_string(n);
    switch (kind) {
        case FaultKind::Allocation:
            if (args.size() != 2) return Fail(m_out, "usage: fault allocation N");
            plan.FailNth(kind, n, kHostOutOfMemoryErr);
            m_out << "  the plug-in's allocation " << nth << " from now is refused\n";
            return true;
        case FaultKind::Automation: {
            if (args.size() > 3) return Fail(m_out, "usage: fault automation N [HRESULT|dies]");
            if (args.size() == 3 && args[2] == "dies") {
                if (!plan.DieAt(n)) return Fail(m_out, kNoAutomationFaults);
                m_out << "  the font manager dies at automation call " << nth << " from now\n";
                return true;
            }
            ASErr hr = static_cast<ASErr>(E_FAIL);
            if (args.size() == 3 && (!ParseErrorCode(args[2], &hr) || hr >= 0))
                return Fail(m_out, "not a failure HRESULT: " + args[2]);
            if (!plan.FailNth(kind, n, hr)) return Fail(m_out, kNoAutomationFaults);
            char text[16];
            std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
            m_out << "  automation call " << nth << " from now fails with " << text << "\n";
            return true;
        }
        case FaultKind::SuiteCall:
        case FaultKind::HostString:
            break;
    }
    ASErr code = kBadParameterErr;
    std::string suite, function;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (ParseErrorCode(args[i], &code)) continue;
        if (!function.empty()) return Fail(m_out, "one function at a time, not " + args[i]);
        const auto colon = args[i].rfind(':');
        if (kind == FaultKind::SuiteCall && colon == std::string::npos)
            return Fail(m_out, "a suite function is \"SUITE:FUNCTION\", not " + args[i]);
        suite = kind == FaultKind::SuiteCall ? args[i].substr(0, colon) : kAIUnicodeStringSuite;
        function = kind == FaultKind::SuiteCall ? args[i].substr(colon + 1) : args[i];
        const auto& sites = KnownFaultSites();
        const auto site = std::find_if(sites.begin(), sites.end(), [&](const FaultSite& s) {
            return s.kind == kind && suite == s.suite && function == s.function;
        });
        if (site == sites.end())
            return Fail(m_out, "the host has no " + suite + " function " + function);
        // What answers no error has no failure the plug-in could see.
        if (!site->canFail) return Fail(m_out, suite + " " + function + " cannot fail");
    }
    plan.FailNth(kind, n, code, suite, function);
    m_out << "  "
          << (function.empty()
                  ? std::string(what == "suite-call" ? "suite call" : "host-string call")
                  : "call of " + suite + " " + function)
          << " " << nth << " from now fails with " << FormatErrorCode(code) << "\n";
    return true;
}

bool Session::Lists(const Args& args) {
    adm::DialogManager& dialogs = Dialogs();
    if (args[0] == "refuse-removal" || args[0] == "allow-removal") {
        dialogs.SetRefusesRemoval(args[0] == "refuse-removal");
        m_out << "  the dialog manager " << (dialogs.RefusesRemoval() ? "refuses" : "allows")
              << " the removal of list rows\n";
    } else if (args[0] == "keep-active" || args[0] == "clear-active") {
        dialogs.SetKeepsActiveEntry(args[0] == "keep-active");
        m_out << "  emptying a list's selection "
              << (dialogs.KeepsActiveEntry() ? "keeps" : "clears") << " its active row\n";
    } else {
        return Fail(m_out, "usage: lists refuse-removal|allow-removal|keep-active|clear-active");
    }
    return true;
}

bool Session::FontChanges(const Args& args) {
    if (args[0] != "immediate" && args[0] != "deferred")
        return Fail(m_out, "usage: font-changes immediate|deferred");
    m_fontChangesAtOnce = args[0] == "immediate";
    m_out << (m_fontChangesAtOnce
                  ? "  the host handles WM_FONTCHANGE at once, inside the send\n"
                  : "  the host queues WM_FONTCHANGE until the user's action has returned\n");
    return true;
}

bool Session::Help(const Args&) {
    m_out << CommandHelp();
    return true;
}

bool Session::QuitCommand(const Args&) {
    // Leaks make the session unclean, not the command failed.
    Quit();
    return true;
}

}  // namespace host::session
