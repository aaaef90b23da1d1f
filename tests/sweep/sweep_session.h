// One session of a bundled scenario, with or without one fault, and what its run must
// show: no problem the host found (blocks, suites, host strings or access references
// left, an exception into the host, misuse of a reference), no COM reference or BSTR
// left, no row that leads to freed memory, and, when the fault changed what the user
// sees, something that tells the user: a status line of its own, an alert, or an error
// answered to the host.
#pragma once

#include <string>
#include <vector>

#include "host/fault_plan.h"

namespace sweep {

struct Scenario {
    std::string name;  // the file's name in the scenarios folder, without ".txt"
    unsigned codePage = 0;
    std::string pluginsFolder;  // empty: the built plug-ins
};

struct FaultPoint {
    host::FaultKind kind;
    long number;        // from the start of the session, 1 = the first
    bool dies = false;  // automation only: every call from this one on fails

    // The scenario command that arms it.
    std::string Command() const;
    // "allocation 12", "automation 3 dies".
    std::string Name() const;
};

// Where the sessions find their files.
struct Environment {
    std::string scenariosFolder;
    std::string pluginsFolder;
};

// What the user can see after a step (start-up, then each command).
struct StepState {
    std::string line;               // the command ("start" for start-up)
    std::string panel;              // the panel as the host renders it, or "(no panel)"
    std::string content;            // what the user reads of it: the rows and the status line
    std::string status;             // the status line, quoted
    long points[4] = {0, 0, 0, 0};  // fault points met so far, in kFaultKinds order
};

struct SessionRun {
    std::vector<StepState> steps;
    long points[4] = {0, 0, 0, 0};  // fault points per kind, in kFaultKinds order
    bool fired = false;
    std::vector<std::string> failures;
    std::string transcript;
};

}  // namespace sweep

namespace host::session {
class Session;
}

namespace sweep {

// The fault that fired last is a narrow font name the host would not give, which is not
// reported: the font keeps its row, without the name.
bool NameNotReported(const host::FaultPlan& plan);

// What the user sees now.
StepState StateOf(host::session::Session& session, const std::string& line);
// Whether a status line reports an outcome as if all had gone well: a count of
// missing, found or activated fonts.
bool ClaimsSuccess(const std::string& quotedStatus);
// Whether the user has been told of a failure: the panel reads as it does when
// nothing fails, or an alert came or a message answered an error since event
// `firstEvent`, or the status line reads otherwise than when nothing fails and
// claims no success.
bool UserTold(host::session::Session& session, std::size_t firstEvent, const StepState& now,
              const StepState& expected);
// One line per row of a list box whose user data is not a block the plug-in holds:
// the next command that reads it would use a deleted record.
std::vector<std::string> DanglingRows(host::session::Session& session);

// Runs the scenario once. With a fault, `baseline` is the run without one.
SessionRun RunSession(const Environment& environment, const Scenario& scenario,
                      const FaultPoint* fault = nullptr, const SessionRun* baseline = nullptr);

}  // namespace sweep
