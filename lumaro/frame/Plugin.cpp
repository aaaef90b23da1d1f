#include "frame/Plugin.h"

#include <cstdio>
#include <cstring>

#include "frame/AppContext.h"
#include "frame/HostMemory.h"
#include "frame/Suites.h"
#include "platform/win32.h"

namespace {

constexpr ASInt32 kDefaultRepeatWindowSeconds = 5;

bool Equal(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// Seconds from 1601-01-01, where FILETIME counts from, to 1970-01-01.
constexpr std::int64_t kFileTimeEpochOffset = 11644473600;
constexpr std::int64_t kFileTimeUnitsPerSecond = 10000000;

ErrorClock g_errorClock = &SystemSeconds;

}  // namespace

// Not time(): the 32-bit Windows runtime's time_t is 32 bits wide and stops at
// January 2038. FILETIME is 64 bits wide on every build.
std::int64_t SystemSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t units =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(units / kFileTimeUnitsPerSecond) - kFileTimeEpochOffset;
}

void SetErrorClock(ErrorClock clock) { g_errorClock = clock != nullptr ? clock : &SystemSeconds; }

void* Plugin::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return PluginAlloc(size);
}

void Plugin::operator delete(void* block) noexcept { PluginFree(block); }

Plugin::Plugin(SPPluginRef pluginRef)
    : m_pluginRef(pluginRef),
      m_name{},
      m_suites(nullptr),
      m_lockCount(0),
      m_accessRef(nullptr),
      m_lastError(kNoErr),
      m_repeatWindow(kDefaultRepeatWindowSeconds),
      m_suppressRepeats(1),
      m_lastErrorTime(0) {
    std::snprintf(m_name, sizeof m_name, "%s", "Plugin");
}

// Normally the holder is gone by now; after a start-up that failed part-way
// it is not, and its suites must still go back to the host.
Plugin::~Plugin() { DeleteSuiteHolder(); }

ASErr Plugin::ReportMessageError(ASErr error, const char*, const char*, void*) {
    if (IsIgnoredError(error)) return kNoErr;
    const std::int64_t now = g_errorClock();
    if (error == m_lastError && m_suppressRepeats != 0 &&
        now < m_lastErrorTime + static_cast<std::int64_t>(m_repeatWindow)) {
        return kNoErr;
    }
    m_lastError = error;
    m_lastErrorTime = now;
    ShowErrorAlert(m_pluginRef, error);
    return kNoErr;
}

ASErr Plugin::HoldLoaded(bool hold) {
    if (hold) {
        if (++m_lockCount == 1 && g_spAccess != nullptr) {
            g_spAccess->AcquirePlugin(m_pluginRef, &m_accessRef);
        }
    } else {
        --m_lockCount;
        if (m_lockCount == 0) {
            if (g_spAccess != nullptr && m_accessRef != nullptr) {
                g_spAccess->ReleasePlugin(m_accessRef);
            }
            m_accessRef = nullptr;
        } else if (m_lockCount < 0) {
            m_lockCount = 0;
        }
    }
    return kNoErr;
}

ASErr Plugin::AcquireSuiteHolder() {
    ASErr error = kOutOfMemoryErr;
    if (m_suites == nullptr) {
        m_suites = new (std::nothrow) PluginSuites;
        if (m_suites != nullptr) error = m_suites->AcquireError();
    } else {
        error = m_suites->AcquireError();
    }
    if (m_suites != nullptr) g_suiteUseCount = 1;
    if (error != kNoErr) DeleteSuiteHolder();
    return error;
}

void Plugin::DeleteSuiteHolder() {
    delete m_suites;
    m_suites = nullptr;
}

ASErr Plugin::OnStartup(SPMessageData* message) {
    BindGlobal(this);
    if (ASErr error = AcquireSuiteHolder()) return error;

    if (ASErr error = g_spPlugins->SetPluginName(message->self, m_name)) return error;

    char notifierName[300];
    std::snprintf(notifierName, sizeof notifierName, "%s App Started Notifier", m_name);
    if (ASErr error = g_aiNotifier->AddNotifier(message->self, notifierName,
                                                kAIApplicationStartedNotifier, nullptr)) {
        return error;
    }

    const ASErr error = PrepareHook();
    if (error == kNoErr) BindHook();
    return error;
}

ASErr Plugin::OnAppStarted() { return kNoErr; }

ASErr Plugin::OnShutdown(SPMessageData*) {
    DeleteSuiteHolder();
    BindGlobal(nullptr);
    return kNoErr;
}

ASErr Plugin::OnUnload(SPMessageData*) {
    UnbindHook();
    BindGlobal(nullptr);
    DeleteSuiteHolder();
    return kNoErr;
}

ASErr Plugin::OnReload(SPMessageData*) {
    BindGlobal(this);
    if (ASErr error = AcquireSuiteHolder()) return error;
    BindHook();
    return kNoErr;
}

ASErr Plugin::OnPropertyAcquire(SPMessageData*) { return kUnhandledMsgErr; }
ASErr Plugin::OnPropertyRelease(SPMessageData*) { return kUnhandledMsgErr; }

ASInt32 Plugin::CopyName(char* buffer, ASInt32 length) {
    const ASInt32 full = static_cast<ASInt32>(std::strlen(m_name));
    if (buffer != nullptr && length > 0) {
        const ASInt32 copied = full < length - 1 ? full : length - 1;
        std::memcpy(buffer, m_name, static_cast<std::size_t>(copied));
        buffer[copied] = '\0';
    }
    return full;
}

ASErr Plugin::OnAbout(SPMessageData*) {
    char text1[256] = "";
    char text2[256] = "";
    if (g_admBasic == nullptr) return kNoErr;
    if (g_admBasic->GetIndexString(m_pluginRef, kAboutStringListID, 1, text1, sizeof text1)) {
        text1[0] = '\0';
    }
    if (g_admBasic->GetIndexString(m_pluginRef, kAboutStringListID, 2, text2, sizeof text2)) {
        text2[0] = '\0';
    }
    g_admBasic->AboutBox(m_pluginRef, text1, text2);
    return kNoErr;
}

ASErr Plugin::OnPurgeCache() { return kNoErr; }

ASErr Plugin::BindGlobal(Plugin*) { return kNoErr; }
ASErr Plugin::PrepareHook() { return kNoErr; }
ASErr Plugin::BindHook() { return kNoErr; }
ASErr Plugin::UnbindHook() { return kNoErr; }

ASErr Plugin::AcquireOptionalSuites() {
    if (m_suites != nullptr) m_suites->AcquireOptional();
    return kNoErr;
}

ASErr Plugin::OnNotify(AINotifierMessage*) { return kNoErr; }
ASErr Plugin::OnDoAction(void*) { return kNoErr; }
ASErr Plugin::OnMenuGo(AIMenuMessage*) { return kUnhandledMsgErr; }
ASErr Plugin::OnMenuUpdate(AIMenuMessage*) { return kUnhandledMsgErr; }
ASErr Plugin::OnFilterGetParameters(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnFilterGo(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnPluginGroupNotifyEdits(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnPluginGroupUpdate(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnFileFormatGetParameters(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnFileFormatGo(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnFileFormatCheck(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnFileFormatUpdate(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnFileFormatDoAction(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolEditOptions(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolTrackCursor(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolMouseDown(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolMouseDrag(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolMouseUp(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolSelect(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolDeselect(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnToolReselect(void*) { return kNoErr; }
ASErr Plugin::OnToolDecreaseDiameter(void*) { return kNoErr; }
ASErr Plugin::OnToolIncreaseDiameter(void*) { return kNoErr; }
ASErr Plugin::OnLiveEffectEditParameters(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnLiveEffectGoLive(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnLiveEffectInterpolateParameters(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnLiveEffectInputType(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnLiveEffectConvertColorSpace(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnLiveEffectScaleParameters(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnLiveEffectAdjustColors(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnLiveEffectHandleMerge(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnTimerGo(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnClipboardGo(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnClipboardCanCopy(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnClipboardClone(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnClipboardDispose(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnWorkspaceWrite(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnWorkspaceRestore(void*) { return kUnhandledMsgErr; }
ASErr Plugin::OnWorkspaceDefault(void*) { return kUnhandledMsgErr; }

// The routing table. Callers are tested in a fixed order; within a caller
// the first equal selector decides.
namespace {

using Handler = ASErr (*)(Plugin&, void*);

struct Route {
    const char* selector;
    Handler handler;
};

template <std::size_t N>
bool RouteSelector(const Route (&routes)[N], Plugin& plugin, const char* selector, void* message,
                   ASErr* result) {
    for (const Route& route : routes) {
        if (Equal(selector, route.selector)) {
            *result = route.handler(plugin, message);
            return true;
        }
    }
    return false;
}

#define LUMARO_ROUTE(selector, call)                               \
    {                                                              \
        selector, [](Plugin& p, void* m) -> ASErr { return call; } \
    }

const Route kAccessRoutes[] = {
    LUMARO_ROUTE(kSPAccessUnloadSelector, p.OnUnload(static_cast<SPMessageData*>(m))),
    LUMARO_ROUTE(kSPAccessReloadSelector, p.OnReload(static_cast<SPMessageData*>(m))),
};
const Route kInterfaceRoutes[] = {
    LUMARO_ROUTE(kSPInterfaceAboutSelector, p.OnAbout(static_cast<SPMessageData*>(m))),
    LUMARO_ROUTE(kSPInterfaceStartupSelector, ((void)p, (void)m, kNoErr)),
};
const Route kCacheRoutes[] = {
    LUMARO_ROUTE(kSPPluginPurgeCachesSelector,
                 ((void)m, p.OnPurgeCache() != kNoErr ? kPurgedAnswer : kNoErr)),
};
const Route kPropertiesRoutes[] = {
    LUMARO_ROUTE(kSPPropertiesAcquireSelector, p.OnPropertyAcquire(static_cast<SPMessageData*>(m))),
    LUMARO_ROUTE(kSPPropertiesReleaseSelector, p.OnPropertyRelease(static_cast<SPMessageData*>(m))),
};
const Route kActionRoutes[] = {
    LUMARO_ROUTE(kDoActionSelector, p.OnDoAction(m)),
};
const Route kMenuRoutes[] = {
    LUMARO_ROUTE(kAIGoSelector, p.OnMenuGo(static_cast<AIMenuMessage*>(m))),
    LUMARO_ROUTE(kAIUpdateSelector, p.OnMenuUpdate(static_cast<AIMenuMessage*>(m))),
};
const Route kFilterRoutes[] = {
    LUMARO_ROUTE(kAIGetParametersSelector, p.OnFilterGetParameters(m)),
    LUMARO_ROUTE(kAIGoSelector, p.OnFilterGo(m)),
};
const Route kPluginGroupRoutes[] = {
    LUMARO_ROUTE(kAINotifyEditsSelector, p.OnPluginGroupNotifyEdits(m)),
    LUMARO_ROUTE(kAIUpdateSelector, p.OnPluginGroupUpdate(m)),
};
const Route kFileFormatRoutes[] = {
    LUMARO_ROUTE(kAIGetParametersSelector, p.OnFileFormatGetParameters(m)),
    LUMARO_ROUTE(kAIGoSelector, p.OnFileFormatGo(m)),
    LUMARO_ROUTE(kAICheckSelector, p.OnFileFormatCheck(m)),
    LUMARO_ROUTE(kAIUpdateAI140Selector, p.OnFileFormatUpdate(m)),
    LUMARO_ROUTE(kDoActionSelector, p.OnFileFormatDoAction(m)),
};
const Route kToolRoutes[] = {
    LUMARO_ROUTE(kAIEditOptionsSelector, p.OnToolEditOptions(m)),
    LUMARO_ROUTE(kAITrackCursorSelector, p.OnToolTrackCursor(m)),
    LUMARO_ROUTE(kAIMouseDownSelector, p.OnToolMouseDown(m)),
    LUMARO_ROUTE(kAIMouseDragSelector, p.OnToolMouseDrag(m)),
    LUMARO_ROUTE(kAIMouseUpSelector, p.OnToolMouseUp(m)),
    LUMARO_ROUTE(kAISelectSelector, p.OnToolSelect(m)),
    LUMARO_ROUTE(kAIDeselectSelector, p.OnToolDeselect(m)),
    LUMARO_ROUTE(kAIReselectSelector, p.OnToolReselect(m)),
    LUMARO_ROUTE(kAIDecreaseDiameterSelector, p.OnToolDecreaseDiameter(m)),
    LUMARO_ROUTE(kAIIncreaseDiameterSelector, p.OnToolIncreaseDiameter(m)),
};
// Scale Parameters is tested before Convert Color Space although its slot comes after.
const Route kLiveEffectRoutes[] = {
    LUMARO_ROUTE(kAILiveEffectEditParametersSelector, p.OnLiveEffectEditParameters(m)),
    LUMARO_ROUTE(kAILiveEffectGoLiveSelector, p.OnLiveEffectGoLive(m)),
    LUMARO_ROUTE(kAILiveEffectInterpolateSelector, p.OnLiveEffectInterpolateParameters(m)),
    LUMARO_ROUTE(kAILiveEffectInputTypeSelector, p.OnLiveEffectInputType(m)),
    LUMARO_ROUTE(kAILiveEffectScaleParametersSelector, p.OnLiveEffectScaleParameters(m)),
    LUMARO_ROUTE(kAILiveEffectConvertColorSpaceSelector, p.OnLiveEffectConvertColorSpace(m)),
    LUMARO_ROUTE(kAILiveEffectAdjustColorsSelector, p.OnLiveEffectAdjustColors(m)),
    LUMARO_ROUTE(kAILiveEffectHandleMergeSelector, p.OnLiveEffectHandleMerge(m)),
};
const Route kTimerRoutes[] = {
    LUMARO_ROUTE(kAIGoSelector, p.OnTimerGo(m)),
};
const Route kClipboardRoutes[] = {
    LUMARO_ROUTE(kAIGoSelector, p.OnClipboardGo(m)),
    LUMARO_ROUTE(kAIClipboardCanCopySelector, p.OnClipboardCanCopy(m)),
    LUMARO_ROUTE(kAIClipboardCloneSelector, p.OnClipboardClone(m)),
    LUMARO_ROUTE(kAIClipboardDisposeSelector, p.OnClipboardDispose(m)),
};
const Route kWorkspaceRoutes[] = {
    LUMARO_ROUTE(kWorkspaceWriteSelector, p.OnWorkspaceWrite(m)),
    LUMARO_ROUTE(kWorkspaceRestoreSelector, p.OnWorkspaceRestore(m)),
    LUMARO_ROUTE(kWorkspaceDefaultSelector, p.OnWorkspaceDefault(m)),
};

#undef LUMARO_ROUTE

ASErr DispatchNotification(Plugin& plugin, const char* selector, AINotifierMessage* message) {
    AppContextGuard context(message->d.self);
    ASErr result = kUnhandledMsgErr;
    if (message->type != nullptr && Equal(message->type, kAIApplicationStartedNotifier)) {
        result = plugin.OnAppStarted();
        if (result != kNoErr && result != kUnhandledMsgErr) return result;
    }
    if (Equal(selector, kAINotifySelector)) result = plugin.OnNotify(message);
    return result;
}

}  // namespace

ASErr Plugin::DispatchMessage(const char* caller, const char* selector, void* message) {
    AcquireOptionalSuites();

    ASErr result = kUnhandledMsgErr;
    struct CallerRoutes {
        const char* caller;
        bool (*route)(Plugin&, const char*, void*, ASErr*);
    };
#define LUMARO_CALLER(name, table)                              \
    {                                                           \
        name, [](Plugin& p, const char* s, void* m, ASErr* r) { \
            return RouteSelector(table, p, s, m, r);            \
        }                                                       \
    }
    static const CallerRoutes kCallers[] = {
        LUMARO_CALLER(kSPAccessCaller, kAccessRoutes),
        LUMARO_CALLER(kSPInterfaceCaller, kInterfaceRoutes),
        LUMARO_CALLER(kSPCacheCaller, kCacheRoutes),
        LUMARO_CALLER(kSPPropertiesCaller, kPropertiesRoutes),
        {kAINotifierCaller,
         [](Plugin& p, const char* s, void* m, ASErr* r) {
             *r = DispatchNotification(p, s, static_cast<AINotifierMessage*>(m));
             return true;
         }},
        LUMARO_CALLER(kActionCaller, kActionRoutes),
        LUMARO_CALLER(kAIMenuCaller, kMenuRoutes),
        LUMARO_CALLER(kAIFilterCaller, kFilterRoutes),
        LUMARO_CALLER(kAIPluginGroupCaller, kPluginGroupRoutes),
        LUMARO_CALLER(kAIFileFormatCaller, kFileFormatRoutes),
        LUMARO_CALLER(kAIToolCaller, kToolRoutes),
        LUMARO_CALLER(kAILiveEffectCaller, kLiveEffectRoutes),
        LUMARO_CALLER(kAITimerCaller, kTimerRoutes),
        LUMARO_CALLER(kAIClipboardCaller, kClipboardRoutes),
        LUMARO_CALLER(kWorkspaceCaller, kWorkspaceRoutes),
    };
#undef LUMARO_CALLER

    for (const CallerRoutes& entry : kCallers) {
        if (Equal(caller, entry.caller)) {
            entry.route(*this, selector, message, &result);
            break;
        }
    }
    return result;
}
