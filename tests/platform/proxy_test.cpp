#include <vector>

#include "machine_fixture.h"

namespace {

class Proxy : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        ASSERT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IDispatch,
                                   reinterpret_cast<void**>(&m_dispatch)),
                  S_OK);
    }
    void TearDown() override {
        if (m_dispatch != nullptr) m_dispatch->Release();
        MachineTest::TearDown();
    }

    HRESULT Call(DISPID member, std::vector<VARIANT>& reversed, VARIANT* result = nullptr,
                 EXCEPINFO* exception = nullptr) {
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        return m_dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                  result, exception, nullptr);
    }

    static VARIANT Long(LONG value) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = value;
        return v;
    }

    IDispatch* m_dispatch = nullptr;
};

TEST_F(Proxy, CountsTheClientsReferencesAndKeepsIdentity) {
    EXPECT_EQ(EmuLiveProxyReferences(), 1);
    IUnknown* identity = nullptr;
    ASSERT_EQ(m_dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    IUnknown* identityAgain = nullptr;
    ASSERT_EQ(m_dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityAgain)),
              S_OK);
    EXPECT_EQ(identity, identityAgain);
    EXPECT_EQ(EmuLiveProxyReferences(), 3);

    IDispatch* automation = nullptr;
    ASSERT_EQ(identity->QueryInterface(kTestAutomationIid, reinterpret_cast<void**>(&automation)),
              S_OK);
    EXPECT_EQ(automation->AddRef(), 5u);
    EXPECT_EQ(automation->Release(), 4u);
    EXPECT_EQ(EmuLiveProxyReferences(), 4);
    EXPECT_EQ(EmuLiveProxyCount(), 1);

    automation->Release();
    identityAgain->Release();
    identity->Release();
    EXPECT_EQ(EmuLiveProxyReferences(), 1);
    EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 1);
    m_dispatch->Release();
    m_dispatch = nullptr;
    EXPECT_EQ(EmuLiveProxyReferences(), 0);
    EXPECT_EQ(EmuLiveProxyCount(), 0);
    EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 0) << "the last reference frees the server";
}

TEST_F(Proxy, QueryInterfaceFaultsAndInterfacesThatCannotCross) {
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(m_dispatch->QueryInterface(kTestPlainIid, &object), E_NOINTERFACE)
        << "only automation interfaces are marshalled";
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(m_dispatch->QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(m_dispatch->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

    EmuSetFaultQueryInterface(kTestAutomationIid, E_NOINTERFACE);
    EXPECT_EQ(m_dispatch->QueryInterface(kTestAutomationIid, &object), E_NOINTERFACE);
    EXPECT_EQ(m_dispatch->QueryInterface(IID_IDispatch, &object), S_OK) << "other IIDs still work";
    static_cast<IUnknown*>(object)->Release();
    EmuSetFaultQueryInterface(kTestAutomationIid, S_OK);
    ASSERT_EQ(m_dispatch->QueryInterface(kTestAutomationIid, &object), S_OK);
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(EmuLiveProxyReferences(), 1);
}

TEST_F(Proxy, InvokePassesArgumentsInReverseOrder) {
    // Arguments (7, "abc", done*) are passed as rgvarg = {done*, "abc", 7}.
    VARIANT_BOOL done = VARIANT_FALSE;
    std::vector<VARIANT> args(3);
    VariantInit(&args[0]);
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &done;
    VariantInit(&args[1]);
    args[1].vt = VT_BSTR;
    args[1].bstrVal = SysAllocString(OLESTR("abc"));
    args[2] = Long(7);

    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(kDispidDescribe, args, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(result.bstrVal), u"BOOL*|BSTR:abc|I4:7");
    VariantClear(&result);
    VariantClear(&args[1]);
    EXPECT_EQ(EmuInvokeCount(kDispidDescribe), 1u);
}

TEST_F(Proxy, InvokeFillsOutArgumentsByReference) {
    BSTR repeated = nullptr;
    VARIANT_BOOL done = VARIANT_FALSE;
    std::vector<VARIANT> args(4);
    for (auto& v : args) VariantInit(&v);
    args[3].vt = VT_BSTR;
    args[3].bstrVal = SysAllocStringLen(OLESTR("a\0"), 2);  // an embedded zero crosses too
    args[2] = Long(3);
    args[1].vt = VT_BYREF | VT_BSTR;
    args[1].pbstrVal = &repeated;
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &done;

    ASSERT_EQ(Call(kDispidRepeat, args), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);
    ASSERT_NE(repeated, nullptr);
    EXPECT_EQ(std::u16string(repeated, SysStringLen(repeated)), std::u16string(u"a\0a\0a\0", 6));
    SysFreeString(repeated);
    VariantClear(&args[3]);
}

TEST_F(Proxy, ServerExceptionsReachTheClient) {
    std::vector<VARIANT> none;
    EXCEPINFO exception{};
    EXPECT_EQ(Call(kDispidFail, none, nullptr, &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(std::u16string(exception.bstrDescription), u"refused");
    EXPECT_EQ(exception.scode, E_FAIL);
    SysFreeString(exception.bstrDescription);
    EXPECT_EQ(Call(99, none), DISP_E_MEMBERNOTFOUND);
}

TEST_F(Proxy, InvokeFailsFromTheNthCallOnAndCountsEveryCall) {
    struct Case {
        ULONG fromCall;
        std::vector<HRESULT> expected;
    };
    const Case cases[] = {
        {1, {RPC_E_DISCONNECTED, RPC_E_DISCONNECTED, RPC_E_DISCONNECTED}},
        {2, {S_OK, RPC_E_DISCONNECTED, RPC_E_DISCONNECTED}},
        {3, {S_OK, S_OK, RPC_E_DISCONNECTED}},
        {0, {RPC_E_DISCONNECTED, RPC_E_DISCONNECTED, RPC_E_DISCONNECTED}},  // 0 acts as 1
    };
    for (const auto& c : cases) {
        EmuResetCounters();
        EmuSetFaultInvoke(c.fromCall, RPC_E_DISCONNECTED);
        for (size_t i = 0; i < c.expected.size(); ++i) {
            std::vector<VARIANT> args{Long(static_cast<LONG>(i))};
            VARIANT result;
            VariantInit(&result);
            EXPECT_EQ(Call(kDispidDescribe, args, &result), c.expected[i])
                << "from call " << c.fromCall << ", call " << i + 1;
            EXPECT_EQ(result.vt, SUCCEEDED(c.expected[i]) ? VT_BSTR : VT_EMPTY);
            VariantClear(&result);
        }
        EXPECT_EQ(EmuInvokeCount(kDispidDescribe), c.expected.size());
        EXPECT_EQ(EmuInvokeTotal(), c.expected.size());
        EXPECT_EQ(EmuInvokeCount(kDispidRepeat), 0u);
    }
    EmuSetFaultInvoke(1, S_OK);
    std::vector<VARIANT> args{Long(1)};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(kDispidDescribe, args, &result), S_OK) << "S_OK turns the fault off";
    VariantClear(&result);
}

TEST_F(Proxy, InvokeFailsOnlyAtTheNthCall) {
    struct Case {
        ULONG call;
        std::vector<HRESULT> expected;
    };
    const Case cases[] = {
        {1, {E_FAIL, S_OK, S_OK}},
        {3, {S_OK, S_OK, E_FAIL}},
        {4, {S_OK, S_OK, S_OK}},
        {0, {S_OK, S_OK, S_OK}},  // 0 turns it off
    };
    for (const auto& c : cases) {
        EmuSetFaultInvokeCall(c.call, E_FAIL);
        for (size_t i = 0; i < c.expected.size(); ++i) {
            std::vector<VARIANT> args{Long(static_cast<LONG>(i))};
            VARIANT result;
            VariantInit(&result);
            EXPECT_EQ(Call(kDispidDescribe, args, &result), c.expected[i])
                << "at call " << c.call << ", call " << i + 1;
            VariantClear(&result);
        }
        EmuSetFaultInvokeCall(0, S_OK);
    }
    // Beside a dead server, the dead server's answer wins; the one-call fault still
    // counts that call.
    EmuSetFaultInvokeCall(2, E_FAIL);
    EmuSetFaultInvoke(1, RPC_E_DISCONNECTED);
    std::vector<VARIANT> none;
    EXPECT_EQ(Call(kDispidDescribe, none), RPC_E_DISCONNECTED);
    EmuSetFaultInvoke(1, S_OK);
    for (HRESULT expected : {E_FAIL, S_OK}) {
        VARIANT result;
        VariantInit(&result);
        std::vector<VARIANT> args{Long(1)};
        EXPECT_EQ(Call(kDispidDescribe, args, &result), expected);
        VariantClear(&result);
    }
}

struct Delivery {
    UINT message;
    ULONG callsMade;  // Invokes through proxies when it arrived
};

LRESULT NoteDelivery(HWND, UINT message, WPARAM, LPARAM, void* context) {
    static_cast<std::vector<Delivery>*>(context)->push_back({message, EmuInvokeTotal()});
    return 0;
}

TEST_F(Proxy, MessagesOtherThreadsSendArriveDuringACall) {
    std::vector<Delivery> first, second;
    const HWND window = EmuCreateTopLevelWindow(NoteDelivery, &first);
    const HWND other = EmuCreateTopLevelWindow(NoteDelivery, &second);
    auto call = [&] {
        std::vector<VARIANT> args{Long(1)};
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr = Call(kDispidDescribe, args, &result);
        VariantClear(&result);
        return hr;
    };

    // Sent during the second call from now: it arrives inside that call, once.
    EmuSendDuringInvoke(2, window, WM_FONTCHANGE, 0, 0);
    EXPECT_EQ(EmuPendingSentMessageCount(), 0u) << "not sent yet";
    call();
    EXPECT_TRUE(first.empty());
    call();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].message, static_cast<UINT>(WM_FONTCHANGE));
    EXPECT_EQ(first[0].callsMade, 2u);
    call();
    EXPECT_EQ(first.size(), 1u);
    EXPECT_TRUE(second.empty()) << "only the window it was sent to";

    // Sent already: it waits for the next call, and a broadcast reaches every window.
    EXPECT_TRUE(EmuQueueSentMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0));
    EXPECT_EQ(EmuPendingSentMessageCount(), 1u);
    EXPECT_EQ(first.size() + second.size(), 1u);
    call();
    EXPECT_EQ(EmuPendingSentMessageCount(), 0u);
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].message, static_cast<UINT>(WM_SETTINGCHANGE));
    EXPECT_EQ(second[0].callsMade, 4u);

    // A call that fails waits all the same.
    EmuSetFaultInvoke(1, RPC_E_DISCONNECTED);
    EmuSendDuringInvoke(1, other, WM_FONTCHANGE, 0, 0);
    EXPECT_EQ(call(), RPC_E_DISCONNECTED);
    EXPECT_EQ(second.size(), 2u);
    EmuSetFaultInvoke(1, S_OK);

    // A message loop takes them without a call; a hung window takes none.
    EmuSetWindowHung(other, TRUE);
    EXPECT_TRUE(EmuQueueSentMessage(HWND_BROADCAST, WM_FONTCHANGE, 0, 0));
    EXPECT_EQ(EmuDeliverSentMessages(), 1u);
    EXPECT_EQ(first.size(), 3u);
    EXPECT_EQ(second.size(), 2u);
    EXPECT_FALSE(EmuQueueSentMessage(reinterpret_cast<HWND>(0x1234), WM_FONTCHANGE, 0, 0));

    // Clearing the faults drops what waits and what is scheduled.
    EmuQueueSentMessage(window, WM_FONTCHANGE, 0, 0);
    EmuSendDuringInvoke(1, window, WM_FONTCHANGE, 0, 0);
    EmuClearFaults();
    call();
    EXPECT_EQ(first.size(), 3u);
    EXPECT_EQ(EmuBroadcastCount(), 0u) << "other threads' messages are no broadcasts of ours";
    EmuDestroyWindow(window);
    EmuDestroyWindow(other);
}

TEST_F(Proxy, InvokeRefusesWhatTheMarshallerRefuses) {
    DISPID named = DISPID_PROPERTYPUT;
    struct Case {
        const char* what;
        DISPPARAMS params;
        bool nullParams;
        const IID* riid;
        HRESULT expected;
    };
    const Case cases[] = {
        {"no DISPPARAMS", {}, true, &IID_NULL, E_INVALIDARG},
        {"arguments counted but missing", {nullptr, nullptr, 2, 0}, false, &IID_NULL, E_INVALIDARG},
        {"named arguments counted but missing",
         {nullptr, nullptr, 0, 1},
         false,
         &IID_NULL,
         E_INVALIDARG},
        {"more names than arguments", {nullptr, &named, 0, 1}, false, &IID_NULL, E_INVALIDARG},
        {"riid other than IID_NULL",
         {nullptr, nullptr, 0, 0},
         false,
         &IID_IDispatch,
         DISP_E_UNKNOWNINTERFACE},
        {"a well-formed call", {nullptr, nullptr, 0, 0}, false, &IID_NULL, S_OK},
    };
    for (const auto& c : cases) {
        DISPPARAMS params = c.params;
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(m_dispatch->Invoke(kDispidDescribe, *c.riid, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                     c.nullParams ? nullptr : &params, &result, nullptr, nullptr),
                  c.expected)
            << c.what;
        VariantClear(&result);
    }
    EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 1);
}

TEST_F(Proxy, EachCreatedObjectHasItsOwnProxy) {
    IUnknown* other = nullptr;
    ASSERT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&other)),
              S_OK);
    EXPECT_NE(static_cast<void*>(other), static_cast<void*>(m_dispatch))
        << "each created object has its own proxy";
    EXPECT_EQ(EmuLiveProxyCount(), 2);
    other->Release();
    EXPECT_EQ(EmuLiveProxyCount(), 1);
}

}  // namespace
