// Where the build put the test modules, and a host fixture around them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/host.h"

namespace host_test {

inline std::string PluginsFolder(const std::string& name) {
    return std::string(HOST_TEST_PLUGINS) + "/" + name;
}

inline std::string ModulePath(const std::string& folder, const std::string& file) {
    return PluginsFolder(folder) + "/" + file;
}

// The messages of the log as "plug-in caller/selector", in order.
inline std::vector<std::string> MessageTrace(const host::EventLog& log) {
    std::vector<std::string> trace;
    for (const host::Event& e : log.OfKind(host::EventKind::Message))
        trace.push_back(e.plugin + " " + e.subject);
    return trace;
}

inline std::vector<std::string> AlertTexts(const host::EventLog& log) {
    std::vector<std::string> texts;
    for (const host::Event& e : log.OfKind(host::EventKind::Alert)) texts.push_back(e.detail);
    return texts;
}

inline bool HasProblem(const host::EventLog& log, const std::string& subject) {
    for (const host::Event& e : log.OfKind(host::EventKind::Problem))
        if (e.subject == subject) return true;
    return false;
}

}  // namespace host_test
