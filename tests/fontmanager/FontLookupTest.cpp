#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeGlyvorServer.h"
#include "MissingFonts.h"
#include "fontmanager/FontLookup.h"

namespace {

class FontLookup : public FakeGlyvorServerTest {
protected:
    void TearDown() override {
        ClearFontItems(m_missing);
        ClearAvailableItems(m_available);
        FakeGlyvorServerTest::TearDown();
    }

    void Missing(const std::vector<const char*>& names) { AddMissingFonts(m_missing, names); }
    FakeGlyvor* Connected() {
        FakeGlyvor* running = StartRunningInstance();
        std::wstring error;
        EXPECT_TRUE(m_connection.Connect(error));
        return running;
    }
    std::vector<std::wstring> AvailableNames() const {
        std::vector<std::wstring> names;
        for (const CFontItemAvailable* item : m_available)
            names.emplace_back(item->m_wstrName.begin(), item->m_wstrName.end());
        return names;
    }
    std::vector<std::u16string> AskedNames(const FakeGlyvor* glyvor) const {
        std::vector<std::u16string> names;
        for (const RecordedCall& call : glyvor->calls())
            if (call.member == kDispIdMatchFont) names.push_back(call.arguments[0].bstr);
        return names;
    }

    FontItemList m_missing;
    AvailableItemList m_available;
};

TEST_F(FontLookup, WithoutAUsableConnectionTheOldListIsEmptiedAndFalseReturned) {
    Missing({"Arial"});
    for (GlyvorConnection* connection : {static_cast<GlyvorConnection*>(nullptr), &m_connection}) {
        m_available.push_back(new CFontItemAvailable);
        EXPECT_FALSE(FindAvailableFonts(connection, m_missing, m_available));
        EXPECT_TRUE(m_available.empty());
    }
    EXPECT_EQ(EmuInvokeTotal(), 0u);
}

TEST_F(FontLookup, AnEmptyMissingListEmptiesTheAvailableListWithoutACall) {
    Connected();
    m_available.push_back(new CFontItemAvailable);
    m_available.push_back(nullptr);
    EXPECT_TRUE(FindAvailableFonts(&m_connection, m_missing, m_available));
    EXPECT_TRUE(m_available.empty());
    EXPECT_EQ(EmuInvokeTotal(), 0u);
}

TEST_F(FontLookup, MatchesKeepTheMissingListsOrderAndMissesGiveNoRecord) {
    FakeGlyvor* glyvor = Connected();
    glyvor->matches[u"Alpha"] = {u"id-alpha", u"Alpha Regular"};
    glyvor->matches[u"zeta"] = {u"id-zeta", u"Zeta Book"};
    glyvor->matches[u"beta"] = {u"id-beta", u"Beta Bold"};
    Missing({"Alpha", "beta", "Gamma", "zeta"});

    EXPECT_TRUE(FindAvailableFonts(&m_connection, m_missing, m_available));
    EXPECT_EQ(AskedNames(glyvor),
              (std::vector<std::u16string>{u"Alpha", u"beta", u"Gamma", u"zeta"}));
    EXPECT_EQ(AvailableNames(), (std::vector<std::wstring>{L"Alpha", L"beta", L"zeta"}));
    ASSERT_EQ(m_available.size(), 3u);
    const CFontItemAvailable& beta = *m_available[1];
    EXPECT_EQ(beta.m_wstrFontId, L"id-beta");
    EXPECT_EQ(beta.m_wstrFontDetail, L"Beta Bold");
    EXPECT_TRUE(beta.m_wstrAux1.empty());
    EXPECT_TRUE(beta.m_wstrAux2.empty());
    EXPECT_TRUE(beta.m_wstrAux3.empty());
    EXPECT_EQ(beta.m_nAux1, 0);
    EXPECT_EQ(beta.m_nAux2, 0);
}

TEST_F(FontLookup, DuplicateNamesAreAskedTwiceAndGiveTwoRecords) {
    FakeGlyvor* glyvor = Connected();
    glyvor->matches[u"Times"] = {u"id-times", u""};
    Missing({"Times", "Times"});
    EXPECT_TRUE(FindAvailableFonts(&m_connection, m_missing, m_available));
    EXPECT_EQ(glyvor->CallsTo(kDispIdMatchFont), 2u);
    EXPECT_EQ(AvailableNames(), (std::vector<std::wstring>{L"Times", L"Times"}));
}

TEST_F(FontLookup, EmptyNamesAndNullRecordsAreNotAsked) {
    FakeGlyvor* glyvor = Connected();
    glyvor->matches[u"Helvetica"] = {u"id-h", u""};
    Missing({"", "Helvetica"});
    m_missing.insert(m_missing.begin() + 1, nullptr);
    EXPECT_TRUE(FindAvailableFonts(&m_connection, m_missing, m_available));
    EXPECT_EQ(AskedNames(glyvor), (std::vector<std::u16string>{u"Helvetica"}));
    EXPECT_EQ(AvailableNames(), (std::vector<std::wstring>{L"Helvetica"}));
}

TEST_F(FontLookup, NamesAreConvertedFromTheThreadsAnsiCodePage) {
    FakeGlyvor* glyvor = Connected();
    glyvor->matches[u"Caf\u00E9 Sans"] = {u"id-cafe", u""};
    ASSERT_TRUE(EmuSetThreadCodePage(1252));
    Missing({"Caf\xE9 Sans"});
    EXPECT_TRUE(FindAvailableFonts(&m_connection, m_missing, m_available));
    EXPECT_EQ(AvailableNames(), (std::vector<std::wstring>{L"Caf\u00E9 Sans"}));
}

TEST_F(FontLookup, AFailingCallMidwayKeepsWhatWasAppended) {
    struct Case {
        ULONG failingCall;
        std::vector<std::wstring> kept;
    };
    const std::vector<Case> cases = {
        {1, {}},
        {2, {L"A"}},
        {3, {L"A"}},  // the second font found no match before the third call failed
        {4, {L"A", L"C"}},
    };
    FakeGlyvor* glyvor = Connected();
    for (const char16_t* name : {u"A", u"C", u"D"}) glyvor->matches[name] = {name, u""};
    Missing({"A", "B", "C", "D"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failingCall);
        EmuSetFaultInvoke(c.failingCall, RPC_E_DISCONNECTED);
        try {
            FindAvailableFonts(&m_connection, m_missing, m_available);
            ADD_FAILURE() << "no exception";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), RPC_E_DISCONNECTED);
        }
        EXPECT_EQ(AvailableNames(), c.kept);
        EXPECT_TRUE(m_connection.IsConnected());
        EmuClearFaults();
    }
}

}  // namespace
