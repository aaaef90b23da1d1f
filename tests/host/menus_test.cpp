#include <gtest/gtest.h>

#include <cstring>

#include "host/current_plugin.h"
#include "host/host.h"
#include "test_paths.h"

namespace {

class MenuSuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
        ASSERT_NE(plugin, nullptr);
        scope = std::make_unique<host::CurrentPluginScope>(plugin);
        const void* table = nullptr;
        ASSERT_EQ(host.AcquireSuite(kAIMenuSuite, kAIMenuSuiteVersion, &table), kNoErr);
        menu = static_cast<const AIMenuSuite9*>(table);
        ASSERT_EQ(host.AcquireSuite(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion, &table),
                  kNoErr);
        strings = static_cast<const AIUnicodeStringSuite6*>(table);
    }

    ASErr Add(const char* key, const char* group, const char* text, ASInt32 options,
              AIMenuItemHandle* item) {
        AIPlatformAddMenuItemDataUS data{group, {nullptr}};
        strings->Initialize(&data.itemText, text, static_cast<ASUInt32>(std::strlen(text)), 0);
        const ASErr error = menu->AddMenuItem(plugin->Ref(), key, &data, options, item);
        strings->Destroy(&data.itemText);
        return error;
    }

    // The walk the plug-in's frame makes to find a shared group.
    bool HasGroup(const char* wanted) {
        ASInt32 count = 0;
        EXPECT_EQ(menu->CountMenuGroups(&count), kNoErr);
        for (ASInt32 n = 0; n < count; ++n) {
            AIMenuGroup group = nullptr;
            const char* name = nullptr;
            EXPECT_EQ(menu->GetNthMenuGroup(n, &group), kNoErr);
            EXPECT_EQ(menu->GetMenuGroupName(group, &name), kNoErr);
            if (std::strcmp(name, wanted) == 0) return true;
        }
        return false;
    }

    host::Host host;
    host::LoadedPlugin* plugin = nullptr;
    std::unique_ptr<host::CurrentPluginScope> scope;
    const AIMenuSuite9* menu = nullptr;
    const AIUnicodeStringSuite6* strings = nullptr;
};

TEST_F(MenuSuiteTest, TheHostHasItsOwnGroupsFromTheStart) {
    for (const char* group : {"About", "Tool Palettes", "Window Utilities", "Help", "Edit"})
        EXPECT_TRUE(HasGroup(group)) << group;
    EXPECT_FALSE(HasGroup("CorvaneSoftwareWindowGroup"));
    AIMenuGroup group = nullptr;
    EXPECT_EQ(menu->GetNthMenuGroup(-1, &group), kBadParameterErr);
    EXPECT_EQ(menu->GetNthMenuGroup(1000, &group), kBadParameterErr);
}

TEST_F(MenuSuiteTest, SharedSubmenusAreBuiltOnceAndPrintedAsATree) {
    AIMenuItemHandle maker = nullptr;
    ASSERT_EQ(Add("CorvaneSoftwareWindowGroup", "Tool Palettes", "Corvane Software", 0, &maker),
              kNoErr);
    AIMenuGroup group = nullptr;
    ASSERT_EQ(menu->AddMenuGroupAsSubMenu("CorvaneSoftwareWindowGroup", 1, maker, &group), kNoErr);
    EXPECT_TRUE(HasGroup("CorvaneSoftwareWindowGroup"));
    // A second group of the same name, or a second submenu on one item, is refused.
    AIMenuItemHandle other = nullptr;
    ASSERT_EQ(Add(nullptr, "Tool Palettes", "Other", 0, &other), kNoErr);
    EXPECT_EQ(menu->AddMenuGroupAsSubMenu("CorvaneSoftwareWindowGroup", 1, other, &group),
              kBadParameterErr);
    EXPECT_EQ(menu->AddMenuGroupAsSubMenu("Another", 1, maker, &group), kBadParameterErr);
    EXPECT_EQ(menu->AddMenuGroupAsSubMenu("Another", 1, nullptr, &group), kBadParameterErr);

    AIMenuItemHandle lumaro = nullptr;
    ASSERT_EQ(Add("Lumaro", "CorvaneSoftwareWindowGroup", "Lumaro", 0, &lumaro), kNoErr);
    ASSERT_EQ(menu->AddMenuGroupAsSubMenu("Lumaro", 0, lumaro, &group), kNoErr);
    AIMenuItemHandle toggle = nullptr;
    ASSERT_EQ(Add("Lumaro Menu Item", "Lumaro", "Show Lumaro Panel", 1, &toggle), kNoErr);
    EXPECT_EQ(Add("Lost", "No Such Group", "Lost", 0, nullptr), kNotFoundErr);

    EXPECT_EQ(host.Menu().Tree(),
              "[Tool Palettes]\n"
              "  \"Corvane Software\" key \"CorvaneSoftwareWindowGroup\" <TestPluginA>\n"
              "    [CorvaneSoftwareWindowGroup]\n"
              "      \"Lumaro\" key \"Lumaro\" <TestPluginA>\n"
              "        [Lumaro]\n"
              "          \"Show Lumaro Panel\" key \"Lumaro Menu Item\" (updates) <TestPluginA>\n"
              "  \"Other\" <TestPluginA>\n");
}

TEST_F(MenuSuiteTest, ItemTextIsSetAndReadThroughHostStrings) {
    AIMenuItemHandle item = nullptr;
    ASSERT_EQ(Add("Toggle", "Tool Palettes", "Show Lumaro Panel", 1, &item), kNoErr);
    AIUnicodeString label{nullptr};
    strings->Initialize(&label, "Hide Lumaro Panel", 17, 0);
    EXPECT_EQ(menu->SetItemText(item, &label), kNoErr);
    AIUnicodeString read{nullptr};
    EXPECT_EQ(menu->GetItemText(item, &read), kNoErr);
    const ASUnicode* units = nullptr;
    const ASUInt32 n = strings->GetUtf16(&read, &units);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(units), n), u"Hide Lumaro Panel");
    const char* key = nullptr;
    EXPECT_EQ(menu->GetMenuItemKeyName(item, &key), kNoErr);
    EXPECT_STREQ(key, "Toggle");
    int bogus = 0;
    EXPECT_EQ(menu->SetItemText(reinterpret_cast<AIMenuItemHandle>(&bogus), &label),
              kBadParameterErr);
    strings->Destroy(&label);
    strings->Destroy(&read);
}

}  // namespace
