#include <gtest/gtest.h>

#include <thread>

#include "host/current_plugin.h"
#include "host/host.h"
#include "platform/emu/assertion.h"
#include "platform/emu/control.h"
#include "platform/win32.h"
#include "test_paths.h"

namespace {

TEST(PlatformBridge, APluginsDebugAssertionsReachTheEventLogWhileTheHostLives) {
    {
        host::Host host;
        host::LoadedPlugin* plugin =
            host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
        ASSERT_NE(plugin, nullptr);
        {
            host::CurrentPluginScope scope(plugin);
            PlatformReportAssertion("m_pDlgNonModal != NULL", "Source\\LumaroPlugin", 436);
        }
        const auto assertions = host.Events().OfKind(host::EventKind::Assertion);
        ASSERT_EQ(assertions.size(), 1u);
        EXPECT_EQ(assertions[0].plugin, "TestPluginA");
        EXPECT_EQ(assertions[0].subject, "m_pDlgNonModal != NULL");
        EXPECT_EQ(assertions[0].detail, "Source\\LumaroPlugin, line 436");
    }
    // With no host the report is only kept by the platform layer.
    const ULONG before = EmuAssertionCount();
    PlatformReportAssertion("x", "y", 1);
    EXPECT_EQ(EmuAssertionCount(), before + 1);
}

TEST(PlatformBridge, TheMachineFolderIsPassedToThePlatformLayer) {
    host::Host host;
    host.SetMachineFolder("/tmp/lumaro-machine-test");
    EXPECT_EQ(host.MachineFolder(), "/tmp/lumaro-machine-test");
    ASSERT_NE(EmuGetMachineFolder(), nullptr);
    EXPECT_STREQ(EmuGetMachineFolder(), "/tmp/lumaro-machine-test");
    host.SetMachineFolder("");
    EXPECT_EQ(EmuGetMachineFolder(), nullptr);
}

}  // namespace

namespace {

// {5D0E1C2B-3A49-4857-9665-748392A1B0C9}: nothing registers it.
const CLSID kNoSuchClass = {
    0x5d0e1c2b, 0x3a49, 0x4857, {0x96, 0x65, 0x74, 0x83, 0x92, 0xa1, 0xb0, 0xc9}};

HRESULT AskForARunningObject() {
    IUnknown* object = nullptr;
    const HRESULT hr = GetActiveObject(kNoSuchClass, nullptr, &object);
    if (object != nullptr) object->Release();
    return hr;
}

TEST(PlatformBridge, TheHostInitialisesComOnItsThreadWhileItLives) {
    // A thread of its own, so that nothing else has initialised COM on it.
    std::thread([] {
        EXPECT_EQ(AskForARunningObject(), CO_E_NOTINITIALIZED);
        {
            host::Host host;
            EXPECT_EQ(AskForARunningObject(), MK_E_UNAVAILABLE) << "COM is there for plug-ins";
            // Single-threaded, as a user-interface thread is.
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        }
        EXPECT_EQ(AskForARunningObject(), CO_E_NOTINITIALIZED) << "and gone with the host";
    }).join();
}

}  // namespace
