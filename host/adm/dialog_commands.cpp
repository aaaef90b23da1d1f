#include "host/adm/dialog_commands.h"

#include <cstdlib>

#include "host/adm/adm_suites.h"

namespace host::adm {
namespace {

bool ParseInt(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

ADMDialogRef Named(DialogManager& m, std::ostream& out, const std::string& name) {
    ADMDialogRef d = m.FindDialog(name);
    if (d == nullptr) out << "no dialog named \"" << name << "\"\n";
    return d;
}

// Runs a user action, turning an impossible one into a message.
template <typename F>
bool Act(std::ostream& out, F action) {
    try {
        action();
        return true;
    } catch (const ActionError& e) {
        out << e.what() << "\n";
        return false;
    }
}

bool RunDialogs(DialogManager& m, std::ostream& out, const std::vector<std::string>&) {
    for (ADMDialogRef d : m.Dialogs()) out << "\"" << d->name << "\" " << d->id << "\n";
    return true;
}

bool RunDialog(DialogManager& m, std::ostream& out, const std::vector<std::string>& a) {
    ADMDialogRef d = Named(m, out, a[0]);
    return d != nullptr && Act(out, [&] { out << m.Render(d); });
}

bool RunPress(DialogManager& m, std::ostream& out, const std::vector<std::string>& a) {
    ADMDialogRef d = Named(m, out, a[0]);
    if (d == nullptr) return false;
    long id = 0;
    bool byID = ParseInt(a[1], &id);
    return Act(out, [&] {
        if (byID) {
            m.PressButton(d, static_cast<ASInt32>(id));
        } else {
            m.PressButton(d, a[1]);
        }
    });
}

bool RunSelect(DialogManager& m, std::ostream& out, const std::vector<std::string>& a) {
    ADMDialogRef d = Named(m, out, a[0]);
    long list = 0;
    if (d == nullptr) return false;
    if (!ParseInt(a[1], &list)) {
        out << "not a list item ID: " << a[1] << "\n";
        return false;
    }
    std::vector<int> rows;
    if (a[2] != "none") {
        std::size_t start = 0;
        for (;;) {
            std::size_t comma = a[2].find(',', start);
            long row = 0;
            if (!ParseInt(a[2].substr(start, comma - start), &row)) {
                out << "not a list of rows: " << a[2] << "\n";
                return false;
            }
            rows.push_back(static_cast<int>(row));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    return Act(out, [&] { m.SelectRows(d, static_cast<ASInt32>(list), rows); });
}

bool RunClose(DialogManager& m, std::ostream& out, const std::vector<std::string>& a) {
    ADMDialogRef d = Named(m, out, a[0]);
    return d != nullptr && Act(out, [&] { m.ClosePalette(d); });
}

bool RunShow(DialogManager& m, std::ostream& out, const std::vector<std::string>& a, bool show) {
    ADMDialogRef d = Named(m, out, a[0]);
    if (d == nullptr) return false;
    m.ShowDialog(d, show);
    return true;
}

bool RunGroup(DialogManager& m, std::ostream& out, const std::vector<std::string>& a) {
    ADMDialogRef d = Named(m, out, a[0]);
    long code = 0;
    if (d == nullptr) return false;
    if (!ParseInt(a[2], &code)) {
        out << "not a position code: " << a[2] << "\n";
        return false;
    }
    return DialogGroupSuite().SetDialogGroupInfo(d, a[1].c_str(), static_cast<ASInt32>(code)) ==
           kNoErr;
}

}  // namespace

const std::vector<DialogCommand>& DialogCommands() {
    static const std::vector<DialogCommand> commands = {
        {"dialogs", "", "list the open dialogs", 0, RunDialogs},
        {"dialog", "NAME", "print a dialog's items, rows and status", 1, RunDialog},
        {"press", "NAME BUTTON", "press a button, by ID or by its text", 2, RunPress},
        {"select", "NAME LIST ROWS", "select rows (\"0,2\" or \"none\") of a list", 3, RunSelect},
        {"close", "NAME", "close a palette with its close box", 1, RunClose},
        {"show", "NAME", "show a dialog", 1,
         [](DialogManager& m, std::ostream& o, const std::vector<std::string>& a) {
             return RunShow(m, o, a, true);
         }},
        {"hide", "NAME", "hide a dialog", 1,
         [](DialogManager& m, std::ostream& o, const std::vector<std::string>& a) {
             return RunShow(m, o, a, false);
         }},
        {"group", "NAME GROUP CODE", "put a palette in a dock group with a position code", 3,
         RunGroup},
    };
    return commands;
}

const DialogCommand* FindDialogCommand(const std::string& name) {
    for (const DialogCommand& c : DialogCommands()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

}  // namespace host::adm
