// Programming errors are reported with the expression, a source name and
// the line, and then ignored: they never stop the host.
#pragma once

#include "platform/win32.h"

#define LUMARO_ASSERT(expression, source)                                          \
    do {                                                                           \
        if (!(expression)) PlatformReportAssertion(#expression, source, __LINE__); \
    } while (false)
