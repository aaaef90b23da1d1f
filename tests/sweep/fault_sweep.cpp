// fault-sweep: runs bundled scenarios once per fault point. A run without faults counts
// each scenario's points of every kind (the plug-in's allocations, suite calls, host
// string calls and automation calls, the last both failing once and dying there); then
// every point gets a session of its own. Sessions run in child processes, a batch at a
// time, so that a crash or a sanitizer's report is laid at the point that caused it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sweep_session.h"

#if defined(LUMARO_SANITIZED)
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;
using sweep::FaultPoint;
using sweep::Scenario;

namespace {

// The scenarios that bring call sites of their own: the demo (start-up, refresh, Find,
// the four commands, drawing, shutdown), the panel closed, hidden and destroyed, unload
// and reload, the plug-in object's menus and About box, a sibling of the same maker,
// names in code page 932, and a font manager that dies in the middle of a command.
std::vector<Scenario> BundledScenarios() {
    return {
        {"demo", 0, ""},
        {"panel-closed", 0, ""},
        {"unload-reload", 0, ""},
        {"plugin-object", 0, ""},
        {"sibling", 0, FAULT_SWEEP_SIBLING_PLUGINS},
        {"codepage-932", 932, ""},
        {"glyvor-dies", 0, ""},
    };
}

struct Options {
    long stride = 1;
    int jobs = 1;
    long batch = 40;
    long timeoutSeconds = 300;
    std::vector<std::string> scenarios;
    std::vector<std::string> kinds;
    std::string logFolder;
    bool countOnly = false;
};

[[noreturn]] void Usage(const std::string& error) {
    std::cerr << "fault-sweep: " << error << "\n"
              << "usage: fault-sweep [--stride N] [--jobs N] [--batch N] [--timeout SECONDS]\n"
              << "                   [--scenario NAME]... [--kind KIND]... [--log DIR] [--count]\n";
    std::exit(2);
}

long Number(const std::string& option, const char* text) {
    char* end = nullptr;
    const long value = text != nullptr ? std::strtol(text, &end, 10) : 0;
    if (text == nullptr || *end != '\0' || value < 1) Usage(option + " needs a number from 1");
    return value;
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--stride") {
            o.stride = Number(a, next), ++i;
        } else if (a == "--jobs") {
            o.jobs = static_cast<int>(Number(a, next)), ++i;
        } else if (a == "--batch") {
            o.batch = Number(a, next), ++i;
        } else if (a == "--timeout") {
            o.timeoutSeconds = Number(a, next), ++i;
        } else if (a == "--scenario" && next != nullptr) {
            o.scenarios.push_back(next), ++i;
        } else if (a == "--kind" && next != nullptr) {
            host::FaultKind kind;
            if (std::string(next) != "automation-death" && !host::FaultKindFromName(next, &kind))
                Usage(std::string("no fault kind ") + next);
            o.kinds.push_back(next), ++i;
        } else if (a == "--log" && next != nullptr) {
            o.logFolder = next, ++i;
        } else if (a == "--count") {
            o.countOnly = true;
        } else {
            Usage("unknown option " + a);
        }
    }
    return o;
}

struct Job {
    std::size_t scenario;
    FaultPoint point;
};

struct Outcome {
    bool done = false;
    bool fired = false;
    std::vector<std::string> failures;
};

// ---- In a child --------------------------------------------------------------------------

void WriteLine(int fd, const std::string& line) {
    const std::string text = line + "\n";
    for (std::size_t at = 0; at < text.size();) {
        const ssize_t n = write(fd, text.data() + at, text.size() - at);
        if (n <= 0) return;
        at += static_cast<std::size_t>(n);
    }
}

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\t') c = ' ';
    return text;
}

off_t SizeOf(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 ? st.st_size : 0;
}

// Runs jobs [first, last) and reports each on `fd`: "B i" before, "E i fired|quiet" and
// one "F i text" per failure after. Sanitizer reports go to stderr, a file of its own.
[[noreturn]] void RunChild(const sweep::Environment& environment,
                           const std::vector<Scenario>& scenarios,
                           const std::vector<sweep::SessionRun>& baselines,
                           const std::vector<Job>& jobs, std::size_t first, std::size_t last,
                           int fd, const std::string& logFolder) {
    for (std::size_t i = first; i < last; ++i) {
        const Job& job = jobs[i];
        WriteLine(fd, "B " + std::to_string(i));
        const off_t errorsBefore = SizeOf(2);
        sweep::SessionRun run;
        try {
            run = sweep::RunSession(environment, scenarios[job.scenario], &job.point,
                                    &baselines[job.scenario]);
        } catch (const std::exception& e) {
            run.failures.push_back(std::string("the session could not run: ") + e.what());
        }
#if defined(LUMARO_SANITIZED)
        // Leaks of the host's own memory the point caused (the plug-in's blocks are
        // the host's accounting's business).
        if (__lsan_do_recoverable_leak_check() != 0)
            run.failures.push_back("LeakSanitizer found leaks (see the log)");
#endif
        if (SizeOf(2) != errorsBefore) run.failures.push_back("output on standard error");
        if (!run.failures.empty() && !logFolder.empty()) {
            const std::string name = scenarios[job.scenario].name + "-" + job.point.Name();
            std::ofstream(logFolder + "/" + OneLine(name) + ".txt") << run.transcript;
        }
        WriteLine(fd, "E " + std::to_string(i) + (run.fired ? " fired" : " quiet"));
        for (const std::string& f : run.failures)
            WriteLine(fd, "F " + std::to_string(i) + " " + OneLine(f));
        // A leak found once is found again by every later check: start afresh.
        if (!run.failures.empty()) _exit(3);
    }
    _exit(0);
}

// ---- In the parent -----------------------------------------------------------------------

struct Child {
    pid_t pid;
    int fd;
    std::size_t first, last;
    long current = -1;  // the job begun and not ended
    std::string buffer;
    std::chrono::steady_clock::time_point began;
    std::string errors;  // the file its standard error goes to
};

void Handle(Child& child, const std::string& line, std::vector<Outcome>& outcomes) {
    std::istringstream in(line);
    char tag = 0;
    std::size_t index = 0;
    in >> tag >> index;
    if (index >= outcomes.size()) return;
    if (tag == 'B') {
        child.current = static_cast<long>(index);
        child.began = std::chrono::steady_clock::now();
    } else if (tag == 'E') {
        std::string state;
        in >> state;
        outcomes[index].done = true;
        outcomes[index].fired = state == "fired";
        child.current = -1;
        child.first = index + 1;
    } else if (tag == 'F') {
        std::string rest;
        std::getline(in, rest);
        outcomes[index].failures.push_back(rest.size() > 1 ? rest.substr(1) : rest);
    }
}

std::string Tail(const std::string& path, std::size_t lines) {
    std::ifstream in(path);
    std::vector<std::string> all;
    for (std::string l; std::getline(in, l);) all.push_back(l);
    std::string out;
    for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i)
        out += "    " + all[i] + "\n";
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    const auto started = std::chrono::steady_clock::now();

    // The samples and a folder for pictures, as the scenarios expect them.
    char pattern[] = "/tmp/lumaro-sweep-XXXXXX";
    if (mkdtemp(pattern) == nullptr) Usage("cannot make a temporary folder");
    const std::string work = pattern;
    const std::string samples = work + "/samples", demo = work + "/demo";
    fs::create_directories(samples);
    fs::create_directories(demo);
    const std::string make = std::string(FAULT_SWEEP_MAKE_SAMPLES) + " " + samples + " >/dev/null";
    if (std::system(make.c_str()) != 0) Usage("make-samples failed");
    setenv("SAMPLES", samples.c_str(), 1);
    setenv("DEMO", demo.c_str(), 1);
    const std::string logFolder = options.logFolder.empty() ? work + "/log" : options.logFolder;
    fs::create_directories(logFolder);

    const sweep::Environment environment{FAULT_SWEEP_SCENARIOS_DIR, FAULT_SWEEP_PLUGINS_DIR};
    std::vector<Scenario> scenarios;
    for (const Scenario& s : BundledScenarios()) {
        bool wanted = options.scenarios.empty();
        for (const std::string& name : options.scenarios) wanted = wanted || name == s.name;
        if (wanted) scenarios.push_back(s);
    }
    if (scenarios.empty()) Usage("no such scenario");
    auto kindWanted = [&](const std::string& name) {
        if (options.kinds.empty()) return true;
        for (const std::string& k : options.kinds)
            if (k == name) return true;
        return false;
    };

    // The runs without a fault: what the user should see, and the points to sweep.
    std::vector<sweep::SessionRun> baselines;
    std::vector<Job> jobs;
    std::map<std::string, long> pointsPerKind;
    for (std::size_t s = 0; s < scenarios.size(); ++s) {
        baselines.push_back(sweep::RunSession(environment, scenarios[s]));
        const sweep::SessionRun& base = baselines.back();
        if (!base.failures.empty()) {
            std::cout << "the scenario " << scenarios[s].name << " fails without a fault:\n";
            for (const std::string& f : base.failures) std::cout << "  " << f << "\n";
            std::cout << "0 fault points, 1 failures\n";
            return 1;
        }
        std::cout << "scenario " << scenarios[s].name << ":";
        for (std::size_t k = 0; k < 4; ++k) {
            const host::FaultKind kind = host::kFaultKinds[k];
            std::cout << (k == 0 ? " " : ", ") << base.points[k] << " " << FaultKindName(kind);
            const bool once = kindWanted(FaultKindName(kind));
            const bool death =
                kind == host::FaultKind::Automation && kindWanted("automation-death");
            for (long n = 1; n <= base.points[k]; n += options.stride) {
                if (once) jobs.push_back({s, FaultPoint{kind, n, false}});
                if (death) jobs.push_back({s, FaultPoint{kind, n, true}});
            }
        }
        std::cout << " (automation points fail once and die there)\n";
    }
    for (const Job& j : jobs)
        ++pointsPerKind[j.point.dies ? "automation-death" : FaultKindName(j.point.kind)];
    std::cout << "sweeping " << jobs.size() << " fault point(s)";
    if (options.stride > 1) std::cout << ", every " << options.stride << "th of each kind";
    std::cout << ":";
    for (const auto& [kind, count] : pointsPerKind) std::cout << " " << count << " " << kind;
    std::cout << "\n" << std::flush;
    if (options.countOnly) {
        std::cout << jobs.size() << " fault points, 0 failures\n";
        return 0;
    }

    std::vector<Outcome> outcomes(jobs.size());
    std::vector<Child> children;
    std::vector<std::pair<std::size_t, std::size_t>> pending;  // ranges to (re)start
    for (std::size_t first = 0; first < jobs.size();
         first += static_cast<std::size_t>(options.batch))
        pending.push_back(
            {first, std::min(jobs.size(), first + static_cast<std::size_t>(options.batch))});
    int childSerial = 0;
    std::size_t reported = 0;

    auto spawn = [&](std::size_t first, std::size_t last) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) Usage("no pipe");
        const std::string errors = logFolder + "/child-" + std::to_string(++childSerial) + ".err";
        std::cout << std::flush;
        const pid_t pid = fork();
        if (pid < 0) Usage("cannot fork");
        if (pid == 0) {
            close(pipeFds[0]);
            const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0) dup2(err, 2);
            RunChild(environment, scenarios, baselines, jobs, first, last, pipeFds[1], logFolder);
        }
        close(pipeFds[1]);
        Child child{pid, pipeFds[0], first, last, -1, "", std::chrono::steady_clock::now(), errors};
        children.push_back(child);
    };

    while (!pending.empty() || !children.empty()) {
        while (!pending.empty() && static_cast<int>(children.size()) < options.jobs) {
            spawn(pending.front().first, pending.front().second);
            pending.erase(pending.begin());
        }
        std::vector<pollfd> fds;
        for (const Child& c : children) fds.push_back({c.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), 1000);
        for (std::size_t c = 0; c < children.size(); ++c) {
            Child& child = children[c];
            bool ended = false;
            if (fds[c].revents & (POLLIN | POLLHUP | POLLERR)) {
                char text[4096];
                const ssize_t n = read(child.fd, text, sizeof text);
                if (n > 0) {
                    child.buffer.append(text, static_cast<std::size_t>(n));
                    for (auto nl = child.buffer.find('\n'); nl != std::string::npos;
                         nl = child.buffer.find('\n')) {
                        Handle(child, child.buffer.substr(0, nl), outcomes);
                        child.buffer.erase(0, nl + 1);
                    }
                } else {
                    ended = true;
                }
            }
            const auto running = std::chrono::steady_clock::now() - child.began;
            const bool hung =
                child.current >= 0 && running > std::chrono::seconds(options.timeoutSeconds);
            if (hung) kill(child.pid, SIGKILL);
            if (!ended && !hung) continue;
            int status = 0;
            waitpid(child.pid, &status, 0);
            close(child.fd);
            if (child.current >= 0) {
                Outcome& o = outcomes[static_cast<std::size_t>(child.current)];
                o.done = true;
                o.fired = true;
                std::string why =
                    hung ? "hung (killed after " + std::to_string(options.timeoutSeconds) + " s)"
                    : WIFSIGNALED(status)
                        ? "crashed with signal " + std::to_string(WTERMSIG(status))
                        : "died with exit status " + std::to_string(WEXITSTATUS(status));
                o.failures.push_back(why + "; the child's standard error (" + child.errors +
                                     ") ends:\n" + Tail(child.errors, 12));
                child.first = static_cast<std::size_t>(child.current) + 1;
            }
            if (child.first < child.last)
                pending.insert(pending.begin(), {child.first, child.last});
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(c));
            break;
        }
        // Progress on standard error, a line per hundred points.
        std::size_t done = 0;
        for (const Outcome& o : outcomes) done += o.done ? 1 : 0;
        if (done / 100 != reported / 100) {
            reported = done;
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::steady_clock::now() - started)
                                     .count();
            std::cerr << done << "/" << jobs.size() << " fault points, " << seconds << " s\n";
        }
    }

    std::size_t failures = 0, quiet = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const Outcome& o = outcomes[i];
        if (!o.fired) ++quiet;
        if (o.failures.empty()) continue;
        ++failures;
        std::cout << "FAIL " << scenarios[jobs[i].scenario].name << " " << jobs[i].point.Name()
                  << "  (replay: \"" << jobs[i].point.Command() << "\" at the head of "
                  << scenarios[jobs[i].scenario].name << ".txt)\n";
        for (const std::string& f : o.failures) std::cout << "  " << f << "\n";
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    std::cout << "time " << seconds << " s";
    if (quiet != 0) std::cout << "; " << quiet << " point(s) never reached";
    std::cout << "\n" << jobs.size() << " fault points, " << failures << " failures\n";
    std::error_code ignored;
    fs::remove_all(samples, ignored);
    fs::remove_all(demo, ignored);
    if (options.logFolder.empty() && failures == 0) fs::remove_all(work, ignored);
    return failures == 0 ? 0 : 1;
}
