// The dialog manager inside the simulated host, driven by a real module
// whose dialog and icons were compiled by the resource compiler.
#include "host/adm/host_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "host/adm/adm_suites.h"
#include "host/current_plugin.h"

namespace {

bool HasProblemMentioning(const host::EventLog& log, const std::string& text) {
    for (const host::Event& e : log.OfKind(host::EventKind::Problem)) {
        if (e.detail.find(text) != std::string::npos) return true;
    }
    return false;
}

class HostDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = app.LoadModule(ADM_TEST_DIALOG_MODULE);
        ASSERT_NE(plugin, nullptr) << ADM_TEST_DIALOG_MODULE;
    }
    host::Host app;
    std::unique_ptr<host::adm::HostDialogs> dialogs = std::make_unique<host::adm::HostDialogs>(app);
    host::LoadedPlugin* plugin = nullptr;
};

TEST_F(HostDialogsTest, StartupBuildsThePanelFromTheModulesResources) {
    ASSERT_EQ(app.Startup(*plugin), kNoErr);
    auto& manager = dialogs->Manager();
    ADMDialogRef panel = manager.FindDialog("Lumaro Panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(manager.Render(panel),
              "dialog \"Lumaro Panel\" 16000 visible\n"
              "  static 8 \"Missing fonts in opened documents:\" enabled\n"
              "  static 16 \"\" enabled\n"
              "  list 18 enabled\n"
              "  button 11 \"Refresh\" enabled\n"
              "  button 20 \"Help\" enabled\n"
              "  static 15 \"Available fonts in Glyvor Groups:\" enabled\n"
              "  static 17 \"\" enabled\n"
              "  list 14 enabled\n"
              "  button 19 \"Find\" enabled\n"
              "  button 12 \"Activate All\" enabled\n"
              "  button 13 \"Install All\" enabled\n"
              "  button 9 \"Activate\" enabled\n"
              "  button 10 \"Install\" enabled\n"
              "  static 21 \"ready\" enabled\n"
              "status \"ready\"\n");
    ADMRect bounds;
    host::adm::DialogSuite().GetBoundsRect(panel, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 337);
    EXPECT_EQ(bounds.bottom - bounds.top, 398);
    EXPECT_EQ(host::adm::DialogSuite().GetPluginRef(panel), plugin->Ref());
    // Icon 1001 is 24 x 24 and taken; 1002 is 32 x 32 and refused.
    EXPECT_NE(host::adm::DialogSuite().GetIcon(panel, 0), nullptr);
    EXPECT_EQ(host::adm::DialogSuite().GetIcon(panel, 1), nullptr);
    EXPECT_TRUE(HasProblemMentioning(app.Events(), "PNGI resource 1002 refused"));
}

TEST_F(HostDialogsTest, ButtonPressesReachThePluginsNotifyProcedure) {
    ASSERT_EQ(app.Startup(*plugin), kNoErr);
    auto& manager = dialogs->Manager();
    ADMDialogRef panel = manager.FindDialog("Lumaro Panel");
    manager.PressButton(panel, "Refresh");
    manager.PressButton(panel, 11);
    manager.PressButton(panel, "Help");  // ignored by the plug-in
    char text[32];
    host::adm::ItemSuite().GetText(host::adm::DialogSuite().GetItem(panel, 21), text, sizeof text);
    EXPECT_STREQ(text, "pressed 2");
}

TEST_F(HostDialogsTest, ShutdownDestroysThePanelOnceDespiteTheRepeatedRequest) {
    ASSERT_EQ(app.Startup(*plugin), kNoErr);
    auto& manager = dialogs->Manager();
    EXPECT_EQ(app.Shutdown(*plugin), kNoErr);
    EXPECT_TRUE(manager.Dialogs().empty());
    EXPECT_EQ(manager.Notes().size(), 1u);
    EXPECT_FALSE(HasProblemMentioning(app.Events(), "does not hold"));
}

TEST_F(HostDialogsTest, TheHostsTeardownDestroysDialogsLeftOpen) {
    ASSERT_EQ(app.Startup(*plugin), kNoErr);
    dialogs->Manager().DestroyAll();
    EXPECT_TRUE(dialogs->Manager().Dialogs().empty());
    // The destroy procedure told the plug-in, so its shutdown asks for nothing.
    EXPECT_EQ(app.Shutdown(*plugin), kNoErr);
    EXPECT_FALSE(HasProblemMentioning(app.Events(), "does not hold"));
}

TEST_F(HostDialogsTest, ProceduresRunMarkedAsWorkForTheirPlugin) {
    host::adm::HostPluginEnvironment environment(app);
    host::LoadedPlugin* seen = nullptr;
    environment.CallPlugin(plugin->Ref(), [&] { seen = host::CurrentPluginScope::Current(); });
    EXPECT_EQ(seen, plugin);
    EXPECT_EQ(host::CurrentPluginScope::Current(), nullptr);
}

TEST_F(HostDialogsTest, ResourcesOfUnknownPluginsAndTypesAreNotFound) {
    host::adm::HostPluginEnvironment environment(app);
    using host::adm::ResourceType;
    EXPECT_TRUE(environment.FindResource(plugin->Ref(), ResourceType::Number(5), 16000));
    EXPECT_TRUE(environment.FindResource(plugin->Ref(), ResourceType::Named("pngi"), 1001));
    EXPECT_FALSE(environment.FindResource(plugin->Ref(), ResourceType::Number(5), 16001));
    EXPECT_FALSE(environment.FindResource(plugin->Ref(), ResourceType::Named("PNGI"), 16000));
    EXPECT_FALSE(environment.FindResource(reinterpret_cast<SPPluginRef>(0x10),
                                          ResourceType::Number(5), 16000));
}

}  // namespace
