#include <gtest/gtest.h>

#include "host/current_plugin.h"
#include "host/host.h"
#include "platform/emu/assertion.h"
#include "platform/emu/control.h"
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
