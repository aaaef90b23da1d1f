// lumaro-host as a function, so that the tests run it in-process and see its
// output and exit status.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

constexpr int kExitClean = 0;
constexpr int kExitFailed = 1;  // a command failed, or a plug-in left something behind
constexpr int kExitUsage = 2;   // bad option, unreadable scenario, no session

// Reads one line of the console; false at its end.
using LineReader = std::function<bool(std::string* line)>;

// args excludes the program name. `input` is standard input (for "-"); `console`,
// when set, reads lines from a person at a terminal and is used when no scenario
// is named. `progress`, when set, receives progress of long work.
int RunLumaroHost(const std::vector<std::string>& args, std::istream& input, std::ostream& out,
                  std::ostream& err, const LineReader& console = nullptr,
                  std::ostream* progress = nullptr);

}  // namespace cli
