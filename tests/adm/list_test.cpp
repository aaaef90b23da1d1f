#include <gtest/gtest.h>

#include "host/adm/adm_suites.h"
#include "host/adm/dialog_manager.h"
#include "template_builder.h"

namespace {

SPPluginRef const kPlugin = reinterpret_cast<SPPluginRef>(0x1000);
constexpr std::uint32_t kLbsExtendedSel = 0x0800;

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Add(kPlugin, host::adm::ResourceType::Number(5), 100,
                adm_test::TemplateBuilder()
                    .Dialog(0x80C80080, 100, 100, "L")
                    .Item(18, 0, "ADM List Box Type", "", 0, 0, 90, 40)
                    .Item(14, 0x0083, "", "", 0, 50, 90, 40, 0x50010000 | kLbsExtendedSel)
                    .Build());
        dialog = dlg.Create(kPlugin, "L", 100, 3, nullptr, nullptr, 0);
        ASSERT_NE(dialog, nullptr);
        single = itm.GetList(dlg.GetItem(dialog, 18));
        multi = itm.GetList(dlg.GetItem(dialog, 14));
        ASSERT_NE(single, nullptr);
        ASSERT_NE(multi, nullptr);
    }
    // Appends rows the way the panel does: at the index equal to the count.
    void Fill(ADMListRef list, std::initializer_list<const char*> texts) {
        for (const char* t : texts)
            ent.SetText(lst.InsertEntry(list, lst.NumberOfEntries(list)), t);
    }
    std::string Texts(ADMListRef list) {
        std::string out;
        for (ASInt32 i = 0; i < lst.NumberOfEntries(list); ++i) {
            char buf[32];
            ent.GetText(lst.IndexEntry(list, i), buf, sizeof buf);
            out += std::string(out.empty() ? "" : ",") + buf;
        }
        return out;
    }

    adm_test::ResourceEnvironment env;
    host::adm::DialogManager manager{env};
    const ADMDialogSuite10& dlg = host::adm::DialogSuite();
    const ADMItemSuite7& itm = host::adm::ItemSuite();
    const ADMListSuite1& lst = host::adm::ListSuite();
    const ADMEntrySuite2& ent = host::adm::EntrySuite();
    ADMDialogRef dialog = nullptr;
    ADMListRef single = nullptr;
    ADMListRef multi = nullptr;
};

TEST_F(ListTest, InsertAtAnyIndexFromZeroToCount) {
    EXPECT_EQ(lst.NumberOfEntries(single), 0);
    Fill(single, {"b", "d"});
    ent.SetText(lst.InsertEntry(single, 0), "a");
    ent.SetText(lst.InsertEntry(single, 2), "c");
    EXPECT_EQ(Texts(single), "a,b,c,d");
    EXPECT_EQ(lst.InsertEntry(single, 5), nullptr);
    EXPECT_EQ(lst.InsertEntry(single, -1), nullptr);
    EXPECT_EQ(lst.IndexEntry(single, 4), nullptr);
    EXPECT_EQ(lst.IndexEntry(single, -1), nullptr);
    EXPECT_EQ(ent.GetIndex(lst.IndexEntry(single, 2)), 2);
    EXPECT_EQ(ent.GetList(lst.IndexEntry(single, 2)), single);
    EXPECT_EQ(lst.GetItem(single), dlg.GetItem(dialog, 18));
    EXPECT_EQ(lst.FindEntry(single, "c"), lst.IndexEntry(single, 2));
    EXPECT_EQ(lst.FindEntry(single, "z"), nullptr);
}

TEST_F(ListTest, RemoveFromLastToFirstEmptiesTheList) {
    Fill(single, {"a", "b", "c"});
    lst.RemoveEntry(single, 1);
    EXPECT_EQ(Texts(single), "a,c");
    while (lst.NumberOfEntries(single) > 0)
        lst.RemoveEntry(single, lst.NumberOfEntries(single) - 1);
    EXPECT_EQ(lst.NumberOfEntries(single), 0);
    lst.RemoveEntry(single, 0);  // out of range: ignored
    EXPECT_EQ(lst.NumberOfEntries(single), 0);
}

TEST_F(ListTest, EntryTextAndUserData) {
    Fill(single, {"x"});
    ADMEntryRef e = lst.IndexEntry(single, 0);
    int record = 0;
    ent.SetUserData(e, &record);
    EXPECT_EQ(ent.GetUserData(e), &record);
    std::string longText(600, 'n');
    ent.SetText(e, longText.c_str());
    EXPECT_EQ(ent.GetTextLength(e), 600);
    char buf[512];
    ent.GetText(e, buf, sizeof buf);
    EXPECT_EQ(std::string(buf), std::string(511, 'n'));
}

TEST_F(ListTest, UserSelectionSetsSelectedAndActiveEntries) {
    Fill(single, {"a", "b", "c"});
    EXPECT_EQ(lst.GetActiveEntry(single), nullptr);
    EXPECT_EQ(lst.NumberOfSelectedEntries(single), 0);
    manager.SelectRows(dialog, 18, {2});
    EXPECT_EQ(lst.GetActiveEntry(single), lst.IndexEntry(single, 2));
    EXPECT_EQ(lst.NumberOfSelectedEntries(single), 1);
    EXPECT_EQ(lst.IndexSelectedEntry(single, 0), lst.IndexEntry(single, 2));
    EXPECT_EQ(lst.IndexSelectedEntry(single, 1), nullptr);
    EXPECT_TRUE(ent.IsSelected(lst.IndexEntry(single, 2)));
    EXPECT_TRUE(ent.IsActive(lst.IndexEntry(single, 2)));
    // A plain list box takes one row.
    EXPECT_THROW(manager.SelectRows(dialog, 18, {0, 1}), host::adm::ActionError);
    EXPECT_THROW(manager.SelectRows(dialog, 18, {3}), host::adm::ActionError);
    manager.SelectRows(dialog, 18, {});
    EXPECT_EQ(lst.GetActiveEntry(single), nullptr);
    EXPECT_EQ(lst.NumberOfSelectedEntries(single), 0);
}

TEST_F(ListTest, MultipleSelectionCountsInListOrder) {
    Fill(multi, {"a", "b", "c", "d"});
    manager.SelectRows(dialog, 14, {3, 1});
    EXPECT_EQ(lst.NumberOfSelectedEntries(multi), 2);
    EXPECT_EQ(lst.IndexSelectedEntry(multi, 0), lst.IndexEntry(multi, 1));
    EXPECT_EQ(lst.IndexSelectedEntry(multi, 1), lst.IndexEntry(multi, 3));
    EXPECT_EQ(lst.IndexSelectedEntry(multi, -1), nullptr);
    EXPECT_EQ(lst.GetActiveEntry(multi), lst.IndexEntry(multi, 1));  // the last one chosen
}

TEST_F(ListTest, SelectOnAPlainListKeepsOneSelected) {
    Fill(single, {"a", "b"});
    ent.Select(lst.IndexEntry(single, 0), true);
    ent.Select(lst.IndexEntry(single, 1), true);
    EXPECT_EQ(lst.NumberOfSelectedEntries(single), 1);
    Fill(multi, {"a", "b"});
    ent.Select(lst.IndexEntry(multi, 0), true);
    ent.Select(lst.IndexEntry(multi, 1), true);
    EXPECT_EQ(lst.NumberOfSelectedEntries(multi), 2);
    ent.Activate(lst.IndexEntry(single, 0), true);
    EXPECT_EQ(lst.GetActiveEntry(single), lst.IndexEntry(single, 0));
    EXPECT_TRUE(ent.IsSelected(lst.IndexEntry(single, 0)));
    ent.Activate(lst.IndexEntry(single, 0), false);
    EXPECT_EQ(lst.GetActiveEntry(single), nullptr);
}

TEST_F(ListTest, RemovingTheActiveEntryLeavesNoneActiveAndItsReferenceStale) {
    Fill(single, {"a", "b"});
    manager.SelectRows(dialog, 18, {1});
    ADMEntryRef removed = lst.IndexEntry(single, 1);
    lst.RemoveEntry(single, 1);
    EXPECT_EQ(lst.GetActiveEntry(single), nullptr);
    EXPECT_EQ(lst.NumberOfSelectedEntries(single), 0);
    // The host ignores the stale reference instead of touching freed memory.
    ent.SetText(removed, "gone");
    EXPECT_EQ(ent.GetUserData(removed), nullptr);
    EXPECT_FALSE(manager.Problems().empty());
}

TEST_F(ListTest, AManagerThatRefusesRemovalsKeepsEveryEntryAsItWas) {
    Fill(multi, {"a", "b", "c"});
    manager.SelectRows(dialog, 14, {1});
    int record = 0;
    ent.SetUserData(lst.IndexEntry(multi, 1), &record);
    manager.SetRefusesRemoval(true);
    for (ASInt32 index : {2, 1, 0}) lst.RemoveEntry(multi, index);
    EXPECT_EQ(Texts(multi), "a,b,c");
    EXPECT_EQ(lst.GetActiveEntry(multi), lst.IndexEntry(multi, 1));
    EXPECT_EQ(lst.NumberOfSelectedEntries(multi), 1);
    EXPECT_EQ(ent.GetUserData(lst.IndexEntry(multi, 1)), &record);
    EXPECT_TRUE(manager.Problems().empty());  // a refusal, not a misuse
    manager.SetRefusesRemoval(false);
    lst.RemoveEntry(multi, 1);
    EXPECT_EQ(Texts(multi), "a,c");
    EXPECT_EQ(lst.GetActiveEntry(multi), nullptr);
}

TEST_F(ListTest, EmptyingTheSelectionClearsOrKeepsTheActiveEntry) {
    for (bool keeps : {false, true}) {
        SCOPED_TRACE(keeps ? "keeps" : "clears");
        manager.SetKeepsActiveEntry(keeps);
        Fill(multi, {"a", "b"});
        manager.SelectRows(dialog, 14, {0, 1});
        manager.SelectRows(dialog, 14, {});
        EXPECT_EQ(lst.NumberOfSelectedEntries(multi), 0);
        EXPECT_EQ(lst.GetActiveEntry(multi), keeps ? lst.IndexEntry(multi, 1) : nullptr);
        // Choosing rows again makes the last one active in either case.
        manager.SelectRows(dialog, 14, {0});
        EXPECT_EQ(lst.GetActiveEntry(multi), lst.IndexEntry(multi, 0));
        while (lst.NumberOfEntries(multi) > 0) lst.RemoveEntry(multi, 0);
        EXPECT_EQ(lst.GetActiveEntry(multi), nullptr);
    }
}

TEST_F(ListTest, ItemsOfADestroyedDialogAreStale) {
    Fill(single, {"a"});
    ADMEntryRef e = lst.IndexEntry(single, 0);
    dlg.Destroy(dialog);
    EXPECT_EQ(lst.NumberOfEntries(single), 0);
    EXPECT_EQ(lst.InsertEntry(single, 0), nullptr);
    EXPECT_EQ(ent.GetTextLength(e), 0);
}

}  // namespace
