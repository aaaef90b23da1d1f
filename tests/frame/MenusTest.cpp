// The About group and the window group that plug-ins of one maker share.
#include <gtest/gtest.h>

#include "HeldSuite.h"
#include "frame/MenuGroups.h"
#include "frame/SDKAboutPluginsHelper.h"
#include "frame/Suites.h"
#include "host/host.h"

namespace {

constexpr char kGroup[] = "CorvaneSoftwarePluginsGroupName";
constexpr char kGroupText[] = "About Corvane Software Plug-ins";
constexpr char kWindowGroup[] = "CorvaneSoftwareWindowGroup";

class MenusTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_spBasic = host.BasicSuite();
        plugin = host.LoadModule(LUMARO_MODULE_PATH);
        ASSERT_NE(plugin, nullptr);
        message.self = plugin->Ref();
        message.basic = host.BasicSuite();
    }
    void TearDown() override {
        EXPECT_EQ(host.Strings().LiveCount(), 0u);
        g_spBasic = nullptr;
    }

    // What another plug-in of the same maker did before this one started.
    void OtherPluginMadeGroup(const char* parent, const char16_t* text, const char* group) {
        AIMenuItem* item = nullptr;
        ASSERT_EQ(host.Menu().AddItem(nullptr, nullptr, parent, text, 0, &item), kNoErr);
        ASSERT_EQ(host.Menu().AddSubMenuGroup(nullptr, group, 1, item, nullptr), kNoErr);
    }

    std::size_t ItemsIn(const char* group) { return host.Menu().ItemsIn(group).size(); }

    host::Host host;
    HeldSuite<AIUnicodeStringSuite6> strings{host, kAIUnicodeStringSuite, 6, g_aiUnicodeString};
    HeldSuite<AIMenuSuite9> menus{host, kAIMenuSuite, 9, g_aiMenu};
    host::LoadedPlugin* plugin = nullptr;
    SPMessageData message{};
};

TEST_F(MenusTest, TheFirstPluginMakesTheAboutGroupAndItsItem) {
    const std::size_t aboutItems = ItemsIn("About");
    SDKAboutPluginsHelper helper;
    AIMenuItemHandle item = nullptr;
    ASSERT_EQ(helper.AddAboutItem(&message, kGroup, kGroupText, "Lumaro...", &item), kNoErr);
    EXPECT_NE(item, nullptr);
    EXPECT_EQ(ItemsIn("About"), aboutItems + 1);
    EXPECT_EQ(ItemsIn(kGroup), 1u);
    EXPECT_EQ(host.SuiteUseCount(nullptr, kAIMenuSuite, 9), 1) << "its own copy went back";
}

TEST_F(MenusTest, ALaterPluginOnlyAddsItsItemUnderTheSharedGroup) {
    OtherPluginMadeGroup("About", u"About Corvane Software Plug-ins", kGroup);
    const std::size_t aboutItems = ItemsIn("About");
    SDKAboutPluginsHelper helper;
    AIMenuItemHandle item = nullptr;
    ASSERT_EQ(helper.AddAboutItem(&message, kGroup, kGroupText, "Lumaro...", &item), kNoErr);
    EXPECT_EQ(ItemsIn("About"), aboutItems);
    EXPECT_EQ(ItemsIn(kGroup), 1u);
}

TEST_F(MenusTest, TheWindowGroupIsMadeOnceAndFoundAfterwards) {
    const std::size_t paletteItems = ItemsIn("Tool Palettes");
    ASSERT_EQ(
        FindOrCreateMenuGroup(plugin->Ref(), kWindowGroup, "Tool Palettes", "Corvane Software"),
        kNoErr);
    EXPECT_EQ(ItemsIn("Tool Palettes"), paletteItems + 1);
    EXPECT_NE(host.Menu().FindGroup(kWindowGroup), nullptr);
    EXPECT_NE(host.Menu().FindItem(kWindowGroup), nullptr) << "keyed by the group's name";

    ASSERT_EQ(
        FindOrCreateMenuGroup(plugin->Ref(), kWindowGroup, "Tool Palettes", "Corvane Software"),
        kNoErr);
    EXPECT_EQ(ItemsIn("Tool Palettes"), paletteItems + 1) << "no second submenu";
}

TEST_F(MenusTest, AWindowGroupOfAnotherPluginIsReused) {
    OtherPluginMadeGroup("Tool Palettes", u"Corvane Software", kWindowGroup);
    const std::size_t paletteItems = ItemsIn("Tool Palettes");
    ASSERT_EQ(
        FindOrCreateMenuGroup(plugin->Ref(), kWindowGroup, "Tool Palettes", "Corvane Software"),
        kNoErr);
    EXPECT_EQ(ItemsIn("Tool Palettes"), paletteItems);
}

// Both group searches stop at a count of 0; with groups they do look.
TEST_F(MenusTest, WithNoMenuGroupsTheSearchesAskForNoGroupByIndex) {
    for (bool groups : {true, false}) {
        SCOPED_TRACE(groups ? "the host's groups" : "no group at all");
        if (!groups) host.Menu().RemoveEverything();

        int before = host.Menu().GroupsAskedByIndex();
        SDKAboutPluginsHelper helper;
        AIMenuItemHandle item = nullptr;
        // Without an "About" group the item cannot be added; the search itself found nothing.
        EXPECT_EQ(helper.AddAboutItem(&message, kGroup, kGroupText, "Lumaro...", &item),
                  groups ? kNoErr : kNotFoundErr);
        EXPECT_EQ(host.Menu().GroupsAskedByIndex() > before, groups) << "the About group";

        before = host.Menu().GroupsAskedByIndex();
        EXPECT_EQ(
            FindOrCreateMenuGroup(plugin->Ref(), kWindowGroup, "Tool Palettes", "Corvane Software"),
            kNoErr);
        EXPECT_EQ(host.Menu().GroupsAskedByIndex() > before, groups) << "the window group";
    }
}

TEST_F(MenusTest, TheAboutBoxIsATitledAlertWithTheTextAsStored) {
    SDKAboutPluginsHelper helper;
    helper.ShowAboutBox(&message, "About Lumaro", "line one\\nline two\\n\\n");
    const auto alerts = host.Events().OfKind(host::EventKind::Alert);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].detail.find("About Lumaro"), std::string::npos);
    EXPECT_NE(alerts[0].detail.find("line one\\nline two\\n\\n"), std::string::npos);
    EXPECT_EQ(host.SuiteUseCount(nullptr, kADMBasicSuite, 10), 0);
}

TEST_F(MenusTest, AnAboutBoxWithoutItsSuiteShowsNothing) {
    host.RefuseSuite(kADMBasicSuite);
    SDKAboutPluginsHelper helper;
    helper.ShowAboutBox(&message, "About Lumaro", "text");
    EXPECT_TRUE(host.Events().OfKind(host::EventKind::Alert).empty());
}

TEST_F(MenusTest, ARefusedMenuSuiteAddsNothing) {
    host.RefuseSuite(kAIMenuSuite);
    const std::size_t aboutItems = ItemsIn("About");
    SDKAboutPluginsHelper helper;
    AIMenuItemHandle item = nullptr;
    EXPECT_NE(helper.AddAboutItem(&message, kGroup, kGroupText, "Lumaro...", &item), kNoErr);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(ItemsIn("About"), aboutItems);
}

}  // namespace
