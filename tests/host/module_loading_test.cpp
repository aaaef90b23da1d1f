#include <gtest/gtest.h>

#include "host/host.h"
#include "test_paths.h"

namespace {

TEST(ModuleLoading, ModulesFailingAnyCheckAreRefusedWithTheReasonAndNotStarted) {
    host::Host host;
    EXPECT_EQ(host.LoadPluginsFolder(host_test::PluginsFolder("mixed")), 1u);
    ASSERT_EQ(host.Plugins().size(), 1u);
    EXPECT_EQ(host.Plugins()[0]->Name(), "TestPlugin");

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"BadKind.aip", "plug-in kind is 'XXXX', not 'SPEA'"},
        {"BadVersion.aip", "interface version 3, not 2"},
        {"NoEntry.aip", "the module does not export its entry point \"NoSuchMain\""},
        {"NoResources.aip", "the module has no .rsrc section"},
        {"WrongLanguage.aip", "the module has no property list (PIPL 16000, language 1033)"},
    };
    ASSERT_EQ(host.Refused().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first);
        const std::string& path = host.Refused()[i].path;
        EXPECT_EQ(path.substr(path.size() - expected[i].first.size()), expected[i].first);
        EXPECT_EQ(host.Refused()[i].reason, expected[i].second);
    }
    EXPECT_EQ(host.Events().Count(host::EventKind::Problem), expected.size());

    EXPECT_TRUE(host.StartAll());
    for (const host::Event& e : host.Events().OfKind(host::EventKind::Message))
        EXPECT_EQ(e.plugin, "TestPlugin");
    host.ShutdownAll();
}

TEST(ModuleLoading, ModulesLoadInNameOrderAndOnlyAipFilesCount) {
    host::Host host;
    EXPECT_EQ(host.LoadPluginsFolder(host_test::PluginsFolder("good")), 2u);
    ASSERT_EQ(host.Plugins().size(), 2u);
    EXPECT_EQ(host.Plugins()[0]->Name(), "TestPluginA");
    EXPECT_EQ(host.Plugins()[1]->Name(), "TestPluginB");
    EXPECT_EQ(host.Plugins()[0]->EntryName(), "PluginMain");
    EXPECT_EQ(host.Plugins()[0]->PiplName(), "TestPlugin");
    EXPECT_TRUE(host.Plugins()[0]->IsMapped());
    EXPECT_NE(host.Plugins()[0]->LoadBase(), host.Plugins()[1]->LoadBase());
}

TEST(ModuleLoading, AMissingFolderIsAProblemNotACrash) {
    host::Host host;
    EXPECT_EQ(host.LoadPluginsFolder(host_test::PluginsFolder("no-such-folder")), 0u);
    EXPECT_TRUE(host_test::HasProblem(host.Events(), "cannot open the plug-ins folder"));
    EXPECT_EQ(host.LoadModule(host_test::PluginsFolder("none.aip")), nullptr);
    EXPECT_FALSE(host.Clean());
}

TEST(ModuleLoading, PluginReferencesAreCheckedBeforeUse) {
    host::Host host;
    host::LoadedPlugin* plugin = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(host.FromRef(plugin->Ref()), plugin);
    int other = 0;
    EXPECT_EQ(host.FromRef(reinterpret_cast<SPPluginRef>(&other)), nullptr);
    EXPECT_EQ(host.FromRef(nullptr), nullptr);
    const void* table = nullptr;
    ASSERT_EQ(host.AcquireSuite(kSPPluginsSuite, kSPPluginsSuiteVersion, &table), kNoErr);
    const auto* plugins = static_cast<const SPPluginsSuite*>(table);
    EXPECT_EQ(plugins->SetPluginName(reinterpret_cast<SPPluginRef>(&other), "x"), kBadParameterErr);
    EXPECT_EQ(plugins->SetPluginName(plugin->Ref(), "Renamed"), kNoErr);
    const char* name = nullptr;
    EXPECT_EQ(plugins->GetPluginName(plugin->Ref(), &name), kNoErr);
    EXPECT_STREQ(name, "Renamed");
    host.ReleaseSuite(kSPPluginsSuite, kSPPluginsSuiteVersion);
}

}  // namespace

namespace {

TEST(ModuleLoading, TheSameModuleIsNotLoadedTwice) {
    host::Host host;
    ASSERT_NE(host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip")), nullptr);
    EXPECT_EQ(host.LoadModule(host_test::PluginsFolder("good") + "/../good/TestPluginA.aip"),
              nullptr);
    ASSERT_EQ(host.Refused().size(), 1u);
    EXPECT_EQ(host.Refused()[0].reason, "the module is already loaded");
    EXPECT_EQ(host.Plugins().size(), 1u);
}

}  // namespace
