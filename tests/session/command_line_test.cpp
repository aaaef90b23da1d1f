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

namespace {

// Faults at the head of a scenario are armed before the plug-ins start; comments
// before them stay in their place when no fault comes.
TEST_F(SessionTest, FaultsAtTheHeadOfAScenarioReachStartUp) {
    const Run failed = RunHost({"-"}, "# first\nfault allocation 1\nfault points\nmenu\n");
    EXPECT_EQ(failed.exitStatus, 1);
    const auto head = failed.out.find("> fault allocation 1");
    const auto machine = failed.out.find("machine $MACHINE");
    ASSERT_NE(head, std::string::npos) << failed.out;
    EXPECT_LT(failed.out.find("# first"), head);
    EXPECT_LT(head, machine) << failed.out;
    EXPECT_NE(failed.out.find("[fault] Lumaro: allocation 1 \"SP Basic Suite AllocateBlock failed "
                              "with 'HMem'\""),
              std::string::npos)
        << failed.out;
    EXPECT_NE(failed.out.find("SP Interface/Startup -> '!MEM'"), std::string::npos) << failed.out;

    const Run plain = RunHost({"-"}, "# first\nmenu\n");
    EXPECT_LT(plain.out.find("machine $MACHINE"), plain.out.find("# first")) << plain.out;
}

TEST_F(SessionTest, TheFaultCommandArmsCountsAndRefusesWhatCannotFail) {
    const Run run = RunHost({"-"},
                            "fault points\n"
                            "fault suite-call 1 \"AI Menu Suite:SetItemText\" 'FAIL'\n"
                            "menu\n"
                            "fault host-string 2 Erase\n"
                            "fault automation 3\n"
                            "fault automation 4 dies\n"
                            "fault automation 5 0x80010108\n"
                            "fault clear\n");
    EXPECT_EQ(run.exitStatus, 0) << run.out;
    for (const char* said :
         {"fault points so far: 0 allocation, 0 suite-call, 0 host-string, 0 automation",
          "call of AI Menu Suite SetItemText 1 from now fails with 'FAIL'",
          "[fault] Lumaro: suite-call 1 \"AI Menu Suite SetItemText failed with 'FAIL'\"",
          "call of AI Unicode String Suite Erase 2 from now fails with 'PARM'",
          "automation call 3 from now fails with 0x80004005",
          "the font manager dies at automation call 4 from now",
          "automation call 5 from now fails with 0x80010108", "no fault armed"})
        EXPECT_NE(run.out.find(said), std::string::npos) << said << "\n" << run.out;

    const struct {
        const char* line;
        const char* why;
    } refused[] = {
        {"fault", "usage: fault"},
        {"fault allocation", "usage: fault"},
        {"fault allocation 0", "usage: fault"},
        {"fault allocation two", "usage: fault"},
        {"fault allocation 1 2", "usage: fault allocation N"},
        {"fault sometimes 1", "usage: fault"},
        {"fault suite-call 1 Destroy", "a suite function is \"SUITE:FUNCTION\", not Destroy"},
        {"fault suite-call 1 \"ADM Dialog Suite:Destroy\"", "ADM Dialog Suite Destroy cannot fail"},
        {"fault suite-call 1 \"ADM List Suite:Frobnicate\"",
         "the host has no ADM List Suite function Frobnicate"},
        {"fault host-string 1 GetUtf16", "AI Unicode String Suite GetUtf16 cannot fail"},
        {"fault automation 1 0x1", "not a failure HRESULT: 0x1"},
        {"fault points now", "usage: fault points"},
    };
    for (const auto& r : refused) {
        const Run bad = RunHost({"-"}, std::string(r.line) + "\n");
        EXPECT_EQ(bad.exitStatus, 1) << r.line;
        EXPECT_NE(bad.out.find(std::string("error: ") + r.why), std::string::npos) << r.line << "\n"
                                                                                   << bad.out;
    }
}

}  // namespace
