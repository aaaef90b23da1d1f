// The client against the stand-in font manager over real font files, reached through
// the emulated COM as on a user's machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BalancedCountsTest.h"
#include "MissingFonts.h"
#include "RealGlyvorMachine.h"
#include "fontmanager/FontLookup.h"
#include "fontmanager/GlyvorConnection.h"
#include "glyvor/automation.h"

namespace {

class GlyvorServerIntegration : public BalancedCountsTest {
protected:
    void SetUp() override {
        m_comInitialized = SUCCEEDED(CoInitialize(nullptr));
        ASSERT_TRUE(m_glyvor.failure().empty()) << m_glyvor.failure();
        BalancedCountsTest::SetUp();
    }
    void TearDown() override {
        ClearFontItems(m_missing);
        ClearAvailableItems(m_available);
        BalancedCountsTest::TearDown();  // releases g_glyvorConnection first
        m_glyvor.StopRunning();
        if (m_comInitialized) CoUninitialize();
    }

    void Missing(const std::vector<const char*>& names) { AddMissingFonts(m_missing, names); }
    GlyvorConnection* Connect() {
        std::wstring error;
        GlyvorConnection* connection = g_glyvorConnection.GetGlyvorConnection(error);
        EXPECT_NE(connection, nullptr) << std::string(error.begin(), error.end());
        return connection;
    }

    RealGlyvorMachine m_glyvor{{"truetype/liberation/LiberationSans-Bold.ttf",
                                "truetype/liberation/LiberationSerif-Regular.ttf",
                                "opentype/urw-base35/NimbusSans-Regular.otf"}};
    bool m_comInitialized = false;
    FontItemList m_missing;
    AvailableItemList m_available;
};

TEST(GlyvorContract, ThePluginCallsTheServersInterfaceAndMethods) {
    EXPECT_TRUE(IsEqualIID(IID_IGlyvor, glyvor::IID_IGlyvor));
    EXPECT_EQ(kDispIdMatchFont, glyvor::kDispidMatchFont);
    EXPECT_EQ(kDispIdGetFontState, glyvor::kDispidGetFontState);
    EXPECT_EQ(kDispIdLoadFont, glyvor::kDispidLoadFont);
}

TEST_F(GlyvorServerIntegration, FindThenActivateAndInstallAsThePanelDoes) {
    Missing({"LiberationSans-Bold", "NoSuchFont-Regular", "NimbusSans-Regular"});
    GlyvorConnection* connection = Connect();
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(EmuCreateInstanceCount(), 1u);
    EXPECT_TRUE(FindAvailableFonts(connection, m_missing, m_available));
    connection->ReleaseGlyvorConnection();
    EXPECT_EQ(m_glyvor.InvokeCount(5), 3u);

    ASSERT_EQ(m_available.size(), 2u);
    EXPECT_EQ(m_available[0]->m_wstrName, L"LiberationSans-Bold");
    EXPECT_EQ(m_available[0]->m_wstrFontId, L"Lib:LiberationSans-Bold.ttf#0");
    EXPECT_EQ(m_available[0]->m_wstrFontDetail, L"Lib: LiberationSans-Bold.ttf");
    EXPECT_EQ(m_available[1]->m_wstrName, L"NimbusSans-Regular");
    EXPECT_EQ(m_available[1]->m_wstrFontId, L"Lib:NimbusSans-Regular.otf#0");

    // Activate the first and install the second, on a fresh connection.
    connection = Connect();
    ASSERT_NE(connection, nullptr);
    std::wstring error;
    EXPECT_TRUE(connection->ActivateOrInstall(m_available[0]->m_wstrFontId, true, error));
    EXPECT_TRUE(connection->ActivateOrInstall(m_available[1]->m_wstrFontId, false, error));
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(m_glyvor.InvokeCount(3), 2u);
    ASSERT_EQ(m_glyvor.ActiveFonts().size(), 1u);
    EXPECT_NE(m_glyvor.ActiveFonts()[0].find("LiberationSans-Bold.ttf"), std::string::npos);
    EXPECT_TRUE(m_glyvor.IsInstalled("NimbusSans-Regular.otf"));

    // Both are now available: the state answers, and nothing is loaded again.
    EXPECT_TRUE(connection->ActivateOrInstall(m_available[0]->m_wstrFontId, true, error));
    EXPECT_TRUE(connection->ActivateOrInstall(m_available[1]->m_wstrFontId, true, error));
    EXPECT_EQ(m_glyvor.InvokeCount(3), 2u);
    EXPECT_EQ(m_glyvor.InvokeCount(10), 4u);
}

TEST_F(GlyvorServerIntegration, ARunningFontManagerIsReused) {
    ASSERT_TRUE(m_glyvor.StartRunning()) << m_glyvor.failure();
    EmuResetCounters();
    std::wstring fontId, detail;
    GlyvorConnection* connection = Connect();
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(EmuCreateInstanceCount(), 0u);
    EXPECT_EQ(EmuOleRunCount(), 0u);
    EXPECT_TRUE(connection->FindMatchingFont(L"Liberation Serif", fontId, detail));
    EXPECT_EQ(fontId, L"Lib:LiberationSerif-Regular.ttf#0");
}

TEST_F(GlyvorServerIntegration, TheServersRefusalReachesTheCaller) {
    GlyvorConnection* connection = Connect();
    ASSERT_NE(connection, nullptr);
    std::wstring error;
    EXPECT_FALSE(connection->ActivateOrInstall(L"Lib:Missing.ttf#0", true, error));
    EXPECT_NE(error.find(L"no font has this identifier"), std::wstring::npos);
}

TEST_F(GlyvorServerIntegration, ADyingServerEndsTheLookupKeepingEarlierMatches) {
    Missing({"LiberationSans-Bold", "LiberationSerif-Regular", "NimbusSans-Regular"});
    GlyvorConnection* connection = Connect();
    ASSERT_NE(connection, nullptr);
    EmuSetFaultInvoke(3, RPC_E_DISCONNECTED);
    EXPECT_THROW(FindAvailableFonts(connection, m_missing, m_available), _com_error);
    ASSERT_EQ(m_available.size(), 2u);
    EXPECT_EQ(m_available[1]->m_wstrName, L"LiberationSerif-Regular");
    // The command that failed keeps the reference; the next command reuses it.
    EXPECT_TRUE(g_glyvorConnection.IsConnected());
}

}  // namespace
