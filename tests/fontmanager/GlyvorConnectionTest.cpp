#include <gtest/gtest.h>

#include <vector>

#include "FakeGlyvorServer.h"
#include "fontmanager/GlyvorConnection.h"

namespace {

using GlyvorConnect = FakeGlyvorServerTest;

TEST_F(GlyvorConnect, ReusesARunningInstanceAndCreatesNothing) {
    FakeGlyvor* running = StartRunningInstance();
    std::wstring error = L"untouched";
    ASSERT_TRUE(m_connection.Connect(error));
    EXPECT_TRUE(m_connection.IsConnected());
    EXPECT_EQ(error, L"untouched");
    EXPECT_EQ(EmuGetActiveObjectCount(), 1u);
    EXPECT_EQ(EmuCreateInstanceCount(), 0u);
    EXPECT_EQ(EmuServerObjectsCreated(), 0u);
    EXPECT_EQ(EmuOleRunCount(), 0u);
    EXPECT_EQ(Created(), nullptr);
    // Exactly one reference is held while connected: the IGlyvor one.
    EXPECT_EQ(EmuLiveProxyReferences(), 1);

    std::wstring fontId, detail;
    running->matches[u"Optima"] = {u"id-1", u"d"};
    EXPECT_TRUE(m_connection.FindMatchingFont(L"Optima", fontId, detail));
    EXPECT_EQ(running->CallsTo(kDispIdMatchFont), 1u);

    m_connection.ReleaseGlyvorConnection();
    EXPECT_FALSE(m_connection.IsConnected());
    EXPECT_EQ(EmuLiveProxyReferences(), 0);
}

TEST_F(GlyvorConnect, CreatesAndRunsAnInstanceWhenNoneIsRunning) {
    std::wstring error;
    ASSERT_TRUE(m_connection.Connect(error));
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(EmuCreateInstanceCount(), 1u);
    EXPECT_EQ(EmuCreateInstanceContext(0), static_cast<DWORD>(CLSCTX_ALL));
    EXPECT_EQ(EmuOleRunCount(), 1u);
    ASSERT_NE(Created(), nullptr);
    EXPECT_EQ(EmuLiveProxyReferences(), 1);
}

TEST_F(GlyvorConnect, UnregisteredClassFailsWithItsText) {
    for (bool byFault : {true, false}) {
        SCOPED_TRACE(byFault ? "lookup fault" : "class unregistered");
        if (byFault)
            EmuSetFaultClassNotRegistered(TRUE);
        else
            EmuUnregisterClass("Glyvor.Document");
        std::wstring error;
        EXPECT_FALSE(m_connection.Connect(error));
        EXPECT_EQ(error, L"Glyvor.Document object was not registered");
        EXPECT_FALSE(m_connection.IsConnected());
        EXPECT_EQ(EmuCreateInstanceCount(), 0u);
        EXPECT_EQ(EmuGetActiveObjectCount(), 0u);
        EXPECT_EQ(m_connection.GetGlyvorConnection(error), nullptr);
        EmuClearFaults();
    }
}

TEST_F(GlyvorConnect, InvalidArgumentForAllContextsIsRetriedOnceWithoutRemote) {
    struct Case {
        const char* name;
        bool rejectRemote;
        HRESULT createFault;
        std::vector<DWORD> contexts;
        bool connects;
    };
    const std::vector<Case> cases = {
        {"remote refused, local works", true, S_OK, {0x17, 0x7}, true},
        {"invalid argument for every context", false, E_INVALIDARG, {0x17, 0x7}, false},
        {"class not registered for creation", false, REGDB_E_CLASSNOTREG, {0x17}, false},
        {"out of memory", false, E_OUTOFMEMORY, {0x17}, false},
        {"server failed to start", false, CO_E_SERVER_EXEC_FAILURE, {0x17}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmuResetCounters();
        EmuSetFaultRejectRemoteContext(c.rejectRemote ? TRUE : FALSE);
        EmuSetFaultCreateInstance(c.createFault);
        std::wstring error;
        EXPECT_EQ(m_connection.Connect(error), c.connects);
        EXPECT_EQ(m_connection.IsConnected(), c.connects);
        ASSERT_EQ(EmuCreateInstanceCount(), c.contexts.size());
        for (size_t i = 0; i < c.contexts.size(); ++i)
            EXPECT_EQ(EmuCreateInstanceContext(static_cast<ULONG>(i)), c.contexts[i]);
        EXPECT_EQ(error, c.connects ? L"" : L"Cannot create Glyvor object");
        EXPECT_EQ(EmuOleRunCount(), c.connects ? 1u : 0u);
        m_connection.ReleaseGlyvorConnection();
        EmuClearFaults();
    }
}

TEST_F(GlyvorConnect, OleRunFailureLeavesTheErrorTextAsItWas) {
    for (const wchar_t* given : {L"", L"earlier text"}) {
        EmuSetFaultOleRun(E_FAIL);
        std::wstring error = given;
        EXPECT_FALSE(m_connection.Connect(error));
        EXPECT_EQ(error, given);
        EXPECT_FALSE(m_connection.IsConnected());
        EXPECT_EQ(EmuCreateInstanceCount() > 0, true);
        // The object that would not run has been let go.
        EXPECT_EQ(EmuLiveProxyReferences(), 0);
    }
}

TEST_F(GlyvorConnect, RunningInstanceRefusingAnInterfaceFailsWithItsText) {
    struct Case {
        const char* name;
        const IID* refused;
        const wchar_t* expected;
    };
    const std::vector<Case> cases = {
        {"no IDispatch", &IID_IDispatch, L"Failed to query Glyvor dispatch interface"},
        {"no IGlyvor", &IID_IGlyvor, L"Cannot query IGlyvor"},
    };
    StartRunningInstance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmuResetCounters();
        EmuSetFaultQueryInterface(*c.refused, E_NOINTERFACE);
        std::wstring error;
        EXPECT_FALSE(m_connection.Connect(error));
        EXPECT_EQ(error, c.expected);
        EXPECT_FALSE(m_connection.IsConnected());
        EXPECT_EQ(EmuLiveProxyReferences(), 0);
        // A running instance that answers badly is not replaced by a new one.
        EXPECT_EQ(EmuCreateInstanceCount(), 0u);
        EmuClearFaults();
    }
}

TEST_F(GlyvorConnect, CreatedInstanceWithoutIGlyvorFailsWithItsText) {
    EmuSetFaultQueryInterface(IID_IGlyvor, E_NOINTERFACE);
    std::wstring error;
    EXPECT_FALSE(m_connection.Connect(error));
    EXPECT_EQ(error, L"Cannot query IGlyvor");
    EXPECT_FALSE(m_connection.IsConnected());
    EXPECT_EQ(EmuCreateInstanceCount(), 1u);
    EXPECT_EQ(EmuLiveProxyReferences(), 0);
}

TEST_F(GlyvorConnect, GetConnectionConnectsOnlyWhenNotConnected) {
    StartRunningInstance();
    std::wstring error;
    EXPECT_EQ(m_connection.GetGlyvorConnection(error), &m_connection);
    EXPECT_EQ(m_connection.GetGlyvorConnection(error), &m_connection);
    EXPECT_EQ(EmuGetActiveObjectCount(), 1u);
    EXPECT_EQ(EmuLiveProxyReferences(), 1);

    // After a release the next command connects afresh.
    m_connection.ReleaseGlyvorConnection();
    EXPECT_EQ(m_connection.GetGlyvorConnection(error), &m_connection);
    EXPECT_EQ(EmuGetActiveObjectCount(), 2u);
}

TEST_F(GlyvorConnect, FailedReconnectDropsTheEarlierReference) {
    StartRunningInstance();
    std::wstring error;
    ASSERT_TRUE(m_connection.Connect(error));
    EmuSetFaultClassNotRegistered(TRUE);
    EXPECT_FALSE(m_connection.Connect(error));
    EXPECT_FALSE(m_connection.IsConnected());
    EXPECT_EQ(EmuLiveProxyReferences(), 0);
}

TEST_F(GlyvorConnect, GlobalConnectionStartsNullAndReleasesToNull) {
    EXPECT_FALSE(g_glyvorConnection.IsConnected());
    StartRunningInstance();
    std::wstring error;
    EXPECT_EQ(g_glyvorConnection.GetGlyvorConnection(error), &g_glyvorConnection);
    g_glyvorConnection.ReleaseGlyvorConnection();
    EXPECT_FALSE(g_glyvorConnection.IsConnected());
    g_glyvorConnection.ReleaseGlyvorConnection();  // releasing twice is harmless
}

using GlyvorCalls = FakeGlyvorServerTest;

TEST_F(GlyvorCalls, NothingIsCalledWithoutAConnectionOrWithAnEmptyName) {
    FakeGlyvor* running = StartRunningInstance();
    running->matches[u""] = {u"id-empty", u""};
    running->states[u"id"] = 1;
    std::wstring fontId = L"kept", detail = L"kept", error = L"kept";
    EXPECT_FALSE(m_connection.FindMatchingFont(L"Arial", fontId, detail));
    EXPECT_FALSE(m_connection.ActivateOrInstall(L"id", true, error));

    ASSERT_TRUE(m_connection.Connect(error));
    EXPECT_FALSE(m_connection.FindMatchingFont(L"", fontId, detail));
    EXPECT_EQ(EmuInvokeTotal(), 0u);
    EXPECT_TRUE(running->calls().empty());
    EXPECT_EQ(fontId, L"kept");
    EXPECT_EQ(detail, L"kept");
}

TEST_F(GlyvorCalls, MatchFillsBothTextsAndAMissLeavesThemUnchanged) {
    FakeGlyvor* running = StartRunningInstance();
    running->matches[u"Futura"] = {u"grp/Futura-Medium", u"Futura Medium, OpenType"};
    running->fillOutputsOnMiss = true;
    std::wstring error;
    ASSERT_TRUE(m_connection.Connect(error));

    // A match whose identifier is empty, or ends at its first unit, is no offer either.
    running->matches[u"Gill"] = {u"", u"Gill Sans"};
    running->matches[u"Univers"] = {std::u16string(u"\0id", 3), u"Univers 55"};
    std::wstring fontId = L"old id", detail = L"old detail";
    for (const wchar_t* name : {L"Frutiger", L"Gill", L"Univers"}) {
        EXPECT_FALSE(m_connection.FindMatchingFont(name, fontId, detail)) << name;
        EXPECT_EQ(fontId, L"old id");
        EXPECT_EQ(detail, L"old detail");
    }

    EXPECT_TRUE(m_connection.FindMatchingFont(L"Futura", fontId, detail));
    EXPECT_EQ(fontId, L"grp/Futura-Medium");
    EXPECT_EQ(detail, L"Futura Medium, OpenType");
    EXPECT_EQ(EmuInvokeCount(kDispIdMatchFont), 4u);
}

TEST_F(GlyvorCalls, NamesTravelAsUtf16UnitsIncludingSurrogatePairs) {
    FakeGlyvor* running = StartRunningInstance();
    // U+1D49C MATHEMATICAL SCRIPT CAPITAL A as its two UTF-16 units.
    const std::wstring name = {L'S', 0xD835, 0xDC9C, L'n', L's'};
    running->matches[ToU16(name)] = {u"\xD835\xDC9C-id", u""};
    std::wstring error, fontId, detail;
    ASSERT_TRUE(m_connection.Connect(error));
    ASSERT_TRUE(m_connection.FindMatchingFont(name, fontId, detail));
    EXPECT_EQ(fontId, (std::wstring{0xD835, 0xDC9C, L'-', L'i', L'd'}));
    EXPECT_EQ(running->calls()[0].arguments[0].bstr, ToU16(name));
}

TEST_F(GlyvorCalls, ActivateOrInstallAsksTheStateFirst) {
    struct Case {
        const char* name;
        LONG state;
        bool loadSucceeds;
        bool activate;
        bool expected;
        size_t loadCalls;
        const wchar_t* expectedError;
    };
    const std::vector<Case> cases = {
        {"already active", 1, false, true, true, 0, L"before"},
        {"already installed", 2, false, false, true, 0, L"before"},
        {"activated", 0, true, true, true, 1, L"before"},
        {"installed", 0, true, false, true, 1, L"before"},
        {"refused", 0, false, true, false, 1, L"Fonts folder is read-only"},
    };
    FakeGlyvor* running = StartRunningInstance();
    std::wstring error;
    ASSERT_TRUE(m_connection.Connect(error));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        running->states[u"id-7"] = c.state;
        running->loads[u"id-7"] = {c.loadSucceeds, u"Fonts folder is read-only"};
        const size_t loadsBefore = running->CallsTo(kDispIdLoadFont);
        error = L"before";
        EXPECT_EQ(m_connection.ActivateOrInstall(L"id-7", c.activate, error), c.expected);
        EXPECT_EQ(error, c.expectedError);
        EXPECT_EQ(running->CallsTo(kDispIdLoadFont) - loadsBefore, c.loadCalls);
        const RecordedCall& last = running->calls().back();
        if (c.loadCalls == 1) {
            EXPECT_EQ(last.arguments[0].bstr, u"id-7");
            EXPECT_EQ(last.arguments[2].boolVal, c.activate ? VARIANT_TRUE : VARIANT_FALSE);
        } else {
            EXPECT_EQ(last.member, kDispIdGetFontState);
        }
    }
}

TEST_F(GlyvorCalls, AFailingInvokeThrowsAndKeepsTheConnection) {
    StartRunningInstance();
    std::wstring error, fontId, detail;
    ASSERT_TRUE(m_connection.Connect(error));
    EmuSetFaultInvoke(1, RPC_E_DISCONNECTED);
    try {
        m_connection.FindMatchingFont(L"Arial", fontId, detail);
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), RPC_E_DISCONNECTED);
    }
    EXPECT_THROW(m_connection.ActivateOrInstall(L"id", true, error), _com_error);
    // The command that failed does not release; the panel does.
    EXPECT_TRUE(m_connection.IsConnected());
}

}  // namespace
