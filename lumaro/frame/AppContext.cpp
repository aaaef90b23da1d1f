#include "frame/AppContext.h"

#include "frame/Suites.h"

AppContextGuard::AppContextGuard(SPPluginRef pluginRef) {
    if (g_aiContext == nullptr) return;
    g_aiContext->PushAppContext(pluginRef, &m_context);
    m_pushed = true;
}

AppContextGuard::~AppContextGuard() {
    // The suite may have gone while the guard lived (an unload inside a
    // notification); then there is nothing left to pop through.
    if (m_pushed && g_aiContext != nullptr) g_aiContext->PopAppContext(m_context);
}
