// The host application as a user drives it: plug-ins loaded and started, documents
// opened and edited, fonts installed, the font manager set up, menus chosen and the
// panel used, one command line at a time. lumaro-host and the tests run it; every
// command echoes itself and what it caused, in words that stay the same from run to
// run (no addresses, times or temporary paths).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/adm/dialog_commands.h"
#include "host/adm/host_dialogs.h"
#include "host/host.h"
#include "platform/win32.h"

namespace host {
class FontList;
namespace prefs {
class PreferenceStore;
}
namespace fontsuite {
class FontSuiteService;
}
}  // namespace host

namespace host::session {

class FontManagerSetup;
class HostPlatform;

// The session could not be set up (machine folder, code page, preferences).
class SessionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SessionOptions {
    std::string pluginsFolder;
    std::string machineFolder;  // empty: a fresh temporary folder, removed at the end
    unsigned codePage = 0;      // the host thread's ANSI code page; 0 leaves 1252
    // Relative paths in commands are taken from here, and paths under it print relative.
    std::string baseFolder;
    // False: start the plug-ins without firing "AI Application Started Notifier", so
    // that a session can see them before the application has started.
    bool announceStart = true;
    // Echo each command line before what it caused (a person at a console has
    // just typed it).
    bool echoCommands = true;
};

// Narrow text of the host's (in the thread's code page) as UTF-8, for printing.
std::string FromThreadAnsi(const std::string& text);

class Session {
public:
    // Sets up the machine and the host's services; loads nothing yet. Throws
    // SessionError.
    Session(SessionOptions options, std::ostream& out, std::ostream* progress = nullptr);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Loads every module of the plug-ins folder, starts them in order and fires
    // "AI Application Started Notifier". False when a module or start-up failed.
    bool Start();
    // Runs one line (a command, a comment or nothing); false when the command failed.
    bool Execute(const std::string& line);
    // Shuts the plug-ins down in reverse order and reports what they left; true when
    // nothing was. Later calls answer the same.
    bool Quit();

    // Drops the host's and the platform's records of what has happened (after
    // echoing them): they grow with every message and broadcast, which a long run
    // must not count as the plug-in's memory. Alerts that `alerts` has not listed
    // yet go with them.
    void ForgetEvents();

    bool Finished() const { return m_finished; }
    std::size_t FailedCommands() const { return m_failedCommands; }

    // For tests and the console.
    host::Host& Host() { return *m_host; }
    adm::DialogManager& Dialogs() { return m_dialogs->Manager(); }
    FontList& Fonts() { return *m_fonts; }
    const std::string& MachineFolder() const { return m_machine; }
    // The panel "Lumaro Panel", or null.
    ADMDialogRef Panel() const;
    // One line per command, for help.
    static std::string CommandHelp();
    static std::vector<std::string> CommandNames();

private:
    void SetUp();
    void TearDown();

    using Args = std::vector<std::string>;
    struct Command {
        const char* name;
        const char* arguments;
        const char* help;
        std::size_t minArgs;
        std::size_t maxArgs;
        bool (Session::*run)(const Args&);
    };
    static const std::vector<Command>& Commands();
    static const adm::DialogCommand* DialogCommandNamed(const std::string& name);
    bool RunDialogCommand(const adm::DialogCommand& command, const Args& words);

    std::vector<std::string> Split(const std::string& line, std::string* error) const;
    // $NAME and ${NAME} take the environment's value (and print back as $NAME from
    // then on); $MACHINE is the machine folder.
    std::string Expand(const std::string& word);
    void ShowAs(const std::string& value, const std::string& placeholder);
    std::string Resolve(const std::string& path) const;
    // A path or message as the transcript shows it.
    std::string Shown(std::string text) const;
    // Echoes the events, broadcasts and shell calls since the last echo.
    void Echo();
    // The host's window received WM_FONTCHANGE.
    void OnFontChange();
    // Reads the fonts again for the font changes queued and fires the font-list
    // notifier, once the user's action has returned, as the host's message loop does.
    void PumpMessages();
    // What the host does on WM_FONTCHANGE: reads the machine's fonts again and fires
    // "AI Font List Changed Notifier".
    void ReadFontsAgain(const char* when);
    // Progress of long work on a terminal; cleared before the results print.
    void Progress(const std::string& text);
    void ProgressDone();
    LoadedPlugin* PluginArg(const Args& args, std::size_t index);
    bool DocumentIsOpen(const std::string& path);
    AIMenuItem* FindMenuPath(const std::string& path, std::string* error);
    ADMDialogRef RequirePanel(bool visible = false);
    void PrintStatus();

    // Commands.
    bool Open(const Args& args);
    bool Close(const Args& args);
    bool Edit(const Args& args);
    bool Save(const Args& args);
    bool SaveAs(const Args& args);
    bool PrintFonts(const Args& args);
    bool Install(const Args& args);
    bool Glyvor(const Args& args);
    bool Menu(const Args& args);
    bool Choose(const Args& args);
    bool Notify(const Args& args);
    bool PrintPanel(const Args& args);
    bool Press(const Args& args);
    bool Select(const Args& args);
    bool ClosePalette(const Args& args);
    bool DestroyPanel(const Args& args);
    bool Snapshot(const Args& args);
    bool Alerts(const Args& args);
    bool About(const Args& args);
    bool Unload(const Args& args);
    bool Reload(const Args& args);
    bool Window(const Args& args);
    bool Fault(const Args& args);
    bool Lists(const Args& args);
    bool FontChanges(const Args& args);
    bool Help(const Args& args);
    bool QuitCommand(const Args& args);

    SessionOptions m_options;
    std::ostream& m_out;
    std::ostream* m_progress;
    bool m_progressShown = false;
    std::string m_machine;
    bool m_temporaryMachine = false;
    std::vector<std::pair<std::string, std::string>> m_shownAs;  // value, placeholder

    std::unique_ptr<HostPlatform> m_platform;
    std::unique_ptr<host::Host> m_host;
    std::unique_ptr<prefs::PreferenceStore> m_preferences;
    std::unique_ptr<FontList> m_fonts;
    std::unique_ptr<fontsuite::FontSuiteService> m_fontService;
    std::unique_ptr<adm::HostDialogs> m_dialogs;
    std::unique_ptr<FontManagerSetup> m_fontManager;
    int m_fontChangesQueued = 0;
    // Handle WM_FONTCHANGE inside the send instead of queueing it.
    bool m_fontChangesAtOnce = false;
    bool m_readingFonts = false;

    std::size_t m_eventsSeen = 0;
    std::size_t m_alertsSeen = 0;
    std::size_t m_failedCommands = 0;
    bool m_started = false;
    bool m_finished = false;
    bool m_clean = true;
};

}  // namespace host::session
