// The plug-in's debug-assertion channel. In the emulation every report is recorded
// (EmuAssertionCount / EmuAssertionAt) and handed to the sink the host installs
// (EmuSetAssertionSink); it never stops the program.
#pragma once

#include "platform/emu/types.h"

PLATFORM_BEGIN_C
PLATFORM_API void PlatformReportAssertion(const char* expression, const char* source, int line);
PLATFORM_END_C
