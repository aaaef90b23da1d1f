// Whole sessions replayed from the scenario files and compared with their
// committed transcripts. LUMARO_UPDATE_EXPECTED=1 writes the transcripts anew
// (read the differences before committing them).
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "session_fixture.h"

namespace {

struct Scenario {
    const char* name;
    std::vector<std::string> options;
    int exitStatus;
};

std::ostream& operator<<(std::ostream& out, const Scenario& s) { return out << s.name; }

const Scenario kScenarios[] = {
    {"demo", {}, 0},
    {"documents", {}, 1},
    {"glyvor-unregistered", {}, 0},
    {"glyvor-running", {}, 0},
    {"glyvor-dies", {}, 0},
    {"font-changes", {}, 0},
    {"panel-closed", {}, 1},
    {"font-files", {}, 1},
    {"unload-reload", {}, 1},
    {"codepage-932", {"--codepage", "932"}, 0},
    {"font-names", {"--codepage", "932"}, 0},
    {"plugin-object", {}, 1},
    {"sibling", {"--plugins", SESSION_SIBLING_PLUGINS_DIR}, 0},
    {"strict-lists", {}, 1},
    {"demo-eps-svg", {}, 0},
    {"glyvor-crash", {}, 0},
    {"font-change-reentry", {}, 0},
    {"help", {}, 0},
};

class ScenarioTest : public SessionTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(ScenarioTest, TranscriptMatches) {
    const Scenario& s = GetParam();
    std::vector<std::string> args = s.options;
    args.push_back(std::string(SESSION_SCENARIOS_DIR) + "/" + s.name + ".txt");
    const Run run = RunHost(args);
    EXPECT_EQ(run.err, "");
    const std::string expectedPath = std::string(SESSION_EXPECTED_DIR) + "/" + s.name + ".txt";
    if (std::getenv("LUMARO_UPDATE_EXPECTED") != nullptr) {
        std::ofstream(expectedPath, std::ios::binary) << run.out;
    }
    EXPECT_EQ(run.out, ReadFile(expectedPath)) << "transcript of " << s.name;
    EXPECT_EQ(run.exitStatus, s.exitStatus) << run.out;
    // Nothing of the machine or the test's folders may reach a transcript.
    EXPECT_EQ(run.out.find(m_root), std::string::npos);
    EXPECT_EQ(run.out.find("/tmp/"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ScenarioTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

TEST_F(SessionTest, TheDemoDrawsThePanelAtEveryStep) {
    const Run run = RunHost({std::string(SESSION_SCENARIOS_DIR) + "/demo.txt"});
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    for (const char* picture :
         {"1-missing", "2-found", "3-selected", "4-activated", "5-installed"}) {
        const std::string png = ReadFile(Demo() + "/" + picture + ".png");
        ASSERT_GT(png.size(), 1000u) << picture;
        EXPECT_EQ(png.substr(1, 3), "PNG") << picture;
    }
    // Pictures of different states differ.
    EXPECT_NE(ReadFile(Demo() + "/1-missing.png"), ReadFile(Demo() + "/5-installed.png"));
}

}  // namespace
