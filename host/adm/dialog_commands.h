// The user's part on the command line: words that press buttons, select
// rows, close palettes and print dialogs, for the host's scenario runner.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "host/adm/dialog_manager.h"

namespace host::adm {

struct DialogCommand {
    const char* name;
    const char* arguments;  // for the usage text
    const char* help;
    std::size_t argumentCount;
    // Prints what happened, or why it could not, to `out`; false on failure.
    std::function<bool(DialogManager&, std::ostream& out, const std::vector<std::string>&)> run;
};

// "dialogs", "dialog NAME", "press NAME BUTTON", "select NAME LIST ROWS",
// "close NAME", "show NAME", "hide NAME", "group NAME GROUP CODE".
// BUTTON is an item ID or a button's text; ROWS is a comma-separated list of
// row indexes, or "none".
const std::vector<DialogCommand>& DialogCommands();
const DialogCommand* FindDialogCommand(const std::string& name);

}  // namespace host::adm
