// The commands of a scenario, run one after another against the live host. Each
// takes a fixed number of arguments from the command line and says whether it worked.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "host/host.h"

namespace cli {

struct Session {
    host::Host& host;
    std::ostream& out;
};

struct Command {
    const char* name;
    const char* arguments;  // for the usage text
    const char* help;
    std::size_t argumentCount;
    std::function<bool(Session&, const std::vector<std::string>&)> run;
};

const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);

// What the plug-ins registered: menus as a tree, notifiers with their types.
void PrintRegistrations(Session& session);
// Allocation accounting per plug-in.
void PrintAccounting(Session& session);

}  // namespace cli
