#include <gtest/gtest.h>

#include "host/host.h"
#include "test_paths.h"

namespace {

using host_test::AlertTexts;
using host_test::MessageTrace;
using Trace = std::vector<std::string>;

TEST(UnloadReload, UnloadReallyUnloadsAndReloadBindsNewCodeElsewhereKeepingTheGlobals) {
    host::Host host;
    host::LoadedPlugin* a = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(host.StartAll());
    void* globals = a->Globals();
    const std::uintptr_t firstBase = a->LoadBase();

    EXPECT_EQ(host.Unload(*a), kNoErr);
    EXPECT_EQ(a->State(), host::PluginState::Unloaded);
    EXPECT_EQ(a->Entry(), nullptr);
    EXPECT_FALSE(a->IsMapped());
    EXPECT_EQ(a->Globals(), globals);
    EXPECT_TRUE(host.HeldSuites(a).empty());  // the plug-in gave its suites back

    EXPECT_EQ(host.Reload(*a), kNoErr);
    EXPECT_TRUE(a->IsMapped());
    EXPECT_NE(a->LoadBase(), firstBase);
    EXPECT_EQ(a->LoadCount(), 2);
    EXPECT_EQ(a->Globals(), globals);
    const Trace alerts = AlertTexts(host.Events());
    ASSERT_GE(alerts.size(), 3u);
    EXPECT_EQ(alerts[1], "reload 1: fresh statics");
    EXPECT_EQ(alerts[2], "reload 1: code moved");

    EXPECT_EQ(host.UpdateMenus(), 1);  // the reloaded code answers with the kept state
    host.ShutdownAll();
    EXPECT_EQ(MessageTrace(host.Events()), (Trace{
                                               "TestPluginA SP Interface/Startup",
                                               "TestPluginA AI Notifier/AI Notify",
                                               "TestPluginA SP Access/Unload",
                                               "TestPluginA SP Access/Reload",
                                               "TestPluginA AI Menu/AI Update",
                                               "TestPluginA SP Interface/Shutdown",
                                           }));
    for (const host::Event& e : host.Events().OfKind(host::EventKind::Message))
        EXPECT_EQ(e.result, kNoErr) << e.ToString();
    EXPECT_TRUE(host.Clean());
}

TEST(UnloadReload, AMessageToAnUnloadedPluginReloadsItFirst) {
    host::Host host;
    host::LoadedPlugin* a = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(host.StartAll());
    ASSERT_EQ(host.Unload(*a), kNoErr);
    EXPECT_EQ(host.Reload(*a), kNoErr);
    ASSERT_EQ(host.Unload(*a), kNoErr);
    EXPECT_EQ(host.FireNotifier(kAIDocumentOpenedNotifier), 1);
    const Trace trace = MessageTrace(host.Events());
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2], "TestPluginA SP Access/Reload");
    EXPECT_EQ(trace.back(), "TestPluginA AI Notifier/AI Notify");
    EXPECT_EQ(AlertTexts(host.Events()).back(), "document opened");
    EXPECT_EQ(host.Reload(*a), kBadParameterErr);  // already loaded
    host.ShutdownAll();
    EXPECT_TRUE(host.Clean());
}

// A plug-in that answers "Reload" with an error (here: a suite the host now
// refuses) is loaded all the same; the message that needed the reload still
// reaches it, so that a shutdown can free what the plug-in holds.
TEST(UnloadReload, AMessageStillArrivesWhenThePluginAnswersItsReloadWithAnError) {
    host::Host host;
    host::LoadedPlugin* a = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(host.StartAll());
    ASSERT_EQ(host.Unload(*a), kNoErr);
    host.RefuseSuite(kAIUnicodeStringSuite);
    host.ShutdownAll();
    const Trace trace = MessageTrace(host.Events());
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2], "TestPluginA SP Access/Reload");
    EXPECT_EQ(trace.back(), "TestPluginA SP Interface/Shutdown");
    EXPECT_EQ(host.Memory().Stats(a).blocksOutstanding, 0u);
    EXPECT_TRUE(host.Clean());
}

TEST(UnloadReload, AModuleWithUniqueSymbolsCannotBeUnloadedAndTheHostSaysWhy) {
    host::Host host;
    host::LoadedPlugin* u = host.LoadModule(host_test::ModulePath("unique", "Unique.aip"));
    ASSERT_NE(u, nullptr);
    ASSERT_TRUE(host.StartAll());
    EXPECT_EQ(host.Unload(*u), kNoErr);
    EXPECT_TRUE(u->IsMapped());
    const auto problems = host.Events().OfKind(host::EventKind::Problem);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].subject, "module could not be unloaded");
    EXPECT_NE(problems[0].detail.find("STB_GNU_UNIQUE"), std::string::npos) << problems[0].detail;
    // The same code comes back, statics and all.
    EXPECT_EQ(host.Reload(*u), kNoErr);
    EXPECT_EQ(AlertTexts(host.Events())[1], "reload 1: same statics");
    host.ShutdownAll();
}

}  // namespace
