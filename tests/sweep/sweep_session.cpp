#include "sweep_session.h"

#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "host/adm/adm_objects.h"
#include "host/session/session.h"
#include "platform/emu/control.h"

namespace sweep {

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> ScenarioLines(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

}  // namespace

StepState StateOf(host::session::Session& session, const std::string& line) {
    StepState state{line, "(no panel)", "(no panel)", ""};
    ADMDialogRef panel = session.Panel();
    if (panel == nullptr) return state;
    state.panel = session.Dialogs().Render(panel);
    state.content.clear();
    std::istringstream lines(state.panel);
    // Buttons are left out: one the host would not let the plug-in reach keeps its
    // state, and every command checks its own preconditions.
    for (std::string l; std::getline(lines, l);) {
        const std::string t = Trim(l);
        if (t.compare(0, 7, "status ") == 0) state.status = t.substr(7);
        if (t.compare(0, 5, "list ") == 0 || t.compare(0, 1, "[") == 0 ||
            t.compare(0, 7, "status ") == 0)
            state.content += t + "\n";
    }
    return state;
}

bool ClaimsSuccess(const std::string& quotedStatus) {
    static const std::regex success(
        "\"([0-9]+ missing font\\(s\\) in opened documents|No missing fonts in opened documents|"
        "[0-9]+ fonts have been found|1 font has been found|No appropriate fonts were found|"
        "[0-9]+ fonts have been activated or installed|1 font has been activated or installed)\"");
    return std::regex_match(quotedStatus, success);
}

bool NameNotReported(const host::FaultPlan& plan) {
    return !plan.Fired().empty() && plan.Fired().back().function == "GetFontName";
}

bool UserTold(host::session::Session& session, std::size_t firstEvent, const StepState& now,
              const StepState& expected) {
    if (now.content == expected.content) return true;
    const host::EventLog& events = session.Host().Events();
    for (std::size_t i = firstEvent; i < events.Size(); ++i) {
        const host::Event& e = events.Events()[i];
        if (e.kind == host::EventKind::Alert) return true;
        if (e.kind == host::EventKind::Message && e.result != 0) return true;
    }
    return now.status != expected.status && !ClaimsSuccess(now.status);
}

std::vector<std::string> DanglingRows(host::session::Session& session) {
    std::vector<std::string> dangling;
    std::function<void(const ADMItem&)> visit = [&](const ADMItem& item) {
        if (item.list) {
            for (std::size_t row = 0; row < item.list->entries.size(); ++row) {
                const void* data = item.list->entries[row]->userData;
                if (data != nullptr && !session.Host().Memory().Owns(data))
                    dangling.push_back("row " + std::to_string(row) + " of list " +
                                       std::to_string(item.id) +
                                       " points at memory the plug-in does not hold");
            }
        }
        for (const auto& child : item.children) visit(*child);
    };
    for (ADMDialogRef dialog : session.Dialogs().Dialogs())
        for (const auto& item : dialog->items) visit(*item);
    return dangling;
}

namespace {

// The first line where two renderings differ, for the report.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream la(a), lb(b);
    std::string x, y;
    while (true) {
        const bool ha = bool(std::getline(la, x)), hb = bool(std::getline(lb, y));
        if (!ha && !hb) return "";
        if (!ha) x = "(nothing)";
        if (!hb) y = "(nothing)";
        if (x != y) return Trim(x) + " instead of " + Trim(y);
    }
}

}  // namespace

std::string FaultPoint::Name() const {
    return std::string(host::FaultKindName(kind)) + " " + std::to_string(number) +
           (dies ? " dies" : "");
}

std::string FaultPoint::Command() const { return "fault " + Name(); }

SessionRun RunSession(const Environment& environment, const Scenario& scenario,
                      const FaultPoint* fault, const SessionRun* baseline) {
    SessionRun run;
    const long bstrsBefore = EmuLiveBstrCount();
    const long proxiesBefore = EmuLiveProxyReferences();
    std::ostringstream out;
    {
        host::session::SessionOptions options;
        options.pluginsFolder =
            scenario.pluginsFolder.empty() ? environment.pluginsFolder : scenario.pluginsFolder;
        options.codePage = scenario.codePage;
        options.baseFolder = environment.scenariosFolder;
        host::session::Session session(options, out);
        host::FaultPlan& plan = session.Host().Faults();
        host::EventLog& events = session.Host().Events();
        if (fault != nullptr && !session.Execute(fault->Command()))
            run.failures.push_back("the fault could not be armed");

        auto fired = [&] {
            if (fault == nullptr) return false;
            if (fault->kind == host::FaultKind::Automation)
                return plan.Count(host::FaultKind::Automation) >= fault->number;
            return !plan.Fired().empty();
        };
        auto step = [&](const std::string& line, const std::function<void()>& act) {
            const std::size_t firstEvent = events.Size();
            const bool firedBefore = fired();
            act();
            run.steps.push_back(StateOf(session, line));
            for (std::size_t k = 0; k < 4; ++k)
                run.steps.back().points[k] = plan.Count(host::kFaultKinds[k]);
            for (const std::string& row : DanglingRows(session))
                run.failures.push_back("after \"" + line + "\": " + row);
            if (firedBefore || !fired()) return;
            run.fired = true;
            if (baseline == nullptr || baseline->steps.size() <= run.steps.size() - 1) return;
            const StepState& now = run.steps.back();
            const StepState& expected = baseline->steps[run.steps.size() - 1];
            if (UserTold(session, firstEvent, now, expected)) return;
            if (NameNotReported(plan)) return;
            run.failures.push_back("silent after \"" + line + "\": the panel shows " +
                                   FirstDifference(now.content, expected.content) +
                                   " and the user was told nothing");
        };

        step("start", [&] { session.Start(); });
        for (const std::string& raw :
             ScenarioLines(environment.scenariosFolder + "/" + scenario.name + ".txt")) {
            const std::string line = Trim(raw);
            if (line.empty() || line[0] == '#') continue;
            step(line, [&] { session.Execute(line); });
        }
        session.Quit();
        for (std::size_t k = 0; k < 4; ++k) run.points[k] = plan.Count(host::kFaultKinds[k]);
        if (fired()) run.fired = true;
        for (const host::Event& e : events.OfKind(host::EventKind::Problem)) {
            // A start-up that answers an error is the outcome the host reports; what the
            // plug-in left behind is reported on its own.
            if (e.subject == "start-up failed") continue;
            run.failures.push_back("host problem: " + e.ToString());
        }
    }
    if (EmuLiveBstrCount() != bstrsBefore)
        run.failures.push_back(std::to_string(EmuLiveBstrCount() - bstrsBefore) + " BSTR(s) left");
    if (EmuLiveProxyReferences() != proxiesBefore)
        run.failures.push_back(std::to_string(EmuLiveProxyReferences() - proxiesBefore) +
                               " COM reference(s) left");
    run.transcript = out.str();
    return run;
}

}  // namespace sweep
