// Base fixture: every test must leave as many live BSTRs and proxy references as it
// found, and no fault injected or connection held for the next test.
#pragma once

#include <gtest/gtest.h>

#include "fontmanager/GlyvorConnection.h"
#include "platform/emu/control.h"
#include "platform/win32.h"

class BalancedCountsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EmuClearFaults();
        EmuResetCounters();
        m_bstrsBefore = EmuLiveBstrCount();
        m_proxyReferencesBefore = EmuLiveProxyReferences();
        m_proxiesBefore = EmuLiveProxyCount();
    }
    void TearDown() override {
        g_glyvorConnection.ReleaseGlyvorConnection();
        EmuClearFaults();
        EXPECT_EQ(EmuLiveBstrCount(), m_bstrsBefore) << "BSTRs leaked or freed twice";
        EXPECT_EQ(EmuLiveProxyReferences(), m_proxyReferencesBefore) << "references unbalanced";
        EXPECT_EQ(EmuLiveProxyCount(), m_proxiesBefore) << "proxies left alive";
    }

private:
    LONG m_bstrsBefore = 0;
    LONG m_proxyReferencesBefore = 0;
    LONG m_proxiesBefore = 0;
};
