// The font manager as a scenario sets it up: indexed, registered, running or not.
// font_manager_setup_glyvor.cpp does it through the font manager's own server
// control (glyvor/server.h); font_manager_setup_unavailable.cpp stands where this
// platform builds no server control yet, and every call says so.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "glyvor/indexer.h"

namespace host::session {

class FontManagerSetup {
public:
    explicit FontManagerSetup(std::string machine);
    ~FontManagerSetup();
    FontManagerSetup(const FontManagerSetup&) = delete;
    FontManagerSetup& operator=(const FontManagerSetup&) = delete;

    // Each answers false with *error when it fails.
    bool Index(const std::vector<glyvor::GroupSource>& groups,
               std::vector<glyvor::GroupReport>* report, std::string* error);
    bool IsRegistered() const;
    // With an empty `catalog`, the machine's own.
    bool Register(const std::string& catalog, std::string* error);
    bool Start(std::string* error);
    void Stop();
    bool Running() const;
    bool Unregister(std::string* error);

private:
    std::string m_machine;
    struct Server;
    std::unique_ptr<Server> m_server;
};

}  // namespace host::session
