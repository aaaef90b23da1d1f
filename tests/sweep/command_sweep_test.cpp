// One user action failed at every fault point it has, in one session: the action runs
// once as it should, its fault points of each kind are counted, then it runs again
// once per point with that point failing. After each run the user sees what the
// action shows when nothing fails, or is told: a status line other than that one,
// an alert, or an error answered to the host. No row may lead to freed memory, and
// the session must end with nothing left behind.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/session/session.h"
#include "sweep_session.h"

namespace fs = std::filesystem;
using host::FaultKind;

namespace {

class CommandSweep : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/lumaro-command-sweep-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        s_root = pattern;
        const std::string make =
            std::string(FAULT_SWEEP_MAKE_SAMPLES) + " " + s_root + "/samples >/dev/null";
        ASSERT_EQ(std::system(make.c_str()), 0);
        setenv("SAMPLES", (s_root + "/samples").c_str(), 1);
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(s_root, ignored);
    }

    struct Case {
        const char* name;
        const char* action;
        FaultKind kind;
    };

    // Runs the action at every fault point of the kind; failures as text.
    std::vector<std::string> Sweep(const Case& c, long* points) {
        std::ostringstream out;
        host::session::SessionOptions options;
        options.pluginsFolder = FAULT_SWEEP_PLUGINS_DIR;
        options.baseFolder = FAULT_SWEEP_SCENARIOS_DIR;
        host::session::Session session(options, out);
        std::vector<std::string> failures;
        if (!session.Start()) failures.push_back("the session did not start");
        for (const char* line : {"glyvor index Liberation=/usr/share/fonts/truetype/liberation "
                                 "URW=/usr/share/fonts/opentype/urw-base35",
                                 "glyvor stopped", "open $SAMPLES/brochure.pdf $SAMPLES/poster.ai"})
            if (!session.Execute(line)) failures.push_back(std::string("could not ") + line);

        host::FaultPlan& plan = session.Host().Faults();
        host::EventLog& events = session.Host().Events();
        const long before = plan.Count(c.kind);
        session.Execute(c.action);
        *points = plan.Count(c.kind) - before;
        const sweep::StepState expected = sweep::StateOf(session, c.action);

        for (long n = 1; n <= *points; ++n) {
            const std::string fault =
                std::string("fault ") + FaultKindName(c.kind) + " " + std::to_string(n);
            session.Execute(fault);
            const std::size_t firstEvent = events.Size();
            session.Execute(c.action);
            const sweep::StepState now = sweep::StateOf(session, c.action);
            for (const std::string& row : sweep::DanglingRows(session))
                failures.push_back(fault + ": " + row);
            if (plan.Armed() != 0) {
                failures.push_back(fault + ": never reached");
                plan.Clear();
                continue;
            }
            if (!sweep::NameNotReported(plan) &&
                !sweep::UserTold(session, firstEvent, now, expected))
                failures.push_back(fault + ": the panel reads " + now.content +
                                   "while the status claims " + now.status);
        }
        if (!session.Quit()) failures.push_back("the session ended unclean");
        for (const host::Event& e : events.OfKind(host::EventKind::Problem))
            failures.push_back(e.ToString());
        return failures;
    }

    static std::string s_root;
};

std::string CommandSweep::s_root;

TEST_F(CommandSweep, EveryFaultPointOfRefreshAndFindEndsToldOrUnchanged) {
    const Case cases[] = {
        {"Refresh", "press Refresh", FaultKind::Allocation},
        {"Refresh", "press Refresh", FaultKind::SuiteCall},
        {"Refresh", "press Refresh", FaultKind::HostString},
        {"Find", "press Find", FaultKind::Allocation},
        {"Find", "press Find", FaultKind::SuiteCall},
        {"Find", "press Find", FaultKind::Automation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", " + FaultKindName(c.kind));
        long points = 0;
        const std::vector<std::string> failures = Sweep(c, &points);
        EXPECT_GT(points, 0);
        std::cout << c.name << ": " << points << " " << FaultKindName(c.kind) << " point(s)\n";
        for (const std::string& f : failures) ADD_FAILURE() << f;
    }
}

// Commands that change the machine cannot run twice alike in one session: each fault
// point of theirs gets a session of its own, as in the full sweep.
TEST_F(CommandSweep, EveryFaultPointOfActivateAllAndInstallEndsTold) {
    const std::string folder = s_root + "/scenarios";
    fs::create_directories(folder);
    {
        std::ofstream scenario(folder + "/activate.txt");
        scenario << "glyvor index Liberation=/usr/share/fonts/truetype/liberation\n"
                 << "glyvor stopped\n"
                 << "open $SAMPLES/brochure.pdf\n"
                 << "press Find\n"
                 << "press Activate All\n"
                 << "press Find\n"
                 << "select 0\n"
                 << "press Install\n";
    }
    const sweep::Environment environment{folder, FAULT_SWEEP_PLUGINS_DIR};
    const sweep::Scenario scenario{"activate", 0, ""};
    const sweep::SessionRun baseline = sweep::RunSession(environment, scenario);
    ASSERT_TRUE(baseline.failures.empty()) << baseline.failures.front();
    ASSERT_EQ(baseline.steps.size(), 9u);
    for (const std::size_t step : {std::size_t{5}, std::size_t{8}}) {
        for (std::size_t k = 0; k < 4; ++k) {
            const FaultKind kind = host::kFaultKinds[k];
            for (long n = baseline.steps[step - 1].points[k] + 1;
                 n <= baseline.steps[step].points[k]; ++n) {
                for (const bool dies : {false, true}) {
                    if (dies && kind != FaultKind::Automation) continue;
                    const sweep::FaultPoint point{kind, n, dies};
                    const sweep::SessionRun run =
                        sweep::RunSession(environment, scenario, &point, &baseline);
                    EXPECT_TRUE(run.fired) << point.Name();
                    for (const std::string& f : run.failures)
                        ADD_FAILURE()
                            << baseline.steps[step].line << ", " << point.Name() << ": " << f;
                }
            }
        }
    }
}

}  // namespace
