#include "frame/AppContext.h"

#include "frame/Suites.h"

AppContextGuard::AppContextGuard(SPPluginRef pluginRef) {
    if (g_aiContext == nullptr) return;
    // A context the host did not push must not be popped: the pop would take
    // whatever context lies below.
    m_pushed = g_aiContext->PushAppContext(pluginRef, &m_context) == kNoErr;
}

AppContextGuard::~AppContextGuard() {
    // The suite may have gone while the guard lived (an unload inside a
    // notification); then there is nothing left to pop through.
    if (m_pushed && g_aiContext != nullptr) g_aiContext->PopAppContext(m_context);
}
