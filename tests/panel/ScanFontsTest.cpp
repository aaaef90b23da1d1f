// The missing-font scan and the refresh over the simulated host's font list.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PanelScanTest.h"
#include "fontlist/font_list.h"
#include "fonts/FontLists.h"
#include "fontsuite/font_suite.h"
#include "frame/Suites.h"
#include "resources/PanelResourceIDs.h"

namespace {

using Strings = std::vector<std::string>;
using host::fontsuite::FontQuery;

constexpr char kInstalledFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

TEST_F(PanelScan, CountsAndButtonsFollowTheMissingFonts) {
    const struct {
        Strings missing;
        const char* status;
        const char* buttons;
    } cases[] = {
        {{}, "No missing fonts in opened documents", "0 0 0 0 0"},
        {{"Optima"}, "1 missing font(s) in opened documents", "1 0 0 0 0"},
        {{"Optima", "Frutiger", "Bodoni"}, "3 missing font(s) in opened documents", "1 0 0 0 0"},
    };
    ASSERT_NE(CreatePanel(), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        OpenDocument(c.missing);
        Press(kRefreshButton);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(Buttons(), c.buttons);
        EXPECT_EQ(Rows(kMissingList).size(), c.missing.size());
        EXPECT_EQ(g_fontitems.size(), c.missing.size());
        EXPECT_TRUE(Rows(kAvailableList).empty());
    }
}

TEST_F(PanelScan, InitAlreadyShowsTheMissingFonts) {
    OpenDocument({"Optima", "Frutiger"});
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_EQ(Status(), "2 missing font(s) in opened documents");
    EXPECT_EQ(Rows(kMissingList), Strings({"* Frutiger", "* Optima"}));
    EXPECT_EQ(Buttons(), "1 0 0 0 0");
}

TEST_F(PanelScan, RowsFollowTheNameOrderWhateverTheHostsOrder) {
    OpenDocument({"zeta", "Zapf", "beta", "_Univers", "Alpha", "9Times"});
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_EQ(Rows(kMissingList),
              Strings({"* 9Times", "* _Univers", "* Alpha", "* beta", "* Zapf", "* zeta"}));
    // Each row leads back to its record.
    ADMListRef list = g_admItem->GetList(g_admDialog->GetItem(Dialog(), kMissingList));
    for (ASInt32 i = 0; i < g_admList->NumberOfEntries(list); ++i) {
        EXPECT_EQ(g_admEntry->GetUserData(g_admList->IndexEntry(list, i)), g_fontitems[i]);
    }
}

TEST_F(PanelScan, RecordsCarryEveryNameAndTheTechnology) {
    OpenDocument({"Optima-Bold", "Frutiger", "KozMinPro"}, {{host::FontOutlines::Type1, false},
                                                            {host::FontOutlines::TrueType, false},
                                                            {host::FontOutlines::Type1, true}});
    ASSERT_NE(CreatePanel(), nullptr);
    ASSERT_EQ(RecordNames(), Strings({"Frutiger", "KozMinPro", "Optima-Bold"}));
    const struct {
        const char* technology;
    } expected[] = {{"TrueType"}, {"Character ID-keyed font"}, {"PostScript Type 1"}};
    for (std::size_t i = 0; i < g_fontitems.size(); ++i) {
        const CFontItem& item = *g_fontitems[i];
        SCOPED_TRACE(item.m_strName);
        const std::wstring name(item.m_strName.begin(), item.m_strName.end());
        EXPECT_TRUE(item.m_bMissing);
        EXPECT_EQ(item.m_strTechnology, expected[i].technology);
        EXPECT_EQ(item.m_strOutlines, "");
        for (const RecordWString* field :
             {&item.m_wstrNameA0, &item.m_wstrNameA1, &item.m_wstrNameB0, &item.m_wstrNameB1,
              &item.m_wstrNameC0, &item.m_wstrNameC1}) {
            EXPECT_EQ(std::wstring_view(*field), name);
        }
        EXPECT_EQ(item.m_wstrNameD, L"");  // a missing font has no style name
    }
}

TEST_F(PanelScan, AFontTheHostListsTwiceGivesTwoRecordsAndTwoRows) {
    OpenDocument({"Optima", "Frutiger"});
    m_fonts->ListTwice(1);  // "Optima", after "Frutiger" in the host's order
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_EQ(RecordNames(), Strings({"Frutiger", "Optima", "Optima"}));
    EXPECT_EQ(Rows(kMissingList), Strings({"* Frutiger", "* Optima", "* Optima"}));
    EXPECT_EQ(Status(), "3 missing font(s) in opened documents");
}

TEST_F(PanelScan, FontsOfWhichNoneIsMissingGiveNoRecordAndNoRow) {
    InstallFont(kInstalledFont);
    ASSERT_EQ(m_fonts->Count(), 1u);
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_TRUE(g_fontitems.empty());
    EXPECT_TRUE(Rows(kMissingList).empty());
    EXPECT_EQ(Status(), "No missing fonts in opened documents");
    EXPECT_EQ(Buttons(), "0 0 0 0 0");
}

TEST_F(PanelScan, AllFontsWhenNotOnlyTheMissingOnes) {
    InstallFont(kInstalledFont);
    OpenDocument({"Zeta", "Alpha"});
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_EQ(Rows(kMissingList), Strings({"* Alpha", "* Zeta"}));

    // The host lists its own font first; the panel orders by name.
    Panel()->ScanFonts(false);
    EXPECT_EQ(Rows(kMissingList), Strings({"* Alpha", "DejaVu Sans", "* Zeta"}));
    ASSERT_EQ(g_fontitems.size(), 3u);
    const CFontItem& installed = *g_fontitems[1];
    EXPECT_FALSE(installed.m_bMissing);
    EXPECT_EQ(installed.m_strName, "DejaVuSans");
    EXPECT_EQ(installed.m_wstrNameB0, L"DejaVu Sans");
    EXPECT_EQ(installed.m_wstrNameC0, L"DejaVu Sans");
    EXPECT_EQ(installed.m_wstrNameD, L"Book");
    EXPECT_EQ(installed.m_strTechnology, "OpenType");
    EXPECT_EQ(installed.m_strOutlines, "TT outlines");
}

TEST_F(PanelScan, AsksTenQuestionsPerListedFontAndTwoPerOtherFont) {
    InstallFont(kInstalledFont);
    OpenDocument({"Optima", "Frutiger"});
    ASSERT_NE(CreatePanel(), nullptr);
    const struct {
        FontQuery query;
        int calls;
    } expected[] = {
        {FontQuery::Count, 1},      {FontQuery::Index, 3},      {FontQuery::Info, 3},
        {FontQuery::NarrowName, 2}, {FontQuery::PostScript, 4}, {FontQuery::FullName, 4},
        {FontQuery::Family, 4},     {FontQuery::Style, 2},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(m_service->Calls(e.query), e.calls) << static_cast<int>(e.query);
    }
}

TEST_F(PanelScan, AFailingIndexOrInformationQueryEndsTheScanWithWhatItHad) {
    for (FontQuery query : {FontQuery::Index, FontQuery::Info}) {
        SCOPED_TRACE(query == FontQuery::Index ? "index" : "information");
        OpenDocument({"A1", "B2", "C3", "D4"});
        m_service->ClearFaults();
        m_service->Fail(query, 2, kBadParameterErr);
        ASSERT_NE(CreatePanel(), nullptr);
        EXPECT_EQ(Rows(kMissingList), Strings({"* A1", "* B2"}));
        // The count is not the whole, and the user is told so.
        EXPECT_EQ(Status(), "Only 2 missing font(s) could be listed; press Refresh to try again");
        EXPECT_TRUE(TakeAlerts().empty());
        DeletePanel();
    }
}

TEST_F(PanelScan, ACountTheHostDoesNotGiveListsNoFontsAndSaysSo) {
    OpenDocument({"A1", "B2"});
    m_service->Fail(FontQuery::Count, 0, kBadParameterErr);
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_TRUE(Rows(kMissingList).empty());
    EXPECT_EQ(Status(), "No missing fonts could be listed; press Refresh to try again");
    EXPECT_EQ(m_service->Calls(FontQuery::Index), 0);
}

TEST_F(PanelScan, FailedNameQueriesLeaveOnlyThatNameEmpty) {
    OpenDocument({"Optima"});
    m_service->Fail(FontQuery::NarrowName, 0, kBadParameterErr);
    m_service->Fail(FontQuery::FullName, 0, kBadParameterErr);
    m_service->Fail(FontQuery::Style, 0, kBadParameterErr);
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_EQ(Rows(kMissingList), Strings({"* "}));
    // The font has its row all the same: a name the host will not give is not reported.
    EXPECT_EQ(Status(), "1 missing font(s) in opened documents");
    ASSERT_EQ(g_fontitems.size(), 1u);
    EXPECT_EQ(g_fontitems[0]->m_strName, "");
    EXPECT_EQ(g_fontitems[0]->m_wstrNameB0, L"");
    EXPECT_EQ(g_fontitems[0]->m_wstrNameB1, L"");
    EXPECT_EQ(g_fontitems[0]->m_wstrNameA0, L"Optima");
    EXPECT_EQ(g_fontitems[0]->m_wstrNameC1, L"Optima");
}

TEST_F(PanelScan, NamesNeitherShownNorLookedUpLeaveTheListWhole) {
    OpenDocument({"Optima"});
    m_service->Fail(FontQuery::FullName, 0, kBadParameterErr);
    m_service->Fail(FontQuery::PostScript, 0, kBadParameterErr);
    m_service->Fail(FontQuery::Style, 0, kBadParameterErr);
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_EQ(Rows(kMissingList), Strings({"* Optima"}));
    EXPECT_EQ(Status(), "1 missing font(s) in opened documents");
}

TEST_F(PanelScan, NamesOf2000UnitsAreCut) {
    const std::string longName(2000, 'N');
    OpenDocument({longName});
    ASSERT_NE(CreatePanel(), nullptr);
    ASSERT_EQ(g_fontitems.size(), 1u);
    const CFontItem& item = *g_fontitems[0];
    EXPECT_EQ(std::string_view(item.m_strName), std::string(1023, 'N'));
    for (const RecordWString* field :
         {&item.m_wstrNameA0, &item.m_wstrNameA1, &item.m_wstrNameB0, &item.m_wstrNameB1,
          &item.m_wstrNameC0, &item.m_wstrNameC1}) {
        EXPECT_EQ(std::wstring_view(*field), std::wstring(1023, L'N'));
    }
    EXPECT_EQ(Rows(kMissingList), Strings({"* " + std::string(1023, 'N')}));
}

TEST_F(PanelScan, LongNamesAreCutOnWholeCharacters) {
    // U+1F600 is two UTF-16 units; the cut after 1023 units falls on its
    // first half, just before it or just after it.
    const struct {
        std::size_t before;  // characters ahead of it
        std::wstring kept;
    } cases[] = {
        {1022, std::wstring(1022, L'N')},
        {1021, std::wstring(1021, L'N') + L"\xD83D\xDE00"},
        {1023, std::wstring(1023, L'N')},
    };
    ASSERT_NE(CreatePanel(), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        OpenDocument({std::string(c.before, 'N') + "\xF0\x9F\x98\x80" + "tail"});
        Panel()->Refresh();
        ASSERT_EQ(g_fontitems.size(), 1u);
        const CFontItem& item = *g_fontitems[0];
        for (const RecordWString* field :
             {&item.m_wstrNameA0, &item.m_wstrNameA1, &item.m_wstrNameB0, &item.m_wstrNameB1,
              &item.m_wstrNameC0, &item.m_wstrNameC1}) {
            EXPECT_EQ(std::wstring_view(*field), c.kept);
        }
    }
}

TEST_F(PanelScan, NameDRaisingCostsOnlyThatName) {
    OpenDocument({"A1", "B2"});
    // Per font: six erases for names A to C, then one for D.
    m_host->Strings().FailNthCall(host::StringFunction::Erase, 7, kBadParameterErr);
    ASSERT_NE(CreatePanel(), nullptr);
    EXPECT_EQ(Rows(kMissingList), Strings({"* A1", "* B2"}));
    EXPECT_EQ(Status(), "2 missing font(s) in opened documents");
}

TEST_F(PanelScan, NamesAToCRaisingEndTheScanWithTheFontsReadSoFarShownCountedAndLookedUp) {
    ASSERT_NE(CreatePanel(), nullptr);
    OpenDocument({"A1", "B2", "C3"});
    m_plugin->m_pDlgNonModal = Panel();
    Offer("A1", "id-a");
    Offer("B2", "id-b");
    Offer("C3", "id-c");
    Press(kRefreshButton);
    Press(kFindButton);
    SelectAvailable({0});
    ASSERT_EQ(Buttons(), "1 1 1 1 1");

    // The second font's first erase (per font: six for names A to C, one for D).
    m_host->Strings().FailNthCall(host::StringFunction::Erase, 8, kBadParameterErr);
    Press(kRefreshButton);  // the exception ends at the panel's notification
    EXPECT_EQ(RecordNames(), Strings({"A1"}));
    EXPECT_EQ(Rows(kMissingList), Strings({"* A1"}));
    EXPECT_EQ(Status(), "Only 1 missing font(s) could be listed; press Refresh to try again");
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    EXPECT_EQ(Buttons(), "1 0 0 0 0");

    // Find looks up exactly the font the panel shows.
    const std::size_t callsBefore = Server()->calls().size();
    Press(kFindButton);
    Strings lookedUp;
    for (std::size_t i = callsBefore; i < Server()->calls().size(); ++i) {
        const RecordedCall& call = Server()->calls()[i];
        if (call.member != kDispIdMatchFont) continue;
        lookedUp.emplace_back(call.arguments[0].bstr.begin(), call.arguments[0].bstr.end());
    }
    EXPECT_EQ(lookedUp, Strings({"A1"}));
    EXPECT_EQ(Rows(kAvailableList), Strings({"A1"}));
}

TEST_F(PanelScan, NamesAToCRaisingOnTheFirstFontLeaveNothingToFind) {
    OpenDocument({"A1", "B2"});
    ASSERT_NE(CreatePanel(), nullptr);
    m_plugin->m_pDlgNonModal = Panel();
    ASSERT_EQ(Buttons(), "1 0 0 0 0");
    m_host->Strings().FailNthCall(host::StringFunction::Erase, 1, kBadParameterErr);
    Press(kRefreshButton);
    EXPECT_TRUE(g_fontitems.empty());
    EXPECT_TRUE(Rows(kMissingList).empty());
    EXPECT_EQ(Status(), "No missing fonts could be listed; press Refresh to try again");
    EXPECT_EQ(Buttons(), "0 0 0 0 0");
}

TEST_F(PanelScan, AnInitThatRaisesFailsTheCreationAndLeavesTheOwnerAPanelWithoutDialog) {
    OpenDocument({"A1"});
    m_host->Strings().FailNthCall(host::StringFunction::Erase, 1, kBadParameterErr);
    EXPECT_EQ(CreatePanel(), nullptr);
    ASSERT_NE(Panel(), nullptr);  // still the owner's to delete
    EXPECT_EQ(Panel()->GetDialogRef(), nullptr);
    EXPECT_TRUE(m_dialogs->Dialogs().empty());
    m_plugin->RequestPanelRefresh(true);
    DeletePanel();
    EXPECT_EQ(m_preferences->Size(), 0u);
}

TEST_F(PanelScan, ADocumentNotificationAfterFindEmptiesTheOffers) {
    OpenDocument({"Optima", "Frutiger"});
    ASSERT_NE(CreatePanel(), nullptr);
    Offer("Optima", "id-o");
    Press(kFindButton);
    EXPECT_EQ(Rows(kAvailableList), Strings({"Optima"}));
    EXPECT_EQ(Buttons(), "1 1 1 0 0");
    m_plugin->RequestPanelRefresh(true);
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    EXPECT_EQ(Buttons(), "1 0 0 0 0");
    EXPECT_EQ(Rows(kMissingList), Strings({"* Frutiger", "* Optima"}));
}

}  // namespace
