// Registrations for host events; the host later sends "AI Notifier" /
// "AI Notify" messages carrying the handle and the type.
#pragma once

#include "hostapi/messages.h"
#include "hostapi/types.h"

inline constexpr char kAINotifierSuite[] = "AI Notifier Suite";
constexpr ASInt32 kAINotifierSuiteVersion = 2;

struct AINotifierSuite {
    // Name and type are copied by the host; notifier may be null.
    ASErr(HOSTAPI* AddNotifier)(SPPluginRef self, const char* name, const char* type,
                                AINotifierHandle* notifier);
    ASErr(HOSTAPI* GetNotifierName)(AINotifierHandle notifier, const char** name);
    ASErr(HOSTAPI* GetNotifierActive)(AINotifierHandle notifier, ASBoolean* active);
    ASErr(HOSTAPI* SetNotifierActive)(AINotifierHandle notifier, ASBoolean active);
    ASErr(HOSTAPI* GetNotifierPlugin)(AINotifierHandle notifier, SPPluginRef* plugin);
    ASErr(HOSTAPI* CountNotifiers)(ASInt32* count);
    ASErr(HOSTAPI* GetNthNotifier)(ASInt32 n, AINotifierHandle* notifier);
};
