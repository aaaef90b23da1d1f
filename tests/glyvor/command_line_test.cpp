#include "glyvor/command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "glyvor/server.h"
#include "glyvor_test_support.h"
#include "platform/emu/control.h"

namespace {

using glyvor_test::TempFolder;

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Glyvor(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = glyvor::RunCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        glyvor_test::CopyFile(std::string(glyvor_test::kLiberation) + "/LiberationSans-Bold.ttf",
                              m_dir / "lib/LiberationSans-Bold.ttf");
        glyvor_test::CopyFile(std::string(glyvor_test::kLiberation) + "/LiberationSerif-Italic.ttf",
                              m_dir / "lib/sub/LiberationSerif-Italic.ttf");
        glyvor_test::WriteFile(m_dir / "lib/bad.ttf", "not a font");
        glyvor_test::CopyFile(std::string(glyvor_test::kUrwOpenType) + "/NimbusSans-Bold.otf",
                              m_dir / "urw/NimbusSans-Bold.otf");
    }
    std::string Catalog() const { return m_dir / "out/catalog.txt"; }
    Outcome Index() {
        std::filesystem::create_directories(m_dir / "out");
        return Glyvor({"index", "--out", Catalog(), "--group", "Lib=" + (m_dir / "lib"), "--group",
                       "URW Fonts=" + (m_dir / "urw")});
    }
    TempFolder m_dir;
};

TEST_F(CommandLineTest, IndexPrintsEachGroupsCount) {
    const Outcome r = Index();
    EXPECT_EQ(r.status, glyvor::kExitOk) << r.err;
    EXPECT_EQ(r.out, "Lib\t2 fonts\t1 skipped\nURW Fonts\t1 fonts\t0 skipped\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CommandLineTest, MatchPrintsIdentifierTabDetailOrExitsOne) {
    ASSERT_EQ(Index().status, 0);
    const struct {
        const char* name;
        int status;
        const char* out;
    } cases[] = {
        {"LiberationSans-Bold", 0, "Lib:LiberationSans-Bold.ttf#0\tLib: LiberationSans-Bold.ttf\n"},
        {"liberation serif italic", 0,
         "Lib:sub/LiberationSerif-Italic.ttf#0\tLib: LiberationSerif-Italic.ttf\n"},
        {"Nimbus Sans Bold", 0,
         "URW Fonts:NimbusSans-Bold.otf#0\tURW Fonts: NimbusSans-Bold.otf\n"},
        {"Helvetica", 1, ""},
        {"", 1, ""},
    };
    for (const auto& c : cases) {
        const Outcome r = Glyvor({"match", Catalog(), c.name});
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, "") << c.name;
    }
}

TEST_F(CommandLineTest, ListShowsEveryFace) {
    ASSERT_EQ(Index().status, 0);
    const Outcome r = Glyvor({"list", Catalog()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Lib:LiberationSans-Bold.ttf#0\tttf\tLiberationSans-Bold\tLiberation Sans Bold\n"
              "Lib:sub/LiberationSerif-Italic.ttf#0\tttf\tLiberationSerif-Italic\tLiberation Serif "
              "Italic\n"
              "URW Fonts:NimbusSans-Bold.otf#0\totf\tNimbusSans-Bold\tNimbusSans-Bold\n");
}

TEST_F(CommandLineTest, BadUsageAndUnreadableCataloguesExitTwo) {
    glyvor_test::WriteFile(m_dir / "junk.txt", "hello\n");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"match", Catalog()}, "match takes CATALOG NAME"},
        {{"match", Catalog(), "a", "b"}, "match takes CATALOG NAME"},
        {{"match", m_dir / "absent.txt", "X"}, "absent.txt: cannot open"},
        {{"match", m_dir / "junk.txt", "X"}, "junk.txt: line 1: not a Glyvor catalogue"},
        {{"list"}, "list takes CATALOG"},
        {{"index"}, "index needs --out CATALOG"},
        {{"index", "--out"}, "--out needs a value"},
        {{"index", "--out", "a", "--out", "b"}, "--out given twice"},
        {{"index", "--out", "c", "--group", "NoEquals"}, "--group takes NAME=DIR"},
        {{"index", "--out", "c", "--group", "=dir"}, "--group takes NAME=DIR"},
        {{"index", "--out", "c", "--group", "Name="}, "--group takes NAME=DIR"},
        {{"index", "--out", "c", "--verbose"}, "unknown option '--verbose'"},
        {{"index", "--out", m_dir / "c.txt", "--group", "G=" + (m_dir / "nowhere")},
         "is not a readable folder"},
        {{"index", "--out", m_dir / "junk.txt/c.txt", "--group", "G=" + (m_dir / "lib")},
         "cannot create the folder"},
    };
    for (const auto& c : cases) {
        const Outcome r = Glyvor(c.args);
        EXPECT_EQ(r.status, glyvor::kExitUsage) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "c.txt"));
}

// The installed program, run as a user would.
TEST_F(CommandLineTest, TheProgramKeepsTheSameExitStatuses) {
    ASSERT_EQ(Index().status, 0);
    auto run = [](const std::string& command, std::string* out) {
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return -1;
        char buffer[512];
        out->clear();
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out->append(buffer, n);
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string program = GLYVOR_CLI_PATH;
    std::string out;
    EXPECT_EQ(run(program + " match '" + Catalog() + "' 'Liberation Sans Bold'", &out), 0);
    EXPECT_EQ(out, "Lib:LiberationSans-Bold.ttf#0\tLib: LiberationSans-Bold.ttf\n");
    EXPECT_EQ(run(program + " match '" + Catalog() + "' Helvetica", &out), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(run(program + " match 2>/dev/null", &out), 2);
}

}  // namespace

namespace {

TEST(CommandLineRegistration, RegistersAndUnregistersTheClassOnAMachine) {
    TempFolder machine;
    std::ostringstream out, err;
    ASSERT_EQ(glyvor::RunCommandLine({"register", "--machine", machine.Path().string(), "--catalog",
                                      machine / "cat.txt"},
                                     out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "Glyvor.Document registered on " + machine.Path().string() +
                             "\tcatalogue " + (machine / "cat.txt") + "\n");
    EXPECT_EQ(glyvor_test::ReadFile(machine / "Glyvor/registration.txt"),
              "module=" + glyvor::DefaultServerModulePath() + "\ncatalog=" + (machine / "cat.txt") +
                  "\n");
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Glyvor.Document", &clsid), S_OK);
    EXPECT_TRUE(clsid == glyvor::CLSID_GlyvorDocument);

    out.str("");
    EXPECT_EQ(
        glyvor::RunCommandLine({"unregister", "--machine", machine.Path().string()}, out, err), 0);
    EXPECT_EQ(out.str(), "Glyvor.Document unregistered from " + machine.Path().string() + "\n");
    EXPECT_EQ(CLSIDFromProgID(u"Glyvor.Document", &clsid), CO_E_CLASSSTRING);
    out.str("");
    EXPECT_EQ(
        glyvor::RunCommandLine({"unregister", "--machine", machine.Path().string()}, out, err), 0);
    EXPECT_EQ(out.str(), "Glyvor.Document was not registered on " + machine.Path().string() + "\n");
    EmuSetMachineFolder(nullptr);
}

// One registry per simulated machine: "for all users" registers the same class.
TEST(CommandLineRegistration, AllUsersIsAFlagAnywhereAmongTheOptions) {
    TempFolder machine;
    std::ostringstream out, err;
    ASSERT_EQ(glyvor::RunCommandLine(
                  {"register", "--all-users", "--machine", machine.Path().string()}, out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "Glyvor.Document registered on " + machine.Path().string() +
                             "\tcatalogue " + (machine / "Glyvor/catalog.txt") + "\tall users\n");
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Glyvor.Document", &clsid), S_OK);
    out.str("");
    EXPECT_EQ(glyvor::RunCommandLine(
                  {"unregister", "--machine", machine.Path().string(), "--all-users"}, out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "Glyvor.Document unregistered from " + machine.Path().string() + "\n");
    EXPECT_EQ(CLSIDFromProgID(u"Glyvor.Document", &clsid), CO_E_CLASSSTRING);
    EmuSetMachineFolder(nullptr);
}

TEST(CommandLineRegistration, BadOptionsExitTwo) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"register"}, "register needs --machine DIR"},
        {{"register", "--catalog", "/c"}, "register needs --machine DIR"},
        {{"register", "--machine"}, "--machine needs a value"},
        {{"register", "--machine", ""}, "--machine needs a value"},
        {{"register", "--machine", "/m", "--machine", "/n"}, "--machine given twice"},
        {{"register", "--machine", "/m", "--force", "x"}, "unknown option '--force'"},
        {{"register", "--machine", "/m\nx"}, "a path with a line break cannot be registered"},
        {{"unregister"}, "unregister needs --machine DIR"},
        {{"unregister", "--machine", "/m", "--catalog", "/c"}, "unknown option '--catalog'"},
        {{"register", "--all-users", "--machine", "/m", "--all-users"}, "--all-users given twice"},
        {{"unregister", "--all-users"}, "unregister needs --machine DIR"},
        {{"serve"}, "serve needs --machine DIR"},
        {{"serve", "-Embedding", "--machine", "/m", "--all-users"}, "unknown option '--all-users'"},
        // The Linux server lives in the client's process: there is nothing to serve from here.
        {{"serve", "--machine", "/m", "-Embedding"}, "in-process module"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(glyvor::RunCommandLine(c.args, out, err), glyvor::kExitUsage) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
}

}  // namespace
