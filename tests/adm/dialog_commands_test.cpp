#include "host/adm/dialog_commands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/adm/adm_suites.h"
#include "template_builder.h"

namespace {

SPPluginRef const kPlugin = reinterpret_cast<SPPluginRef>(0x1000);
std::vector<std::string> g_seen;

void HOSTAPI Record(ADMDialogRef, ADMNotifierRef n) {
    char type[64];
    host::adm::NotifierSuite().GetNotifierType(n, type, sizeof type);
    ADMItemRef item = host::adm::NotifierSuite().GetItem(n);
    g_seen.push_back(std::string(type) + " " +
                     std::to_string(item ? host::adm::ItemSuite().GetID(item) : -1));
}

class DialogCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        env.Add(kPlugin, host::adm::ResourceType::Number(5), 1, adm_test::SmallPanelTemplate());
        dialog = host::adm::DialogSuite().Create(kPlugin, "Small", 1, 3, nullptr, nullptr, 0);
        host::adm::DialogSuite().SetNotifyProc(dialog, Record);
        ADMListRef list =
            host::adm::ItemSuite().GetList(host::adm::DialogSuite().GetItem(dialog, 18));
        for (int i = 0; i < 3; ++i) host::adm::ListSuite().InsertEntry(list, i);
    }
    // Runs one command line's words; answers success, output in `out`.
    bool Run(std::vector<std::string> words) {
        out.str("");
        const host::adm::DialogCommand* c = host::adm::FindDialogCommand(words[0]);
        if (c == nullptr) return false;
        words.erase(words.begin());
        EXPECT_EQ(words.size(), c->argumentCount) << c->name;
        return c->run(manager, out, words);
    }
    adm_test::ResourceEnvironment env;
    host::adm::DialogManager manager{env};
    ADMDialogRef dialog = nullptr;
    std::ostringstream out;
};

TEST_F(DialogCommandsTest, WordsDriveTheUsersActions) {
    EXPECT_TRUE(Run({"press", "Small", "Refresh"}));
    EXPECT_TRUE(Run({"press", "Small", "19"}));
    EXPECT_TRUE(Run({"select", "Small", "18", "2"}));
    EXPECT_TRUE(Run({"select", "Small", "18", "none"}));
    EXPECT_TRUE(Run({"close", "Small"}));
    EXPECT_EQ(g_seen, (std::vector<std::string>{
                          "ADM User Changed Notifier 11", "ADM User Changed Notifier 19",
                          "ADM User Changed Notifier 18", "ADM User Changed Notifier 18",
                          "ADM Close Hit Notifier -1"}));
    EXPECT_TRUE(Run({"show", "Small"}));
    EXPECT_TRUE(Run({"dialog", "Small"}));
    EXPECT_EQ(out.str().rfind("dialog \"Small\" 1 visible\n", 0), 0u) << out.str();
    EXPECT_TRUE(Run({"group", "Small", "Type", "65536"}));
    const char* group = nullptr;
    ASInt32 code = 0;
    host::adm::DialogGroupSuite().GetDialogGroupInfo(dialog, &group, &code);
    EXPECT_STREQ(group, "Type");
    EXPECT_EQ(code, kADMDockedPositionCode);
    EXPECT_TRUE(Run({"dialogs"}));
    EXPECT_EQ(out.str(), "\"Small\" 1\n");
}

TEST_F(DialogCommandsTest, ImpossibleActionsFailWithAReason) {
    struct Case {
        std::vector<std::string> words;
        const char* says;
    };
    const Case cases[] = {
        {{"press", "Nope", "11"}, "no dialog named \"Nope\""},
        {{"press", "Small", "Missing"}, "no button \"Missing\""},
        {{"press", "Small", "99"}, "has no item 99"},
        {{"select", "Small", "18", "0,1"}, "takes one selected row"},
        {{"select", "Small", "18", "7"}, "has no row 7"},
        {{"select", "Small", "18", "1,x"}, "not a list of rows"},
        {{"select", "Small", "x", "1"}, "not a list item ID"},
        {{"group", "Small", "G", "docked"}, "not a position code"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Run(c.words)) << c.says;
        EXPECT_NE(out.str().find(c.says), std::string::npos) << out.str();
    }
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(host::adm::FindDialogCommand("fly"), nullptr);
}

}  // namespace
