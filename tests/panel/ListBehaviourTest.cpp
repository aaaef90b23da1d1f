// The panel against dialog managers that differ where real ones do: one that
// refuses to remove list rows, one that keeps a list's active row when the user
// empties the selection. Whatever the host does, the buttons offer exactly what
// the commands can do, and no row shows or leads to a font the panel dropped.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PanelScanTest.h"
#include "fontmanager/GlyvorConnection.h"
#include "host/adm/dialog_manager.h"
#include "resources/PanelResourceIDs.h"

namespace {

using Strings = std::vector<std::string>;

struct ListBehaviour {
    const char* name;
    bool refusesRemoval;
    bool keepsActiveEntry;
};

std::ostream& operator<<(std::ostream& out, const ListBehaviour& b) { return out << b.name; }

const ListBehaviour kBehaviours[] = {
    {"ordinary", false, false},
    {"refuses_removal", true, false},
    {"keeps_active_entry", false, true},
    {"refuses_removal_and_keeps_active_entry", true, true},
};

class PanelOnListBehaviour : public PanelScan, public ::testing::WithParamInterface<ListBehaviour> {
protected:
    void SetUp() override {
        PanelScan::SetUp();
        m_dialogs->SetRefusesRemoval(GetParam().refusesRemoval);
        m_dialogs->SetKeepsActiveEntry(GetParam().keepsActiveEntry);
    }

    // Three missing fonts, each offered by the font manager, found.
    void FindThree() {
        OpenDocument({"Alpha", "Beta", "Gamma"});
        ASSERT_NE(CreatePanel(), nullptr);
        Offer("Alpha", "id-a");
        Offer("Beta", "id-b");
        Offer("Gamma", "id-c");
        for (const char* id : {"id-a", "id-b", "id-c"}) LoadResult(id, true);
        Press(kFindButton);
        ASSERT_EQ(Rows(kAvailableList), Strings({"Alpha", "Beta", "Gamma"}));
        ASSERT_EQ(Buttons(), "1 1 1 0 0");
    }
    // What the font manager was asked to load since `from` of its calls.
    Strings LoadedSince(std::size_t from) const {
        Strings loaded;
        for (std::size_t i = from; i < Server()->calls().size(); ++i) {
            const RecordedCall& call = Server()->calls()[i];
            if (call.member != kDispIdLoadFont) continue;
            loaded.emplace_back(call.arguments[0].bstr.begin(), call.arguments[0].bstr.end());
        }
        return loaded;
    }
    ADMListRef ListOf(ASInt32 listID) const {
        return g_admItem->GetList(g_admDialog->GetItem(Dialog(), listID));
    }
    // The rows beyond the first `shown` are the ones the host would not remove:
    // blank, disabled, unselected and leading nowhere. The others lead to the
    // records of `records`, in order.
    template <typename Record>
    void ExpectRows(ASInt32 listID, const std::vector<Record*>& records) const {
        ADMListRef list = ListOf(listID);
        const ASInt32 count = g_admList->NumberOfEntries(list);
        ASSERT_GE(count, static_cast<ASInt32>(records.size()));
        if (!GetParam().refusesRemoval) {
            EXPECT_EQ(count, static_cast<ASInt32>(records.size()));
        }
        for (ASInt32 i = 0; i < count; ++i) {
            SCOPED_TRACE("row " + std::to_string(i));
            ADMEntryRef entry = g_admList->IndexEntry(list, i);
            if (static_cast<std::size_t>(i) < records.size()) {
                EXPECT_EQ(g_admEntry->GetUserData(entry), records[i]);
                EXPECT_TRUE(g_admEntry->IsEnabled(entry));
                continue;
            }
            EXPECT_EQ(g_admEntry->GetUserData(entry), nullptr);
            EXPECT_EQ(g_admEntry->GetTextLength(entry), 0);
            EXPECT_FALSE(g_admEntry->IsEnabled(entry));
            EXPECT_FALSE(g_admEntry->IsSelected(entry));
        }
    }
    // The rows the user reads, blank kept rows left out.
    Strings Shown(ASInt32 listID) const {
        Strings rows = Rows(listID);
        rows.erase(std::remove(rows.begin(), rows.end(), std::string()), rows.end());
        return rows;
    }
    // The commands asked for directly, as a host may deliver a click the
    // buttons' states did not foresee.
    Strings CommandAlertsWithoutConnecting() {
        const std::size_t calls = Server()->calls().size();
        Panel()->ActivateOrInstallFonts(true, false);
        Panel()->ActivateOrInstallFonts(false, true);
        EXPECT_EQ(Server()->calls().size(), calls);
        EXPECT_FALSE(g_glyvorConnection.IsConnected());
        return TakeAlerts();
    }
};

TEST_P(PanelOnListBehaviour, ActivateAndInstallAreOfferedExactlyWhileRowsAreSelected) {
    FindThree();
    SelectAvailable({1});
    EXPECT_EQ(Buttons(), "1 1 1 1 1");
    SelectAvailable({});
    EXPECT_EQ(Buttons(), "1 1 1 0 0");
    const std::size_t calls = Server()->calls().size();
    Panel()->ActivateOrInstallFonts(true, false);
    EXPECT_EQ(TakeAlerts(), Strings({"No items are selected"}));
    EXPECT_EQ(Server()->calls().size(), calls);

    SelectAvailable({2});
    EXPECT_EQ(Buttons(), "1 1 1 1 1");
    Press(kInstallButton);
    EXPECT_EQ(LoadedSince(calls), Strings({"id-c"}));
    EXPECT_EQ(Status(), "1 font has been activated or installed");
}

TEST_P(PanelOnListBehaviour, RowsTheHostKeepsShowAndOfferNothingAndAreTakenBack) {
    FindThree();
    SelectAvailable({1});

    // One font left missing: the refresh cannot remove every row.
    OpenDocument({"Beta"});
    Press(kRefreshButton);
    EXPECT_EQ(Status(), "1 missing font(s) in opened documents");
    EXPECT_EQ(Shown(kMissingList), Strings({"* Beta"}));
    ExpectRows(kMissingList, g_fontitems);
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    ExpectRows(kAvailableList, g_fontitemsAvailable);
    EXPECT_EQ(g_admList->NumberOfSelectedEntries(ListOf(kAvailableList)), 0);
    EXPECT_EQ(g_admList->GetActiveEntry(ListOf(kAvailableList)), nullptr);
    EXPECT_EQ(Buttons(), "1 0 0 0 0");
    EXPECT_EQ(CommandAlertsWithoutConnecting(),
              Strings({"No items are selected", "The list is empty"}));
    if (GetParam().refusesRemoval) {
        EXPECT_THROW(SelectAvailable({1}), host::adm::ActionError);  // a kept row
    }

    // Find fills the kept rows first.
    Press(kFindButton);
    EXPECT_EQ(Status(), "1 font has been found");
    EXPECT_EQ(Shown(kAvailableList), Strings({"Beta"}));
    EXPECT_EQ(Rows(kAvailableList).front(), "Beta");
    ExpectRows(kAvailableList, g_fontitemsAvailable);
    EXPECT_EQ(Buttons(), "1 1 1 0 0");
    const std::size_t calls = Server()->calls().size();
    SelectAvailable({0});
    Press(kActivateButton);
    EXPECT_EQ(LoadedSince(calls), Strings({"id-b"}));
    EXPECT_EQ(Status(), "1 font has been activated or installed");

    // No missing font at all: nothing to find, whatever rows stay.
    OpenDocument({});
    Press(kRefreshButton);
    EXPECT_EQ(Status(), "No missing fonts in opened documents");
    EXPECT_TRUE(Shown(kMissingList).empty());
    ExpectRows(kMissingList, g_fontitems);
    EXPECT_EQ(Buttons(), "0 0 0 0 0");
    EXPECT_THROW(Press(kFindButton), host::adm::ActionError);
}

INSTANTIATE_TEST_SUITE_P(ListBehaviours, PanelOnListBehaviour, ::testing::ValuesIn(kBehaviours),
                         [](const ::testing::TestParamInfo<ListBehaviour>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
