// The host's application context, pushed around work done outside a
// document operation (notifications).
#pragma once

#include "hostapi/types.h"

inline constexpr char kAIContextSuite[] = "AI Context Suite";
constexpr ASInt32 kAIContextSuiteVersion = 5;

using AIAppContextHandle = struct AIAppContext*;

struct AIContextSuite {
    ASErr(HOSTAPI* PushAppContext)(SPPluginRef plugin, AIAppContextHandle* context);
    // Pops must balance pushes; the host checks.
    ASErr(HOSTAPI* PopAppContext)(AIAppContextHandle context);
};
