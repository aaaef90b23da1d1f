// lumaro-host's own command line: options, scenarios that cannot be read,
// failing commands, exit statuses.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "run.h"
#include "session_fixture.h"

namespace {

struct BadUsage {
    std::vector<std::string> args;
    const char* message;
};

TEST_F(SessionTest, BadUsageIsRefusedWithAMessageAndStatusTwo) {
    const BadUsage cases[] = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--machine"}, "--machine needs a folder"},
        {{"--codepage", "ascii"}, "--codepage needs a code page number, not ascii"},
        {{"--codepage", "0"}, "--codepage needs a code page number"},
        {{"--codepage", "12345", "-"}, "code page 12345 is not supported"},
        {{"one.txt", "two.txt"}, "one scenario at a time"},
        {{m_root + "/no-such-scenario.txt"}, "cannot read the scenario"},
        {{m_root}, "is a folder, not a scenario"},
        {{"--machine", "/proc/no-machine-here", "-"}, "cannot use /proc/no-machine-here"},
    };
    for (const BadUsage& c : cases) {
        const Run run = RunHost(c.args);
        EXPECT_EQ(run.exitStatus, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << c.message;
    }
}

TEST_F(SessionTest, HelpListsOptionsAndCommands) {
    const Run run = RunHost({"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    for (const char* word : {"--machine DIR", "--codepage N", "open PATH", "press BUTTON",
                             "glyvor index", "snapshot FILE.png", "quit"})
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
}

TEST_F(SessionTest, AFailingCommandSaysWhyAndTheSessionGoesOn) {
    const Run run = RunHost({"-"}, "frobnicate\npress Nothing\nopen missing.pdf\nfonts\n");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("unknown command \"frobnicate\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("no button"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("missing.pdf"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("> fonts\n  0 font(s) on the machine"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("clean, 3 command(s) failed"), std::string::npos) << run.out;
}

TEST_F(SessionTest, ACleanSessionEndsWithStatusZeroAndQuitEndsIt) {
    const Run run = RunHost({"-"}, "# a comment\n\nfonts\nquit\nfrobnicate\n");
    EXPECT_EQ(run.exitStatus, 0) << run.out;
    EXPECT_NE(run.out.find("# a comment"), std::string::npos);
    EXPECT_EQ(run.out.find("frobnicate"), std::string::npos) << "nothing runs after quit";
    EXPECT_NE(run.out.find("clean, 0 command(s) failed"), std::string::npos) << run.out;
}

TEST_F(SessionTest, AGivenMachineFolderIsKeptAndReused) {
    const std::string machine = m_root + "/machine";
    const std::string font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    ASSERT_EQ(RunHost({"--machine", machine, "-"}, "install " + font + "\n").exitStatus, 0);
    EXPECT_TRUE(std::filesystem::exists(machine + "/Fonts/DejaVuSans.ttf"));
    const Run again = RunHost({"--machine", machine, "-"}, "fonts\n");
    EXPECT_NE(again.out.find("DejaVuSans                     installed"), std::string::npos)
        << again.out;
}

TEST_F(SessionTest, ArgumentsAreCheckedAndVariablesMustBeSet) {
    const Run run = RunHost({"-"},
                            "saveas one\nselect x\nopen $NO_SUCH_VARIABLE/a.pdf\n"
                            "open \"unclosed\nwindow sideways\nglyvor sleepy\n"
                            "install " SESSION_SCENARIOS_DIR
                            "/demo.txt\n"
                            "glyvor die-after 0\nglyvor index Broken\nlists sideways\n");
    EXPECT_EQ(run.exitStatus, 1);
    for (const char* message :
         {"usage: saveas PATH NEWPATH", "not a row number: x", "$NO_SUCH_VARIABLE is not set",
          "a quotation mark is not closed", "usage: window hung|answering",
          "unknown font-manager state \"sleepy\"", "demo.txt is not a font",
          "usage: glyvor die-after N", "a group is NAME=FOLDER, not Broken",
          "usage: lists refuse-removal|allow-removal|keep-active|clear-active",
          "10 command(s) failed"})
        EXPECT_NE(run.out.find(message), std::string::npos) << message << "\n" << run.out;
}

TEST_F(SessionTest, AMissingPluginsFolderFailsTheSession) {
    const Run run = RunHost({"--plugins", m_root + "/none", "-"}, "fonts\n");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("no plug-ins folder"), std::string::npos) << run.out;
}

}  // namespace

namespace {

TEST_F(SessionTest, TheDialogManagersWordsReachAnyDialog) {
    const Run run = RunHost({"-"}, "dialogs\nhide \"Lumaro Panel\"\npanel\ndialog Nothing\n");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("> dialogs\n  \"Lumaro Panel\" 16000\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("dialog \"Lumaro Panel\" 16000 hidden"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("error: no dialog named \"Nothing\""), std::string::npos) << run.out;
    // The session's own words win where the names meet.
    const Run help = RunHost({"--help"});
    EXPECT_NE(help.out.find("any dialog:\n"), std::string::npos);
    EXPECT_EQ(help.out.find("press NAME BUTTON"), std::string::npos);
    EXPECT_NE(help.out.find("group NAME GROUP CODE"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(SessionTest, APluginThatLeavesABlockMakesTheSessionUnclean) {
    const Run run = RunHost({"--plugins", SESSION_LEAKY_PLUGINS_DIR, "-"}, "menu\n");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("LeakySibling: blocks left allocated \"1 block(s), 48 byte(s)\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("LeakySibling: 1 block(s) left, 48 byte(s)"), std::string::npos);
    EXPECT_NE(run.out.find("NOT clean, 0 command(s) failed"), std::string::npos);
}

TEST_F(SessionTest, ProgressGoesToItsOwnStreamOnlyWhenThereIsOne) {
    const std::string input = "glyvor index Liberation=/usr/share/fonts/truetype/liberation\n";
    std::istringstream in(input);
    std::ostringstream out, err, progress;
    ASSERT_EQ(cli::RunLumaroHost({"-"}, in, out, err, nullptr, &progress), 0) << out.str();
    EXPECT_NE(progress.str().find("indexing 1 font group(s)..."), std::string::npos);
    EXPECT_EQ(out.str().find('\033'), std::string::npos);
    const Run quiet = RunHost({"-"}, input);
    EXPECT_EQ(quiet.out, out.str());
    EXPECT_EQ(quiet.err, "");
}

}  // namespace

namespace {

TEST_F(SessionTest, ADamagedPreferencesFileStopsTheSessionAndIsLeftAlone) {
    const std::string machine = m_root + "/machine";
    std::filesystem::create_directories(machine);
    const std::string damaged = "this is no preference line\n";
    std::ofstream(machine + "/Preferences.txt") << damaged;
    const Run run = RunHost({"--machine", machine, "-"}, "fonts\n");
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.err.find("Preferences.txt"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(machine + "/Preferences.txt"), damaged);
}

}  // namespace
