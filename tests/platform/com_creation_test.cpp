#include <thread>

#include "machine_fixture.h"

namespace {

using Creation = MachineTest;

struct ContextCase {
    DWORD context;
    HRESULT expected;
};

TEST_F(Creation, CreatesThroughTheRegisteredModuleInEveryServerContext) {
    const ContextCase cases[] = {
        {CLSCTX_ALL, S_OK},
        {CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, S_OK},
        {CLSCTX_LOCAL_SERVER, S_OK},
        {CLSCTX_INPROC_SERVER, S_OK},
        {CLSCTX_INPROC_HANDLER, REGDB_E_CLASSNOTREG},
        {CLSCTX_REMOTE_SERVER, REGDB_E_CLASSNOTREG},
    };
    for (const auto& c : cases) {
        IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
        EXPECT_EQ(CoCreateInstance(kTestServerClsid, nullptr, c.context, IID_IUnknown,
                                   reinterpret_cast<void**>(&object)),
                  c.expected)
            << "context " << c.context;
        if (SUCCEEDED(c.expected)) {
            ASSERT_NE(object, nullptr);
            EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 1);
            EXPECT_EQ(EmuLiveProxyReferences(), 1);
            object->Release();
        } else {
            EXPECT_EQ(object, nullptr) << "the out-pointer is cleared on failure";
        }
    }
    EXPECT_EQ(EmuServerObjectsCreated(), 4u);
    ASSERT_EQ(EmuCreateInstanceCount(), 6u);
    EXPECT_EQ(EmuCreateInstanceContext(0), static_cast<DWORD>(CLSCTX_ALL));
    EXPECT_EQ(EmuCreateInstanceContext(2), static_cast<DWORD>(CLSCTX_LOCAL_SERVER));
    EXPECT_EQ(EmuCreateInstanceContext(6), 0u);
}

TEST_F(Creation, InjectedFaultsAndRefusals) {
    struct Case {
        const char* what;
        void (*inject)();
        DWORD context;
        bool aggregate;
        HRESULT expected;
    };
    const Case cases[] = {
        {"remote context refused: CLSCTX_ALL", [] { EmuSetFaultRejectRemoteContext(TRUE); },
         CLSCTX_ALL, false, E_INVALIDARG},
        {"remote context refused: without remote", [] { EmuSetFaultRejectRemoteContext(TRUE); },
         0x7, false, S_OK},
        {"creation fails: CLSCTX_ALL", [] { EmuSetFaultCreateInstance(CO_E_SERVER_EXEC_FAILURE); },
         CLSCTX_ALL, false, CO_E_SERVER_EXEC_FAILURE},
        {"creation fails: without remote", [] { EmuSetFaultCreateInstance(E_OUTOFMEMORY); }, 0x7,
         false, E_OUTOFMEMORY},
        {"class hidden", [] { EmuSetFaultClassNotRegistered(TRUE); }, CLSCTX_ALL, false,
         REGDB_E_CLASSNOTREG},
        {"aggregation", [] {}, CLSCTX_ALL, true, CLASS_E_NOAGGREGATION},
    };
    for (const auto& c : cases) {
        EmuClearFaults();
        c.inject();
        IUnknown* object = nullptr;
        // The outer object is never called: aggregation is refused before anything else.
        IUnknown* outer = c.aggregate ? reinterpret_cast<IUnknown*>(0x10) : nullptr;
        const HRESULT hr = CoCreateInstance(kTestServerClsid, outer, c.context, IID_IUnknown,
                                            reinterpret_cast<void**>(&object));
        EXPECT_EQ(hr, c.expected) << c.what;
        EXPECT_EQ(object != nullptr, SUCCEEDED(c.expected)) << c.what;
        if (object != nullptr) object->Release();
    }
    EmuClearFaults();
    EXPECT_EQ(EmuServerObjectsCreated(), 1u) << "only the accepted creation made an object";
}

TEST_F(Creation, UnknownClassesAndBrokenModules) {
    // {22222222-0000-0000-0000-000000000001}
    const CLSID unknown = {0x22222222, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    IUnknown* object = nullptr;
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(EmuRegisterClass("Missing.Module", unknown, "/nonexistent/module.so"), S_OK);
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    // A module that is no server: libplatform itself has no DllGetClassObject.
    ASSERT_EQ(EmuRegisterClass("Not.A.Server", unknown, "libplatform.so"), S_OK);
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              CO_E_ERRORINDLL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr),
              E_POINTER);
}

TEST_F(Creation, UnsupportedInterfaceLeavesNothingBehind) {
    IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IClassFactory,
                               reinterpret_cast<void**>(&object)),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(EmuServerObjectsCreated(), 1u);
    // The fixture checks that the object was released again.
}

TEST_F(Creation, OleRunRunsTheServerThroughItsRunnableObject) {
    IUnknown* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    const LONG runsBefore = ServerCounter(kTestServerRunCalls);
    EXPECT_EQ(OleRun(object), S_OK);
    EXPECT_EQ(ServerCounter(kTestServerRunCalls), runsBefore + 1);

    EmuSetFaultOleRun(CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(OleRun(object), CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(ServerCounter(kTestServerRunCalls), runsBefore + 1) << "a failed run reaches nothing";
    EmuClearFaults();

    // Without IRunnableObject the object is taken to be running.
    EmuSetFaultQueryInterface(IID_IRunnableObject, E_NOINTERFACE);
    EXPECT_EQ(OleRun(object), S_OK);
    EXPECT_EQ(ServerCounter(kTestServerRunCalls), runsBefore + 1);
    EmuClearFaults();

    EXPECT_EQ(OleRun(nullptr), E_INVALIDARG);
    EXPECT_EQ(EmuOleRunCount(), 4u);
    EXPECT_EQ(EmuLiveProxyReferences(), 1) << "OleRun keeps no reference";
    object->Release();
}

TEST_F(Creation, ClassObjectsRegisteredInTheProcessComeFirst) {
    IClassFactory* factory = nullptr;
    // Borrow the module's factory, as a local server would register its own.
    void* module = dlopen(PLATFORM_TEST_SERVER, RTLD_NOW);
    ASSERT_NE(module, nullptr);
    auto entry =
        reinterpret_cast<HRESULT (*)(REFCLSID, REFIID, void**)>(dlsym(module, "DllGetClassObject"));
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry(kTestServerClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    ASSERT_EQ(EmuUnregisterClass(kTestServerProgId), S_OK);

    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kTestServerClsid, factory, CLSCTX_LOCAL_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    IUnknown* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    object->Release();
    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
    EXPECT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    factory->Release();
    dlclose(module);
}

using RunningObjects = MachineTest;

TEST_F(RunningObjects, RegisterGetAndRevoke) {
    IUnknown* object = nullptr;
    EXPECT_EQ(GetActiveObject(kTestServerClsid, nullptr, &object), MK_E_UNAVAILABLE);
    EXPECT_EQ(object, nullptr);

    ASSERT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(RegisterActiveObject(object, kTestServerClsid, ACTIVEOBJECT_STRONG, &cookie), S_OK);
    object->Release();
    EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 1) << "the strong registration keeps it";
    EXPECT_EQ(EmuLiveProxyReferences(), 0) << "the table holds the server, not the client's proxy";

    IUnknown* running = nullptr;
    ASSERT_EQ(GetActiveObject(kTestServerClsid, nullptr, &running), S_OK);
    IUnknown* again = nullptr;
    ASSERT_EQ(GetActiveObject(kTestServerClsid, nullptr, &again), S_OK);
    EXPECT_EQ(running, again) << "one proxy per server object";
    EXPECT_EQ(EmuLiveProxyReferences(), 2);
    EXPECT_EQ(EmuGetActiveObjectCount(), 3u);
    EXPECT_EQ(EmuServerObjectsCreated(), 1u) << "attaching starts nothing";
    again->Release();
    running->Release();

    EXPECT_EQ(RevokeActiveObject(cookie, nullptr), S_OK);
    EXPECT_EQ(RevokeActiveObject(cookie, nullptr), E_INVALIDARG);
    EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 0);
    EXPECT_EQ(GetActiveObject(kTestServerClsid, nullptr, &running), MK_E_UNAVAILABLE);
}

TEST_F(RunningObjects, WeakRegistrationHoldsNoReference) {
    IUnknown* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(RegisterActiveObject(object, kTestServerClsid, ACTIVEOBJECT_WEAK, &cookie), S_OK);
    IUnknown* running = nullptr;
    ASSERT_EQ(GetActiveObject(kTestServerClsid, nullptr, &running), S_OK);
    EXPECT_EQ(running, object);
    running->Release();
    EXPECT_EQ(RevokeActiveObject(cookie, nullptr), S_OK);
    EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 1);
    object->Release();

    EXPECT_EQ(RegisterActiveObject(nullptr, kTestServerClsid, ACTIVEOBJECT_STRONG, &cookie),
              E_INVALIDARG);
    EXPECT_EQ(GetActiveObject(kTestServerClsid, nullptr, nullptr), E_POINTER);
}

using Apartment = MachineTest;

// Runs `calls` on a thread of its own, which starts without COM.
template <typename Calls>
void OnAnotherThread(Calls&& calls) {
    std::thread thread(std::forward<Calls>(calls));
    thread.join();
}

TEST_F(Apartment, CallsThatNeedAnApartmentAreRefusedOnAThreadWithoutOne) {
    // Made on this test's thread, which has COM: what the other thread is refused.
    IUnknown* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    DWORD registered = 0;
    ASSERT_EQ(RegisterActiveObject(object, kTestServerClsid, ACTIVEOBJECT_WEAK, &registered), S_OK);
    const ULONG objectsBefore = EmuServerObjectsCreated();

    auto everyCall = [&](const char* when, HRESULT refusal) {
        SCOPED_TRACE(when);
        void* created = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(CoCreateInstance(kTestServerClsid, nullptr, CLSCTX_ALL, IID_IUnknown, &created),
                  refusal);
        if (refusal != S_OK) {
            EXPECT_EQ(created, nullptr);
        }
        if (created != nullptr) static_cast<IUnknown*>(created)->Release();
        IUnknown* running = reinterpret_cast<IUnknown*>(0x1);
        EXPECT_EQ(GetActiveObject(kTestServerClsid, nullptr, &running), refusal);
        if (refusal != S_OK) {
            EXPECT_EQ(running, nullptr);
        }
        if (running != nullptr) running->Release();
        DWORD cookie = 0;
        EXPECT_EQ(RegisterActiveObject(object, kTestServerClsid, ACTIVEOBJECT_WEAK, &cookie),
                  refusal);
        if (cookie != 0) {
            EXPECT_EQ(RevokeActiveObject(cookie, nullptr), S_OK);
        }
        EXPECT_EQ(RevokeActiveObject(refusal == S_OK ? 9999 : registered, nullptr),
                  refusal == S_OK ? E_INVALIDARG : refusal);
        EXPECT_EQ(CoRegisterClassObject(kTestServerClsid, object, CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie),
                  refusal);
        if (refusal == S_OK) {
            EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
        }
        EXPECT_EQ(CoRevokeClassObject(refusal == S_OK ? 9999 : 1),
                  refusal == S_OK ? E_INVALIDARG : refusal);
        // Reading the registry needs no apartment.
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(OLESTR("Platform.TestServer"), &clsid), S_OK);
    };
    OnAnotherThread([&] {
        everyCall("never initialised", CO_E_NOTINITIALIZED);
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        everyCall("initialised", S_OK);
        CoUninitialize();
        everyCall("uninitialised again", CO_E_NOTINITIALIZED);
    });
    EXPECT_EQ(EmuServerObjectsCreated(), objectsBefore + 1)
        << "only the initialised thread made one";

    EXPECT_EQ(RevokeActiveObject(registered, nullptr), S_OK) << "still registered";
    object->Release();
}

TEST(ApartmentCounting, FirstInitialisationSucceedsAndLaterOnesAreCounted) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "fully uninitialised";
    CoUninitialize();
    CoUninitialize();  // one too many does no harm
}

}  // namespace
