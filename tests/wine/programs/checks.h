// What the Windows check programs report: a line per check, "ok" or "FAIL", and
// at the end the count of failures as the exit status.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

inline int g_failures = 0;

inline void Check(bool ok, const std::string& what, const std::string& detail = "") {
    if (!ok) ++g_failures;
    std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", what.c_str(), detail.empty() ? "" : ": ",
                detail.c_str());
    std::fflush(stdout);
}

inline std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// The program's exit status: how many checks failed, at most 100.
inline int ReportFailures() {
    std::printf("%d check(s) failed\n", g_failures);
    return std::min(g_failures, 100);
}
