// A host that never initialised COM on the thread it calls the plug-in on: the plug-in
// makes no initialisation call of its own, so it cannot reach the font manager there.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "PanelHostTest.h"
#include "fonts/FontLists.h"
#include "frame/Suites.h"
#include "platform/emu/control.h"
#include "resources/PanelResourceIDs.h"

namespace {

using PanelWithoutCom = PanelHostTest;

TEST_F(PanelWithoutCom, EveryFontManagerCommandCannotConnectAndLeavesNothing) {
    ASSERT_NE(CreatePanel(), nullptr);
    SeedMissingFonts({"Alpha", "Beta"});
    Offer("Alpha", "id-Alpha");
    Offer("Beta", "id-Beta");
    LoadResult("id-Alpha", true);
    LoadResult("id-Beta", true);
    Press(kFindButton);
    ASSERT_EQ(Rows(kAvailableList).size(), 2u);
    SelectAvailable({0});
    EmuResetCounters();
    TakeAlerts();
    const LONG bstrs = EmuLiveBstrCount();
    const LONG references = EmuLiveProxyReferences();

    // Find last: it empties the offers before it connects.
    for (ASInt32 button :
         {kActivateButton, kInstallButton, kActivateAllButton, kInstallAllButton, kFindButton}) {
        SCOPED_TRACE("button " + std::to_string(button));
        g_admItem->SetText(g_admDialog->GetItem(Dialog(), kStatusText), "");
        // The user-interface thread of a host that made no COM initialisation call.
        std::thread uiThread([&] { Press(button); });
        uiThread.join();
        EXPECT_EQ(Status(), "Cannot connect to Glyvor");
        EXPECT_TRUE(TakeAlerts().empty());
        EXPECT_FALSE(g_glyvorConnection.IsConnected());
        EXPECT_EQ(EmuLiveProxyReferences(), references);
        EXPECT_EQ(EmuLiveBstrCount(), bstrs);
    }
    EXPECT_EQ(EmuServerObjectsCreated(), 0u);
    EXPECT_EQ(EmuInvokeTotal(), 0u);
    EXPECT_EQ(Broadcasts(), 0u);
    EXPECT_TRUE(Rows(kAvailableList).empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
}

}  // namespace
