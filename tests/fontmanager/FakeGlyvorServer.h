// Serves FakeGlyvor through the emulation's COM, as the font manager is reached: under
// "Glyvor.Document" in a temporary machine folder, creatable through a class object
// registered in the process, and optionally running in the running-object table. The
// plug-in then gets proxies, with the emulation's counters and faults in between.
#pragma once

#include <string>

#include "BalancedCountsTest.h"
#include "FakeGlyvor.h"

class FakeGlyvorFactory;

class FakeGlyvorServerTest : public BalancedCountsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts a fresh FakeGlyvor in the running-object table and returns it (owned here).
    FakeGlyvor* StartRunningInstance();
    // The object the last creation made, or null.
    FakeGlyvor* Created() const;
    // The running instance, else the created one.
    FakeGlyvor* Server() const;

    GlyvorConnection m_connection;
    // The temporary machine folder the server is registered in.
    const std::string& Machine() const { return m_machine; }

private:
    std::string m_machine;
    bool m_comInitialized = false;
    FakeGlyvorFactory* m_factory = nullptr;
    DWORD m_factoryCookie = 0;
    FakeGlyvor* m_running = nullptr;
    DWORD m_runningCookie = 0;
};
