// A host suite acquired into the plug-in's global for the length of a test,
// as the frame holds it while started; given back and the global cleared at
// the end.
#pragma once

#include <gtest/gtest.h>

#include "host/host.h"

template <typename Suite>
class HeldSuite {
public:
    HeldSuite(host::Host& host, const char* name, ASInt32 version, const Suite*& global)
        : m_host(host), m_name(name), m_version(version), m_global(global) {
        const void* suite = nullptr;
        EXPECT_EQ(host.AcquireSuite(name, version, &suite), kNoErr) << name;
        m_global = static_cast<const Suite*>(suite);
    }
    ~HeldSuite() {
        if (m_global != nullptr) m_host.ReleaseSuite(m_name, m_version);
        m_global = nullptr;
    }
    HeldSuite(const HeldSuite&) = delete;
    HeldSuite& operator=(const HeldSuite&) = delete;

private:
    host::Host& m_host;
    const char* m_name;
    ASInt32 m_version;
    const Suite*& m_global;
};
