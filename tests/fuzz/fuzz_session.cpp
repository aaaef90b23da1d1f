// A whole host session against the loaded plug-in, as a hostile host and a
// busy user would run it. Each input is a code page and a bounded sequence of
// operations: documents opened, changed and closed with font lists of any
// names, button presses and selections in the panel, notifications, menu
// choices, the panel closed or destroyed, the code unloaded and reloaded, the
// font manager running, stopped, missing, dying or failing in COM, its font
// files gone, and the host refusing suites, memory, host strings and font
// queries. After every operation and at the end of the session the checks are
// those of a user and of the host:
//  - no crash (the sanitizers) and no exception into the host;
//  - no problem the host reports (stale references, unbalanced contexts, and
//    at shutdown any block, suite, access reference or host string left);
//  - between commands the plug-in holds no COM reference and no BSTR, and no
//    message it sent would have hung the host on a window that does not answer;
//  - no panel row points at a record that is gone, and the status line agrees
//    with the rows it counts;
//  - a button that was pressed shows an outcome: a status line, an alert or a
//    shell call.
// A finding prints the session's transcript before it aborts.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fontlist/font_list.h"
#include "glyvor/automation.h"
#include "glyvor/indexer.h"
#include "glyvor/server.h"
#include "host/adm/dialog_manager.h"
#include "host/fontsuite/font_suite.h"
#include "host/session/session.h"
#include "hostapi/suites.h"
#include "lumaro/resources/PanelResourceIDs.h"
#include "platform/emu/control.h"
#include "platform/win32.h"

namespace fs = std::filesystem;

// ---- The plug-in's coverage -------------------------------------------------------------
// The module hands its counters over when its code goes (module_coverage.c);
// libFuzzer reads them here, where they stay mapped.
namespace {
constexpr std::size_t kModuleCounters = std::size_t{1} << 16;
}
__attribute__((section("__libfuzzer_extra_counters"), used,
               aligned(64))) static std::uint8_t g_moduleCounters[kModuleCounters];

extern "C" __attribute__((visibility("default"))) void LumaroFuzzModuleCoverage(
    const std::uint8_t* start, const std::uint8_t* stop) {
    const std::size_t count = static_cast<std::size_t>(stop - start);
    for (std::size_t i = 0; i < count; ++i) {
        if (start[i] == 0) continue;
        std::uint8_t& counter = g_moduleCounters[i % kModuleCounters];
        const unsigned sum = unsigned{counter} + start[i];
        counter = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
}

namespace {

// ---- The world every session starts from --------------------------------------------------

struct World {
    std::string root;
    std::string machine;
    std::string catalog;
    std::string baselineFont;             // installed on every machine
    std::vector<std::string> groupFonts;  // the font manager's files
    std::vector<std::string> groupSources;
    std::vector<std::string> names;  // font names worth putting in a document
};

World g_world;

void CopyFile(const std::string& from, const std::string& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void SetUpWorld() {
    char pattern[] = "/tmp/lumaro-fuzz-session-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    World& w = g_world;
    w.root = pattern;
    w.machine = w.root + "/machine";
    w.catalog = w.root + "/catalog.txt";
    const std::string otf = "/usr/share/fonts/opentype/urw-base35/";
    const std::string t1 = "/usr/share/fonts/type1/urw-base35/";
    fs::create_directories(w.root + "/groups/otf");
    fs::create_directories(w.root + "/groups/t1");
    for (const auto& [source, group] :
         {std::pair<std::string, std::string>{otf + "StandardSymbolsPS.otf", "otf"},
          {otf + "D050000L.otf", "otf"},
          {t1 + "StandardSymbolsPS.t1", "t1"},
          {t1 + "D050000L.t1", "t1"}}) {
        const std::string copy =
            w.root + "/groups/" + group + "/" + fs::path(source).filename().string();
        CopyFile(source, copy);
        w.groupFonts.push_back(copy);
        w.groupSources.push_back(source);
    }
    w.baselineFont = otf + "NimbusMonoPS-Regular.otf";
    glyvor::IndexResult index;
    std::string error;
    if (!glyvor::IndexFolders(
            {{"Symbols", w.root + "/groups/otf"}, {"Type1", w.root + "/groups/t1"}}, &index,
            &error) ||
        index.catalog.entries().size() != 4 || !index.catalog.Save(w.catalog, &error)) {
        std::fprintf(stderr, "cannot set up the font manager's catalogue: %s\n", error.c_str());
        std::abort();
    }
    std::set<std::string> names;
    for (const glyvor::FontEntry& e : index.catalog.entries()) {
        names.insert(e.postScriptName);
        names.insert(e.fullName);
    }
    names.insert({"NimbusMonoPS-Regular", "No Such Font", "Caf\xC3\xA9-Bold",
                  "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF",
                  "\xD7\x90\xD7\x91-Regular", "Emoji\xF0\x9F\x98\x80", "Arial,BoldItalic",
                  std::string(1100, 'W'), "d050000l"});
    w.names.assign(names.begin(), names.end());
}

// Every input starts from the same machine: one installed font, nothing
// activated, the font manager registered over the catalogue and not running,
// its files as indexed, no fault anywhere.
void ResetWorld() {
    World& w = g_world;
    std::error_code ignored;
    fs::remove_all(w.machine, ignored);
    fs::create_directories(w.machine + "/Fonts");
    CopyFile(w.baselineFont, w.machine + "/Fonts/" + fs::path(w.baselineFont).filename().string());
    for (std::size_t i = 0; i < w.groupFonts.size(); ++i) {
        if (fs::file_size(w.groupFonts[i], ignored) != fs::file_size(w.groupSources[i], ignored))
            CopyFile(w.groupSources[i], w.groupFonts[i]);
    }
    std::string error;
    if (FAILED(glyvor::RegisterGlyvor(w.machine, glyvor::DefaultServerModulePath(), w.catalog,
                                      &error))) {
        std::fprintf(stderr, "cannot register the font manager: %s\n", error.c_str());
        std::abort();
    }
    EmuClearFaults();
    EmuSetShellExecuteResult(42);
    EmuClearAssertions();
}

// ---- Reading the input -------------------------------------------------------------------

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_at >= m_size; }
    std::uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    // A number below `bound`.
    unsigned Below(unsigned bound) { return bound == 0 ? 0 : Byte() % bound; }
    std::string Bytes(std::size_t count) {
        count = std::min(count, m_size - std::min(m_at, m_size));
        std::string text(reinterpret_cast<const char*>(m_data + m_at), count);
        m_at += count;
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Bytes as UTF-8, reading what is not UTF-8 as Latin-1, as the host's
// document readers hand names on.
std::string AsUtf8(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t len = c < 0x80             ? 1
                          : (c & 0xE0) == 0xC0 ? 2
                          : (c & 0xF0) == 0xE0 ? 3
                          : (c & 0xF8) == 0xF0 ? 4
                                               : 0;
        bool valid = len != 0 && i + len <= bytes.size();
        std::uint32_t cp = len == 1   ? c
                           : len == 2 ? (c & 0x1Fu)
                           : len == 3 ? (c & 0x0Fu)
                                      : (c & 0x07u);
        for (std::size_t k = 1; valid && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            valid = (cc & 0xC0) == 0x80;
            cp = cp << 6 | (cc & 0x3Fu);
        }
        static const std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && cp >= kMin[len] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (valid) {
            out.append(bytes, i, len);
            i += len;
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            ++i;
        }
    }
    return out;
}

// ---- One session ---------------------------------------------------------------------------

// Find twice: the commands after it need what it finds.
const char* const kButtons[] = {"Refresh", "Find",         "Find",        "Activate",
                                "Install", "Activate All", "Install All", "Help"};
const char* const kNotifiers[] = {
    kAIDocumentOpenedNotifier,     kAIDocumentChangedNotifier, kAIFontListChangedNotifier,
    kAIApplicationStartedNotifier, kAIBeforeSaveNotifier,      kAIAfterSaveNotifier,
    kAIBeforeSaveAsNotifier,       kAIAfterSaveAsNotifier,     "AI Unknown Notifier"};
const char* const kSuites[] = {
    kSPBasicSuite,   kSPAccessSuite,        kSPPluginsSuite, kAIMenuSuite,       kAINotifierSuite,
    kAIFontSuite,    kAIUnicodeStringSuite, kAIContextSuite, kAIPreferenceSuite, kADMBasicSuite,
    kADMDialogSuite, kADMItemSuite,         kADMListSuite,   kADMEntrySuite,     kADMNotifierSuite,
    kADMIconSuite,   kADMDialogGroupSuite};
const HRESULT kFailures[] = {E_FAIL,
                             E_OUTOFMEMORY,
                             RPC_E_DISCONNECTED,
                             RPC_E_SERVERFAULT,
                             DISP_E_EXCEPTION,
                             DISP_E_TYPEMISMATCH,
                             DISP_E_MEMBERNOTFOUND,
                             E_NOINTERFACE,
                             CO_E_SERVER_EXEC_FAILURE,
                             E_ACCESSDENIED,
                             S_FALSE};
const host::StringFunction kStringFunctions[] = {
    host::StringFunction::Initialize,     host::StringFunction::InitializeUTF16,
    host::StringFunction::InitializeCopy, host::StringFunction::Length,
    host::StringFunction::Compare,        host::StringFunction::Assign,
    host::StringFunction::Append,         host::StringFunction::Erase,
    host::StringFunction::GetUtf16};
const unsigned kCodePages[] = {1252, 1252, 1252, 1252, 932, 1255, 1251, CP_UTF8};

class Run {
public:
    explicit Run(Input& in) : m_in(in) {}

    void Go() {
        const std::uint8_t head = m_in.Byte();
        host::session::SessionOptions options;
        // A long run can use a copy, so that a rebuild does not pull the module
        // away under it.
        const char* plugins = std::getenv("LUMARO_FUZZ_PLUGINS");
        options.pluginsFolder = plugins != nullptr ? plugins : FUZZ_PLUGINS_DIR;
        options.machineFolder = g_world.machine;
        options.baseFolder = g_world.machine;
        options.codePage = kCodePages[head & 7];
        options.announceStart = (head & 0x38) != 0x38;
        m_bstrs = EmuLiveBstrCount();
        m_frozen = EmuFrozenBroadcastCount();
        m_session = std::make_unique<host::session::Session>(options, m_out);
        // The host may already be hostile while the plug-in starts.
        for (unsigned n = (head >> 6); n > 0 && !m_in.Empty(); --n) Operation(true);
        m_session->Start();
        Check("start-up");
        for (int step = 0; step < 24 && !m_in.Empty(); ++step) {
            Show();
            Operation(false);
            Check("the last operation");
        }
        Show();
        m_session->Quit();
        Check("shutdown");
        m_session.reset();
        Show();
        if (EmuLiveProxyReferences() != 0 || EmuLiveProxyCount() != 0)
            Finding("a COM reference is still held after the session");
        if (EmuLiveBstrCount() != m_bstrs) Finding("a BSTR is still alive after the session");
    }

private:
    host::Host& Host() { return m_session->Host(); }

    void Note(const std::string& what) { m_out << "# " << what << "\n"; }

    // LUMARO_FUZZ_TRANSCRIPT=1 shows what an input does as it goes (with -runs=1
    // on a file), up to a crash.
    void Show() {
        static const bool show = std::getenv("LUMARO_FUZZ_TRANSCRIPT") != nullptr;
        if (!show) return;
        const std::string text = m_out.str();
        std::fputs(text.c_str() + m_shown, stderr);
        m_shown = text.size();
    }

    bool Execute(const std::string& line) { return m_session->Execute(line); }

    std::string DocumentPath(unsigned which) {
        return (fs::path(g_world.machine) / ("document" + std::to_string(which) + ".pdf")).string();
    }

    std::vector<std::string> FontNames() {
        std::vector<std::string> names;
        std::set<std::string> seen;
        for (unsigned n = m_in.Below(5); n > 0; --n) {
            std::string name;
            const std::uint8_t pick = m_in.Byte();
            if (pick < 200) {
                name = g_world.names[pick % g_world.names.size()];
            } else {
                name = AsUtf8(m_in.Bytes(m_in.Below(24)));
            }
            // A document names each font once, never with an empty name.
            if (!name.empty() && seen.insert(name).second) names.push_back(name);
        }
        return names;
    }

    void Operation(bool beforeStart) {
        const unsigned op = m_in.Below(32);
        switch (op) {
            case 0:
            case 1:
            case 2:
            case 3: {  // a document opened (or read again) with these fonts
                const unsigned which = m_in.Below(3);
                const std::vector<std::string> names = FontNames();
                std::string list;
                for (const std::string& n : names) list += " [" + n + "]";
                Note("document " + std::to_string(which) + " opened with" + list);
                // What the document tells of each font's kind, as a PDF does.
                std::vector<host::DocumentFontTraits> traits(names.size());
                for (host::DocumentFontTraits& t : traits) {
                    const unsigned kind = m_in.Below(6);
                    t.outlines = static_cast<host::FontOutlines>(kind % 3);
                    t.cidKeyed = kind >= 3;
                }
                m_session->Fonts().SetDocumentFonts(DocumentPath(which), names, traits);
                Execute(std::string("notify ") + kAIDocumentOpenedNotifier);
                break;
            }
            case 4: {
                const unsigned which = m_in.Below(3);
                Note("document " + std::to_string(which) + " closed");
                m_session->Fonts().CloseDocument(DocumentPath(which));
                break;
            }
            case 5:
            case 6:
            case 7:
            case 8:
            case 9:
            case 10:
                Press(kButtons[m_in.Below(std::size(kButtons))]);
                break;
            case 11:
            case 12: {
                std::string rows;
                for (unsigned n = m_in.Below(4); n > 0; --n)
                    rows += " " + std::to_string(m_in.Below(8));
                Execute("select" + (rows.empty() ? std::string(" none") : rows));
                break;
            }
            case 13:
                Execute(std::string("notify ") + kNotifiers[m_in.Below(std::size(kNotifiers))]);
                break;
            case 14:
                Execute(m_in.Below(4) == 0 ? "about" : "choose Lumaro Menu Item");
                break;
            case 15:
                Execute(m_in.Below(2) == 0 ? "unload" : "reload");
                break;
            case 16:
                Execute(m_in.Below(3) == 0 ? "destroy-panel" : "close-palette");
                break;
            case 17: {
                const char* const states[] = {"glyvor running", "glyvor stopped",
                                              "glyvor unregistered", "glyvor healthy"};
                Execute(states[m_in.Below(4)]);
                break;
            }
            case 18:
                Execute("glyvor die-after " + std::to_string(1 + m_in.Below(6)));
                break;
            case 19:
                ComFault();
                break;
            case 20: {
                const std::size_t n = 1 + m_in.Below(40);
                Note("the host refuses its " + std::to_string(n) + "th allocation from now");
                Host().Memory().RefuseNthAllocation(n);
                break;
            }
            case 21: {
                // Destroy is left alone: a string the host will not destroy stays
                // held, whatever the plug-in does.
                const host::StringFunction function =
                    kStringFunctions[m_in.Below(std::size(kStringFunctions))];
                const int n = 1 + static_cast<int>(m_in.Below(8));
                Note("host string function " + std::to_string(static_cast<int>(function)) +
                     " fails at its call " + std::to_string(n));
                Host().Strings().FailNthCall(function, n,
                                             m_in.Below(2) ? kOutOfMemoryErr : kBadParameterErr);
                break;
            }
            case 22: {
                auto* fonts = host::fontsuite::FontSuiteService::Active();
                if (fonts == nullptr) break;
                if (m_in.Below(4) == 0) {
                    Note("font queries answer again");
                    fonts->ClearFaults();
                    break;
                }
                const auto query = static_cast<host::fontsuite::FontQuery>(m_in.Below(8));
                const int index = static_cast<int>(m_in.Below(6)) - 1;
                Note("font query " + std::to_string(static_cast<int>(query)) + " fails for font " +
                     std::to_string(index));
                fonts->Fail(query, index, kBadParameterErr);
                break;
            }
            case 23: {
                const char* suite = kSuites[m_in.Below(std::size(kSuites))];
                const bool refuse = beforeStart || m_in.Below(2) == 0;
                Note(std::string(refuse ? "the host refuses " : "the host offers again ") + suite);
                Host().RefuseSuite(suite, refuse);
                m_hostile = true;
                break;
            }
            case 24:
                Execute(m_in.Below(2) == 0 ? "window hung" : "window answering");
                break;
            case 25: {
                const bool fails = m_in.Below(2) == 0;
                Note(fails ? "the shell cannot open addresses" : "the shell opens addresses");
                EmuSetShellExecuteResult(fails ? 2 : 42);
                break;
            }
            case 26:
                Execute("install " + g_world.groupSources[m_in.Below(g_world.groupSources.size())]);
                break;
            case 27: {  // the font manager's files change behind its back
                const std::size_t which = m_in.Below(g_world.groupFonts.size());
                std::error_code ignored;
                if (m_in.Below(2) == 0) {
                    Note("font file " + g_world.groupFonts[which] + " removed");
                    fs::remove(g_world.groupFonts[which], ignored);
                } else {
                    Note("font file " + g_world.groupFonts[which] + " replaced by another font");
                    fs::copy_file(g_world.baselineFont, g_world.groupFonts[which],
                                  fs::copy_options::overwrite_existing, ignored);
                }
                break;
            }
            case 28:
            case 29:
                Execute(std::string("notify ") + kAIDocumentChangedNotifier);
                break;
            default:
                Execute("menu");
                break;
        }
        if (beforeStart && op != 23) m_hostile = true;
    }

    void ComFault() {
        const HRESULT hr = kFailures[m_in.Below(std::size(kFailures))];
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
        switch (m_in.Below(7)) {
            case 0: {
                const bool on = m_in.Below(2) == 0;
                Note(std::string("the font manager's class is ") + (on ? "hidden" : "visible"));
                EmuSetFaultClassNotRegistered(on ? TRUE : FALSE);
                break;
            }
            case 1:
                Note("creation with a remote context is rejected");
                EmuSetFaultRejectRemoteContext(TRUE);
                break;
            case 2:
                Note(std::string("creation answers ") + text);
                EmuSetFaultCreateInstance(hr);
                break;
            case 3:
                Note(std::string("OleRun answers ") + text);
                EmuSetFaultOleRun(hr);
                break;
            case 4: {
                const IID* iids[] = {&IID_IDispatch, &IID_IUnknown, &IID_IRunnableObject,
                                     &glyvor::IID_IGlyvor};
                const unsigned which = m_in.Below(4);
                Note("QueryInterface " + std::to_string(which) + " answers " + text);
                EmuSetFaultQueryInterface(*iids[which], hr);
                break;
            }
            case 5: {
                const ULONG from = 1 + m_in.Below(8);
                Note("Invoke answers " + std::string(text) + " from call " + std::to_string(from));
                EmuSetFaultInvoke(from, hr);
                break;
            }
            default:
                Note("COM works again");
                EmuClearFaults();
                break;
        }
    }

    ADMItem* PanelItem(ASInt32 id) {
        ADMDialogRef panel = m_session->Panel();
        if (panel == nullptr) return nullptr;
        for (const auto& item : panel->items)
            if (item->id == id) return item.get();
        return nullptr;
    }

    void Press(const char* button) {
        // The status line is the host's item: marking it shows whether the
        // command wrote it.
        static const char kUnwritten[] = "\x7F";
        ADMItem* status = PanelItem(kStatusText);
        const std::string before = status != nullptr ? status->text : std::string();
        if (status != nullptr) status->text = kUnwritten;
        const std::size_t alerts = Host().Events().Count(host::EventKind::Alert);
        const ULONG shell = EmuShellExecuteCount();
        const bool pressed = Execute(std::string("press ") + button);
        status = PanelItem(kStatusText);
        if (pressed && status != nullptr && status->text == kUnwritten &&
            Host().Events().Count(host::EventKind::Alert) == alerts &&
            EmuShellExecuteCount() == shell)
            Finding(std::string("pressing ") + button +
                    " showed no outcome: no status, alert or shell call");
        if (status != nullptr && status->text == kUnwritten) status->text = before;
    }

    void Check(const char* when) {
        // Problems the host reports; a start-up the host itself made fail is
        // what a hostile host gets.
        for (const host::Event& e : Host().Events().Events()) {
            if (e.kind != host::EventKind::Problem) continue;
            if (e.subject == "start-up failed" && m_hostile) continue;
            Finding("the host reports a problem after " + std::string(when) + ": " + e.ToString());
        }
        // A send that a hung window would never answer hangs the host with it.
        if (EmuFrozenBroadcastCount() != m_frozen)
            Finding("a message was sent that a hung window would never answer, after " +
                    std::string(when));
        // The font manager is held only for the length of one command.
        if (EmuLiveProxyReferences() != 0)
            Finding("a COM reference is held between commands, after " + std::string(when));
        if (EmuLiveBstrCount() != m_bstrs)
            Finding("a BSTR is alive between commands, after " + std::string(when));
        ADMDialogRef panel = m_session->Panel();
        if (panel == nullptr) return;
        std::size_t missingRows = 0, availableRows = 0;
        for (const auto& item : panel->items) {
            if (item->list == nullptr) continue;
            for (const auto& entry : item->list->entries) {
                if (entry->userData != nullptr && !Host().Memory().Owns(entry->userData))
                    Finding("a row of list " + std::to_string(item->id) + " (\"" + entry->text +
                            "\") points at a record that is gone, after " + when);
            }
            if (item->id == kMissingList) missingRows = item->list->entries.size();
            if (item->id == kAvailableList) availableRows = item->list->entries.size();
        }
        ADMItem* status = PanelItem(kStatusText);
        if (status == nullptr) return;
        // What the status line counts must be what the rows show.
        long count = -1;
        std::size_t rows = 0;
        const std::string& text = status->text;
        if (text == "No missing fonts in opened documents") {
            count = 0;
            rows = missingRows;
        } else if (text == "No appropriate fonts were found") {
            count = 0;
            rows = availableRows;
        } else if (text == "1 font has been found") {
            count = 1;
            rows = availableRows;
        } else if (std::sscanf(text.c_str(), "%ld", &count) == 1) {
            if (text.find(" missing font(s) in opened documents") != std::string::npos) {
                rows = missingRows;
            } else if (text.find(" fonts have been found") != std::string::npos) {
                rows = availableRows;
            } else {
                count = -1;
            }
        }
        if (count >= 0 && static_cast<std::size_t>(count) != rows)
            Finding("the status line says \"" + text + "\" but its list shows " +
                    std::to_string(rows) + " row(s), after " + when);
    }

    [[noreturn]] void Finding(const std::string& what) {
        std::fprintf(stderr, "%s\n---- transcript ----\n%s---- end ----\nFINDING: %s\n",
                     "the plug-in broke a rule of the session", m_out.str().c_str(), what.c_str());
        std::abort();
    }

    Input& m_in;
    std::ostringstream m_out;
    std::unique_ptr<host::session::Session> m_session;
    std::size_t m_shown = 0;
    LONG m_bstrs = 0;
    ULONG m_frozen = 0;
    bool m_hostile = false;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetUpWorld();
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(g_world.root, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ResetWorld();
    Input in(data, size);
    Run(in).Go();
    return 0;
}
