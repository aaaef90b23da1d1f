#include <gtest/gtest.h>

#include "host/current_plugin.h"
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
              (Trace{"TestPluginA AI Menu/AI Go TestPluginA Item", "TestPluginA message alert go 1",
                     "TestPluginB AI Menu/AI Go TestPluginB About",
                     "TestPluginB about box TestPlugin | from the menu"}));
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
    EXPECT_EQ(events[0].ToString(), "[message] TestPluginB: SP Interface/About -> 0");
    EXPECT_EQ(events[1].ToString(), "[alert] TestPluginB: about box \"TestPlugin | about\"");
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

namespace {

TEST_F(MessagesTest, AnExceptionThatEscapesAPluginStopsAtTheHost) {
    Faults(a, {"throw-on-about"});
    ASSERT_TRUE(host.StartAll());
    EXPECT_EQ(host.About(*a), kCantHappenErr);
    EXPECT_EQ(ProblemSubjects(), (Trace{"TestPluginA: exception escaped the plug-in"}));
    EXPECT_EQ(host.About(*b), kNoErr);
    host.ShutdownAll();
}

TEST_F(MessagesTest, ContextsPushedAndPoppedOutOfOrderAreReported) {
    host::CurrentPluginScope scope(a);
    const void* table = nullptr;
    ASSERT_EQ(host.AcquireSuite(kAIContextSuite, kAIContextSuiteVersion, &table), kNoErr);
    const auto* context = static_cast<const AIContextSuite*>(table);
    AIAppContextHandle outer = nullptr;
    AIAppContextHandle inner = nullptr;
    EXPECT_EQ(context->PushAppContext(a->Ref(), &outer), kNoErr);
    EXPECT_EQ(context->PushAppContext(a->Ref(), &inner), kNoErr);
    EXPECT_EQ(host.ContextDepth(), 2u);
    EXPECT_EQ(context->PopAppContext(outer), kBadParameterErr);
    EXPECT_EQ(context->PopAppContext(inner), kNoErr);
    EXPECT_EQ(context->PopAppContext(outer), kNoErr);
    EXPECT_EQ(context->PopAppContext(outer), kBadParameterErr);
    EXPECT_EQ(context->PushAppContext(nullptr, &outer), kBadParameterErr);
    EXPECT_EQ(ProblemSubjects(), (Trace{"TestPluginA: application context popped out of order",
                                        "TestPluginA: application context popped without a push"}));
    host.ReleaseSuite(kAIContextSuite, kAIContextSuiteVersion);
}

TEST_F(MessagesTest, AdmBasicAnswersStringListsAndRecordsEveryAlert) {
    host.SetStringList(*a, 16050, {"TEST", "Error ^0", "a string longer than the buffer"});
    host::CurrentPluginScope scope(a);
    const void* table = nullptr;
    ASSERT_EQ(host.AcquireSuite(kADMBasicSuite, kADMBasicSuiteVersion11, &table), kNoErr);
    const auto* adm = static_cast<const ADMBasicSuite11*>(table);
    struct Case {
        ASInt32 list, index, length;
        ASErr expected;
        const char* text;
    };
    const Case cases[] = {
        {16050, 1, 10, kNoErr, "TEST"},       {16050, 2, 128, kNoErr, "Error ^0"},
        {16050, 3, 9, kNoErr, "a string"},    {16050, 4, 10, kNotFoundErr, ""},
        {16050, 0, 10, kNotFoundErr, ""},     {16600, 1, 256, kNotFoundErr, ""},
        {16050, 1, 0, kBadParameterErr, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.list) + "/" + std::to_string(c.index));
        char buffer[256] = "x";
        EXPECT_EQ(adm->GetIndexString(a->Ref(), c.list, c.index, buffer, c.length), c.expected);
        EXPECT_STREQ(buffer, c.text);
    }
    char buffer[16];
    EXPECT_EQ(adm->GetIndexString(b->Ref(), 16050, 1, buffer, 16),
              kNotFoundErr);  // lists are per plug-in

    const ASUnicode wide[] = {'C', 'a', 'f', 0xE9, ' ', 0xD83D, 0xDE00, 0};
    adm->ErrorAlert("narrow");
    adm->TitledAlert("About Lumaro", "Lumaro plug-in\\n");
    adm->AboutBox(a->Ref(), "one", "");
    adm->ErrorAlertW(wide);
    std::vector<std::string> alerts;
    for (const host::Event& e : host.Events().OfKind(host::EventKind::Alert))
        alerts.push_back(e.plugin + ": " + e.subject + ": " + e.detail);
    EXPECT_EQ(alerts, (Trace{"TestPluginA: error alert: narrow",
                             "TestPluginA: titled alert: About Lumaro | Lumaro plug-in\\n",
                             "TestPluginA: about box: one | ",
                             "TestPluginA: error alert: Caf\xC3\xA9 \xF0\x9F\x98\x80"}));
    host.ReleaseSuite(kADMBasicSuite, kADMBasicSuiteVersion11);
}

TEST_F(MessagesTest, AssertionsAreRecordedForThePluginAtWork) {
    host.RecordAssertion("m_pDlgNonModal != NULL", "Source\\LumaroPlugin", 436);
    {
        host::CurrentPluginScope scope(a);
        host.RecordAssertion("x", "y", 1);
    }
    const auto assertions = host.Events().OfKind(host::EventKind::Assertion);
    ASSERT_EQ(assertions.size(), 2u);
    EXPECT_EQ(assertions[0].ToString(),
              "[assertion] m_pDlgNonModal != NULL \"Source\\LumaroPlugin, line 436\"");
    EXPECT_EQ(assertions[1].plugin, "TestPluginA");
}

}  // namespace

namespace {

TEST_F(MessagesTest, NotifierAndAccessSuitesCheckEveryHandleTheyAreGiven) {
    ASSERT_TRUE(host.StartAll());
    host::CurrentPluginScope scope(b);
    const void* table = nullptr;
    ASSERT_EQ(host.AcquireSuite(kAINotifierSuite, kAINotifierSuiteVersion, &table), kNoErr);
    const auto* notifiers = static_cast<const AINotifierSuite*>(table);
    ASSERT_EQ(host.AcquireSuite(kSPAccessSuite, kSPAccessSuiteVersion, &table), kNoErr);
    const auto* access = static_cast<const SPAccessSuite*>(table);

    ASInt32 count = 0;
    EXPECT_EQ(notifiers->CountNotifiers(&count), kNoErr);
    EXPECT_EQ(count, 4);
    AINotifierHandle first = nullptr;
    ASSERT_EQ(notifiers->GetNthNotifier(0, &first), kNoErr);
    const char* name = nullptr;
    EXPECT_EQ(notifiers->GetNotifierName(first, &name), kNoErr);
    EXPECT_STREQ(name, "TestPlugin App Started");
    SPPluginRef owner = nullptr;
    EXPECT_EQ(notifiers->GetNotifierPlugin(first, &owner), kNoErr);
    EXPECT_EQ(owner, a->Ref());
    EXPECT_EQ(notifiers->SetNotifierActive(first, false), kNoErr);
    EXPECT_EQ(host.FireNotifier(kAIApplicationStartedNotifier), 1);

    AINotifierHandle none = nullptr;
    int bogus = 0;
    const auto forged = reinterpret_cast<AINotifierHandle>(&bogus);
    EXPECT_EQ(notifiers->GetNthNotifier(4, &none), kBadParameterErr);
    EXPECT_EQ(notifiers->GetNthNotifier(-1, &none), kBadParameterErr);
    EXPECT_EQ(notifiers->GetNotifierName(forged, &name), kBadParameterErr);
    EXPECT_EQ(notifiers->SetNotifierActive(nullptr, true), kBadParameterErr);
    EXPECT_EQ(notifiers->AddNotifier(reinterpret_cast<SPPluginRef>(&bogus), "n", "t", &none),
              kBadParameterErr);
    EXPECT_EQ(none, nullptr);

    SPAccessRef held = nullptr;
    EXPECT_EQ(access->AcquirePlugin(reinterpret_cast<SPPluginRef>(&bogus), &held),
              kBadParameterErr);
    EXPECT_EQ(access->AcquirePlugin(b->Ref(), &held), kNoErr);
    ASInt32 accessCount = 0;
    EXPECT_EQ(access->GetAccessCount(b->Ref(), &accessCount), kNoErr);
    EXPECT_EQ(accessCount, 1);
    EXPECT_EQ(access->ReleasePlugin(held), kNoErr);
    EXPECT_EQ(access->ReleasePlugin(held), kBadParameterErr);
    EXPECT_EQ(ProblemSubjects(),
              (Trace{"TestPluginB: release of an access reference the host never gave out"}));
    host.ReleaseSuite(kAINotifierSuite, kAINotifierSuiteVersion);
    host.ReleaseSuite(kSPAccessSuite, kSPAccessSuiteVersion);
}

}  // namespace
