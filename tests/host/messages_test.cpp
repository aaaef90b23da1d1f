#include <gtest/gtest.h>

#include "host/host.h"
#include "test_paths.h"

namespace {

using host_test::AlertTexts;
using host_test::HasProblem;
using host_test::MessageTrace;
using Trace = std::vector<std::string>;

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(host.LoadPluginsFolder(host_test::PluginsFolder("good")), 2u);
        a = host.FindPlugin("TestPluginA");
        b = host.FindPlugin("TestPluginB");
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
    }
    // The faults a test plug-in commits are named in its string list 17000.
    void Faults(host::LoadedPlugin* plugin, std::vector<std::string> words) {
        host.SetStringList(*plugin, 17000, std::move(words));
    }
    std::vector<std::string> ProblemSubjects() const {
        std::vector<std::string> subjects;
        for (const host::Event& e : host.Events().OfKind(host::EventKind::Problem))
            subjects.push_back(e.plugin + ": " + e.subject);
        return subjects;
    }

    host::Host host;
    host::LoadedPlugin* a = nullptr;
    host::LoadedPlugin* b = nullptr;
};

TEST_F(MessagesTest, StartupInLoadOrderThenAppStartedThenShutdownInReverse) {
    EXPECT_TRUE(host.StartAll());
    host.ShutdownAll();
    EXPECT_EQ(MessageTrace(host.Events()), (Trace{
                                               "TestPluginA SP Interface/Startup",
                                               "TestPluginB SP Interface/Startup",
                                               "TestPluginA AI Notifier/AI Notify",
                                               "TestPluginB AI Notifier/AI Notify",
                                               "TestPluginB SP Interface/Shutdown",
                                               "TestPluginA SP Interface/Shutdown",
                                           }));
    for (const host::Event& e : host.Events().OfKind(host::EventKind::Message))
        EXPECT_EQ(e.result, kNoErr) << e.ToString();
    EXPECT_EQ(AlertTexts(host.Events()), (Trace{"app started", "app started"}));
    EXPECT_EQ(a->State(), host::PluginState::ShutDown);
    EXPECT_FALSE(a->IsMapped());
    EXPECT_TRUE(host.Clean()) << ProblemSubjects().size();
}

TEST_F(MessagesTest, TheGlobalsWordIsKeptBetweenMessages) {
    ASSERT_TRUE(host.StartAll());
    void* globals = a->Globals();
    ASSERT_NE(globals, nullptr);
    EXPECT_NE(globals, b->Globals());
    // The plug-in answers 'GLOB' to any message that does not bring its state back.
    EXPECT_EQ(host.About(*a), kNoErr);
    EXPECT_EQ(host.UpdateMenus(), 2);
    EXPECT_EQ(host.FireNotifier(kAIDocumentOpenedNotifier), 2);
    EXPECT_EQ(a->Globals(), globals);
    for (const host::Event& e : host.Events().OfKind(host::EventKind::Message))
        EXPECT_EQ(e.result, kNoErr) << e.ToString();
    host.ShutdownAll();
    EXPECT_EQ(a->Globals(), nullptr);  // the plug-in cleared it at shutdown
    EXPECT_TRUE(host.Clean());
}

TEST_F(MessagesTest, NotifiersFireToEveryActiveRegistrationOfTheType) {
    ASSERT_TRUE(host.StartAll());
    ASSERT_EQ(host.Notifiers().size(), 4u);
    EXPECT_EQ(host.Events().Count(host::EventKind::Registration), 8u);  // + 2 menu items each
    const std::size_t mark = host.Events().Size();
    EXPECT_EQ(host.FireNotifier(kAIDocumentOpenedNotifier), 2);
    EXPECT_EQ(host.FireNotifier("AI Nobody Listens Notifier"), 0);
    for (const auto& n : host.Notifiers())
        if (n->plugin == a && n->type == kAIDocumentOpenedNotifier) n->active = false;
    EXPECT_EQ(host.FireNotifier(kAIDocumentOpenedNotifier), 1);
    std::vector<std::string> seen;
    for (const host::Event& e : host.Events().Since(mark))
        if (e.kind == host::EventKind::Message) seen.push_back(e.plugin + " " + e.detail);
    EXPECT_EQ(seen, (Trace{"TestPluginA AI Document Opened Notifier",
                           "TestPluginB AI Document Opened Notifier",
                           "TestPluginB AI Document Opened Notifier"}));
    host.ShutdownAll();
}

TEST_F(MessagesTest, MenusAreUpdatedBeforeShowingAndChosenItemsGetAIGo) {
    ASSERT_TRUE(host.StartAll());
    AIMenuItem* itemA = host.Menu().FindItem("TestPluginA Item");
    AIMenuItem* aboutB = host.Menu().FindItem("TestPluginB About");
    ASSERT_NE(itemA, nullptr);
    ASSERT_NE(aboutB, nullptr);
    EXPECT_EQ(itemA->text, u"Show Test");
    // Only the items added with option 1 are asked.
    EXPECT_EQ(host.UpdateMenus(), 2);
    EXPECT_EQ(host.UpdateMenus(), 2);
    EXPECT_EQ(itemA->text, u"Update 2");
    EXPECT_EQ(aboutB->text, u"About Test...");

    const std::size_t mark = host.Events().Size();
    EXPECT_EQ(host.ChooseMenuItem(itemA), kNoErr);
    EXPECT_EQ(host.ChooseMenuItem(aboutB), kNoErr);
    EXPECT_EQ(host.ChooseMenuItem(nullptr), kBadParameterErr);
    std::vector<std::string> seen;
    for (const host::Event& e : host.Events().Since(mark))
        seen.push_back(e.plugin + " " + e.subject + " " + e.detail);
    EXPECT_EQ(seen,
              (Trace{"TestPluginA message alert go 1", "TestPluginA AI Menu/AI Go TestPluginA Item",
                     "TestPluginB about box TestPlugin | from the menu",
                     "TestPluginB AI Menu/AI Go TestPluginB About"}));
    const std::string tree = host.Menu().Tree();
    EXPECT_NE(
        tree.find(
            "[Tool Palettes]\n  \"Update 2\" key \"TestPluginA Item\" (updates) <TestPluginA>\n"),
        std::string::npos)
        << tree;
    EXPECT_NE(tree.find("[About]\n  \"About Test...\" key \"TestPluginA About\" <TestPluginA>\n"),
              std::string::npos)
        << tree;
    host.ShutdownAll();
    EXPECT_TRUE(host.Clean());
}

TEST_F(MessagesTest, AboutReachesOnlyThePluginAsked) {
    ASSERT_TRUE(host.StartAll());
    const std::size_t mark = host.Events().Size();
    EXPECT_EQ(host.About(*b), kNoErr);
    const auto events = host.Events().Since(mark);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].ToString(), "[alert] TestPluginB: about box \"TestPlugin | about\"");
    EXPECT_EQ(events[1].ToString(), "[message] TestPluginB: SP Interface/About -> 0");
    host.ShutdownAll();
}

TEST_F(MessagesTest, AnUnbalancedApplicationContextIsReportedAndRepaired) {
    Faults(a, {"unbalanced-context"});
    ASSERT_TRUE(host.StartAll());
    EXPECT_EQ(ProblemSubjects(), (Trace{"TestPluginA: application context unbalanced"}));
    EXPECT_EQ(host.ContextDepth(), 0u);
    host.FireNotifier(kAIDocumentOpenedNotifier);  // B balances: nothing more reported
    EXPECT_EQ(host.Events().Count(host::EventKind::Problem), 2u);
    host.ShutdownAll();
}

TEST_F(MessagesTest, WhatAPluginLeavesBehindAtShutdownIsReported) {
    Faults(b, {"leak-block", "keep-suite", "bad-free"});
    ASSERT_TRUE(host.StartAll());
    host.ShutdownAll();
    EXPECT_EQ(ProblemSubjects(), (Trace{
                                     "TestPluginB: free of a block the host never gave out",
                                     "TestPluginB: blocks left allocated",
                                     "TestPluginB: suite not released",
                                 }));
    const auto problems = host.Events().OfKind(host::EventKind::Problem);
    EXPECT_EQ(problems[1].detail, "1 block(s), 24 byte(s)");
    EXPECT_EQ(problems[2].detail, "AI Menu Suite 9 (1)");
    EXPECT_EQ(host.Memory().Stats(a).blocksOutstanding, 0u);
    EXPECT_FALSE(host.Clean());
}

TEST_F(MessagesTest, AFailedStartupLeavesThePluginOutOfEverythingThatFollows) {
    Faults(a, {"fail-startup"});
    EXPECT_FALSE(host.StartAll());
    EXPECT_EQ(a->State(), host::PluginState::Failed);
    EXPECT_EQ(a->Entry(), nullptr);
    EXPECT_EQ(a->Globals(), nullptr);
    EXPECT_EQ(ProblemSubjects(), (Trace{"TestPluginA: start-up failed"}));
    EXPECT_EQ(host.Events().OfKind(host::EventKind::Problem)[0].detail, "'TEST'");
    EXPECT_EQ(host.About(*a), kBadParameterErr);
    host.ShutdownAll();
    EXPECT_EQ(MessageTrace(host.Events()), (Trace{
                                               "TestPluginA SP Interface/Startup",
                                               "TestPluginB SP Interface/Startup",
                                               "TestPluginB AI Notifier/AI Notify",
                                               "TestPluginB SP Interface/Shutdown",
                                           }));
}

TEST_F(MessagesTest, APluginThatHoldsItselfLoadedIsNotUnloaded) {
    Faults(a, {"hold-loaded"});
    ASSERT_TRUE(host.StartAll());
    EXPECT_EQ(host.AccessCount(a), 1);
    EXPECT_EQ(host.Unload(*a), kBadParameterErr);
    EXPECT_NE(a->Entry(), nullptr);
    EXPECT_EQ(a->State(), host::PluginState::Started);
    host.ShutdownAll();
    EXPECT_EQ(host.AccessCount(a), 0);
    EXPECT_TRUE(host.Clean());
}

}  // namespace
