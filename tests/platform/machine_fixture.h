// A fresh machine folder per test, with the test server registered, and the checks that
// every test leaves the emulation's counts balanced.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/emu/control.h"
#include "platform/win32.h"
#include "test_server.h"

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/platform-machine-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_folder = pattern;
        EmuSetMachineFolder(m_folder.c_str());
        // As the thread of an application that uses COM.
        ASSERT_EQ(CoInitialize(nullptr), S_OK) << "an earlier test left COM initialised";
        m_comInitialized = true;
        EmuClearFaults();
        EmuResetCounters();
        m_bstrsBefore = EmuLiveBstrCount();
        ASSERT_EQ(EmuLiveProxyReferences(), 0);
        ASSERT_EQ(S_OK,
                  EmuRegisterClass(kTestServerProgId, kTestServerClsid, PLATFORM_TEST_SERVER));
    }

    void TearDown() override {
        EXPECT_EQ(EmuLiveProxyReferences(), 0) << "a proxy reference was not released";
        EXPECT_EQ(EmuLiveProxyCount(), 0);
        EXPECT_EQ(EmuLiveBstrCount(), m_bstrsBefore) << "a BSTR was not freed";
        EXPECT_EQ(ServerCounter(kTestServerLiveObjects), 0) << "a server object was leaked";
        EmuClearFaults();
        EmuResetCounters();
        if (m_comInitialized) CoUninitialize();
        EmuSetMachineFolder(nullptr);
        std::filesystem::remove_all(m_folder);
    }

    // A counter the server module exports (0 while the module is not loaded).
    static LONG ServerCounter(const char* name) {
        void* module = dlopen(PLATFORM_TEST_SERVER, RTLD_NOW | RTLD_NOLOAD);
        if (module == nullptr) return 0;
        auto counter = reinterpret_cast<TestServerCounter>(dlsym(module, name));
        const LONG value = counter != nullptr ? counter() : -1;
        dlclose(module);
        return value;
    }

    std::string m_folder;
    LONG m_bstrsBefore = 0;
    bool m_comInitialized = false;
};
