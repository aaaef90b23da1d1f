// Keeping a plug-in's code loaded.
#pragma once

#include "hostapi/types.h"

inline constexpr char kSPAccessSuite[] = "SP Access Suite";
constexpr ASInt32 kSPAccessSuiteVersion = 3;

struct SPAccessSuite {
    // While an access reference is held the host keeps the plug-in loaded.
    ASErr(HOSTAPI* AcquirePlugin)(SPPluginRef plugin, SPAccessRef* access);
    ASErr(HOSTAPI* ReleasePlugin)(SPAccessRef access);
    ASErr(HOSTAPI* GetAccessCount)(SPPluginRef plugin, ASInt32* count);
};
