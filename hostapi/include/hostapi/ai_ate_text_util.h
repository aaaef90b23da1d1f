// Text engine utilities. Acquired by the plug-in, not called.
#pragma once

#include "hostapi/types.h"

inline constexpr char kAIATETextUtilSuite[] = "AI ATE Text Util Suite";
constexpr ASInt32 kAIATETextUtilSuiteVersion = 2;

struct AIATETextUtilSuite2 {
    ASErr(HOSTAPI* CountTextFrames)(ASInt32* count);
    ASErr(HOSTAPI* GetTextFrameFontCount)(ASInt32 frame, ASInt32* count);
};
