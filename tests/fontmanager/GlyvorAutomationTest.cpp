#include <gtest/gtest.h>

#include <vector>

#include "BalancedCountsTest.h"
#include "FakeGlyvor.h"
#include "fontmanager/GlyvorAutomation.h"

namespace {

class GlyvorAutomation : public BalancedCountsTest {
protected:
    void TearDown() override {
        EXPECT_EQ(m_glyvor->refs(), 1u);
        m_glyvor->Release();
        BalancedCountsTest::TearDown();
    }

    std::vector<VARTYPE> TypesOf(const RecordedCall& call) {
        std::vector<VARTYPE> types;
        for (const RecordedArgument& argument : call.arguments) types.push_back(argument.vt);
        return types;
    }
    void ExpectPlainMethodCall(const RecordedCall& call, DISPID member) {
        EXPECT_EQ(call.member, member);
        EXPECT_EQ(call.flags, DISPATCH_METHOD);
        EXPECT_TRUE(call.riidIsNull);
        EXPECT_FALSE(call.resultRequested);
        EXPECT_EQ(call.cNamedArgs, 0u);
        EXPECT_EQ(call.cArgs, call.arguments.size());
    }

    FakeGlyvor* m_glyvor = new FakeGlyvor;
};

TEST_F(GlyvorAutomation, MatchFontPassesItsTenArgumentsLastFirst) {
    m_glyvor->matches[u"Garamond"] = {u"id-17", u"Garamond Premier"};
    UniqueBstr name(SysAllocString(OLESTR("Garamond")));
    UniqueBstr fontId, detail;
    VARIANT_BOOL matched = VARIANT_FALSE;
    GlyvorMatchFont(m_glyvor, name.Get(), fontId, detail, matched);

    ASSERT_EQ(m_glyvor->calls().size(), 1u);
    const RecordedCall& call = m_glyvor->calls()[0];
    ExpectPlainMethodCall(call, 5);
    const std::vector<VARTYPE> expected = {VT_BSTR,
                                           VT_BSTR,
                                           VT_BSTR,
                                           VT_I4,
                                           VT_I4,
                                           VT_BSTR,
                                           VT_I4,
                                           VT_BYREF | VT_BSTR,
                                           VT_BYREF | VT_BSTR,
                                           VT_BYREF | VT_BOOL};
    EXPECT_EQ(TypesOf(call), expected);
    ASSERT_EQ(call.arguments.size(), 10u);
    EXPECT_EQ(call.arguments[0].bstr, u"Garamond");
    // Arguments 2 and 3 are empty strings, argument 6 a null string: not the same thing.
    EXPECT_FALSE(call.arguments[1].bstrIsNull);
    EXPECT_TRUE(call.arguments[1].bstr.empty());
    EXPECT_FALSE(call.arguments[2].bstrIsNull);
    EXPECT_TRUE(call.arguments[2].bstr.empty());
    EXPECT_EQ(call.arguments[3].lVal, 0);
    EXPECT_EQ(call.arguments[4].lVal, 0);
    EXPECT_TRUE(call.arguments[5].bstrIsNull);
    EXPECT_EQ(call.arguments[6].lVal, 30);

    EXPECT_NE(matched, VARIANT_FALSE);
    EXPECT_EQ(std::u16string(fontId.Get()), u"id-17");
    EXPECT_EQ(std::u16string(detail.Get()), u"Garamond Premier");
}

TEST_F(GlyvorAutomation, GetFontStatePassesTheIdentifierAndAnOutLong) {
    m_glyvor->states[u"id-3"] = 2;
    UniqueBstr fontId(SysAllocString(OLESTR("id-3")));
    LONG state = 0;
    GlyvorGetFontState(m_glyvor, fontId.Get(), state);

    ASSERT_EQ(m_glyvor->calls().size(), 1u);
    const RecordedCall& call = m_glyvor->calls()[0];
    ExpectPlainMethodCall(call, 10);
    EXPECT_EQ(TypesOf(call), (std::vector<VARTYPE>{VT_BSTR, VT_BYREF | VT_I4}));
    EXPECT_EQ(call.arguments[0].bstr, u"id-3");
    EXPECT_EQ(state, 2);
}

TEST_F(GlyvorAutomation, LoadFontPassesTheActivateFlagAsVariantBool) {
    struct Case {
        bool activate;
        VARIANT_BOOL expectedFlag;
    };
    m_glyvor->loads[u"id-9"] = {true, u""};
    for (const Case& c : {Case{true, VARIANT_TRUE}, Case{false, VARIANT_FALSE}}) {
        SCOPED_TRACE(c.activate ? "activate" : "install");
        UniqueBstr fontId(SysAllocString(OLESTR("id-9")));
        UniqueBstr error;
        VARIANT_BOOL succeeded = VARIANT_FALSE;
        GlyvorLoadFont(m_glyvor, fontId.Get(), c.activate, error, succeeded);

        const RecordedCall& call = m_glyvor->calls().back();
        ExpectPlainMethodCall(call, 3);
        EXPECT_EQ(TypesOf(call), (std::vector<VARTYPE>{VT_BSTR, VT_I4, VT_BOOL, VT_BYREF | VT_BSTR,
                                                       VT_BYREF | VT_BOOL}));
        EXPECT_EQ(call.arguments[0].bstr, u"id-9");
        EXPECT_EQ(call.arguments[1].lVal, 0);
        EXPECT_EQ(call.arguments[2].boolVal, c.expectedFlag);
        EXPECT_NE(succeeded, VARIANT_FALSE);
        EXPECT_EQ(error.Get(), nullptr);
    }
}

TEST_F(GlyvorAutomation, OutputsAreNulledBeforeEveryCall) {
    // Holders and flags still holding an earlier call's answer.
    UniqueBstr fontId(SysAllocString(OLESTR("stale id"))), detail(SysAllocString(OLESTR("x")));
    VARIANT_BOOL matched = VARIANT_TRUE;
    UniqueBstr name(SysAllocString(OLESTR("Nothing Like It")));
    GlyvorMatchFont(m_glyvor, name.Get(), fontId, detail, matched);
    const RecordedCall& match = m_glyvor->calls().back();
    EXPECT_TRUE(match.arguments[7].outBstrWasNull);
    EXPECT_TRUE(match.arguments[8].outBstrWasNull);
    EXPECT_EQ(match.arguments[9].outBoolWas, VARIANT_FALSE);
    EXPECT_EQ(matched, VARIANT_FALSE);
    EXPECT_EQ(fontId.Get(), nullptr);

    LONG state = 5;
    GlyvorGetFontState(m_glyvor, name.Get(), state);
    EXPECT_EQ(m_glyvor->calls().back().arguments[1].outLongWas, 0);
    EXPECT_EQ(state, 0);

    UniqueBstr error(SysAllocString(OLESTR("stale reason")));
    VARIANT_BOOL succeeded = VARIANT_TRUE;
    GlyvorLoadFont(m_glyvor, name.Get(), true, error, succeeded);
    const RecordedCall& load = m_glyvor->calls().back();
    EXPECT_TRUE(load.arguments[3].outBstrWasNull);
    EXPECT_EQ(load.arguments[4].outBoolWas, VARIANT_FALSE);
    EXPECT_EQ(succeeded, VARIANT_FALSE);
    EXPECT_EQ(std::u16string(error.Get()), u"unknown font");
}

TEST_F(GlyvorAutomation, OutputsWrittenOnAMissAreStillFreed) {
    m_glyvor->fillOutputsOnMiss = true;
    UniqueBstr name(SysAllocString(OLESTR("Unknown")));
    UniqueBstr fontId, detail;
    VARIANT_BOOL matched = VARIANT_TRUE;
    GlyvorMatchFont(m_glyvor, name.Get(), fontId, detail, matched);
    EXPECT_EQ(matched, VARIANT_FALSE);
    // The holders own them now; the fixture's count shows they go with the holders.
    EXPECT_NE(fontId.Get(), nullptr);
}

TEST_F(GlyvorAutomation, FailingInvokeThrowsComErrorWithItsCode) {
    struct Case {
        HRESULT hr;
        bool exceptionInfo;
    };
    for (const Case& c : {Case{RPC_E_DISCONNECTED, false}, Case{DISP_E_EXCEPTION, true},
                          Case{DISP_E_TYPEMISMATCH, false}}) {
        SCOPED_TRACE(c.hr);
        m_glyvor->failFromCall = 1;
        m_glyvor->failHr = c.hr;
        m_glyvor->failWithExceptionInfo = c.exceptionInfo;
        UniqueBstr name(SysAllocString(OLESTR("Arial")));
        UniqueBstr fontId, detail, error;
        VARIANT_BOOL flag = VARIANT_FALSE;
        LONG state = 0;
        try {
            GlyvorMatchFont(m_glyvor, name.Get(), fontId, detail, flag);
            ADD_FAILURE() << "MatchFont did not throw";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), c.hr);
        }
        EXPECT_THROW(GlyvorGetFontState(m_glyvor, name.Get(), state), _com_error);
        EXPECT_THROW(GlyvorLoadFont(m_glyvor, name.Get(), false, error, flag), _com_error);
    }
}

}  // namespace
