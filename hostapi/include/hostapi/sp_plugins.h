// The host's record of each plug-in.
#pragma once

#include "hostapi/types.h"

inline constexpr char kSPPluginsSuite[] = "SP Plug-ins Suite";
constexpr ASInt32 kSPPluginsSuiteVersion = 4;

struct SPPluginsSuite {
    // The host copies the name.
    ASErr(HOSTAPI* SetPluginName)(SPPluginRef plugin, const char* name);
    // The name stays owned by the host.
    ASErr(HOSTAPI* GetPluginName)(SPPluginRef plugin, const char** name);
};
