// What the session tests share: a temporary folder with the sample documents
// ($SAMPLES) and a folder for pictures and copies ($DEMO), and lumaro-host run
// in-process.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/session/session.h"

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // lumaro-host with these arguments; standard input is `input`.
    struct Run {
        int exitStatus;
        std::string out;
        std::string err;
    };
    Run RunHost(const std::vector<std::string>& args, const std::string& input = "");

    // A session over the built plug-ins with the samples at hand.
    host::session::SessionOptions Options(const std::string& plugins = SESSION_PLUGINS_DIR) const;

    std::string Samples() const { return m_root + "/samples"; }
    std::string Demo() const { return m_root + "/demo"; }
    std::string m_root;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
