// Holds the host's application context pushed for the length of a scope.
#pragma once

#include "hostapi/ai_context.h"

class AppContextGuard {
public:
    // Does nothing when the context suite is not held.
    explicit AppContextGuard(SPPluginRef pluginRef);
    ~AppContextGuard();
    AppContextGuard(const AppContextGuard&) = delete;
    AppContextGuard& operator=(const AppContextGuard&) = delete;

private:
    AIAppContextHandle m_context = nullptr;
    bool m_pushed = false;
};
