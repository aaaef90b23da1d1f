// The plug-in object: receives every host message once PluginMain has
// routed it, and owns the suites while the plug-in is started.
#pragma once

#include <cstdint>
#include <new>

#include "hostapi/suites.h"

class PluginSuites;

class Plugin {
public:
    explicit Plugin(SPPluginRef pluginRef);

    // Plug-in objects live in host memory, like everything of the plug-in.
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void* block) noexcept;

    // The virtual operations, in the order the host's plug-in frame fixes.
    virtual ~Plugin();  // 0
    virtual ASErr ReportMessageError(ASErr error, const char* caller, const char* selector,
                                     void* message);          // 1
    virtual ASErr HoldLoaded(bool hold);                      // 2
    virtual ASErr OnStartup(SPMessageData* message);          // 3
    virtual ASErr OnAppStarted();                             // 4
    virtual ASErr OnShutdown(SPMessageData* message);         // 5
    virtual ASErr OnUnload(SPMessageData* message);           // 6
    virtual ASErr OnReload(SPMessageData* message);           // 7
    virtual ASErr OnPropertyAcquire(SPMessageData* message);  // 8
    virtual ASErr OnPropertyRelease(SPMessageData* message);  // 9
    virtual ASInt32 CopyName(char* buffer, ASInt32 length);   // 10
    virtual ASErr OnAbout(SPMessageData* message);            // 11
    virtual ASErr OnPurgeCache();                             // 12
    virtual ASErr DispatchMessage(const char* caller, const char* selector,
                                  void* message);                    // 13
    virtual ASErr BindGlobal(Plugin* plugin);                        // 14
    virtual ASErr PrepareHook();                                     // 15
    virtual ASErr BindHook();                                        // 16
    virtual ASErr UnbindHook();                                      // 17
    virtual ASErr AcquireOptionalSuites();                           // 18
    virtual ASErr OnNotify(AINotifierMessage* message);              // 19
    virtual ASErr OnDoAction(void* message);                         // 20
    virtual ASErr OnMenuGo(AIMenuMessage* message);                  // 21
    virtual ASErr OnMenuUpdate(AIMenuMessage* message);              // 22
    virtual ASErr OnFilterGetParameters(void* message);              // 23
    virtual ASErr OnFilterGo(void* message);                         // 24
    virtual ASErr OnPluginGroupNotifyEdits(void* message);           // 25
    virtual ASErr OnPluginGroupUpdate(void* message);                // 26
    virtual ASErr OnFileFormatGetParameters(void* message);          // 27
    virtual ASErr OnFileFormatGo(void* message);                     // 28
    virtual ASErr OnFileFormatCheck(void* message);                  // 29
    virtual ASErr OnFileFormatUpdate(void* message);                 // 30
    virtual ASErr OnFileFormatDoAction(void* message);               // 31
    virtual ASErr OnToolEditOptions(void* message);                  // 32
    virtual ASErr OnToolTrackCursor(void* message);                  // 33
    virtual ASErr OnToolMouseDown(void* message);                    // 34
    virtual ASErr OnToolMouseDrag(void* message);                    // 35
    virtual ASErr OnToolMouseUp(void* message);                      // 36
    virtual ASErr OnToolSelect(void* message);                       // 37
    virtual ASErr OnToolDeselect(void* message);                     // 38
    virtual ASErr OnToolReselect(void* message);                     // 39
    virtual ASErr OnToolDecreaseDiameter(void* message);             // 40
    virtual ASErr OnToolIncreaseDiameter(void* message);             // 41
    virtual ASErr OnLiveEffectEditParameters(void* message);         // 42
    virtual ASErr OnLiveEffectGoLive(void* message);                 // 43
    virtual ASErr OnLiveEffectInterpolateParameters(void* message);  // 44
    virtual ASErr OnLiveEffectInputType(void* message);              // 45
    virtual ASErr OnLiveEffectConvertColorSpace(void* message);      // 46
    virtual ASErr OnLiveEffectScaleParameters(void* message);        // 47
    virtual ASErr OnLiveEffectAdjustColors(void* message);           // 48
    virtual ASErr OnLiveEffectHandleMerge(void* message);            // 49
    virtual ASErr OnTimerGo(void* message);                          // 50
    virtual ASErr OnClipboardGo(void* message);                      // 51
    virtual ASErr OnClipboardCanCopy(void* message);                 // 52
    virtual ASErr OnClipboardClone(void* message);                   // 53
    virtual ASErr OnClipboardDispose(void* message);                 // 54
    virtual ASErr OnWorkspaceWrite(void* message);                   // 55
    virtual ASErr OnWorkspaceRestore(void* message);                 // 56
    virtual ASErr OnWorkspaceDefault(void* message);                 // 57

    PluginSuites* Suites() const { return m_suites; }
    SPPluginRef PluginRef() const { return m_pluginRef; }
    const char* Name() const { return m_name; }

protected:
    // Makes the suite holder; the error the start-up and the reload return.
    ASErr AcquireSuiteHolder();
    void DeleteSuiteHolder();

    SPPluginRef m_pluginRef;
    char m_name[256];
    PluginSuites* m_suites;
    ASInt32 m_lockCount;
    SPAccessRef m_accessRef;
    ASErr m_lastError;
    ASInt32 m_repeatWindow;
    ASInt32 m_suppressRepeats;
    std::int64_t m_lastErrorTime;
};

// Made by the concrete plug-in; null when the host refuses the memory.
Plugin* CreatePluginObject(SPPluginRef pluginRef);
// Points an object that outlived an unload of the code at the reloaded code,
// without constructing it again or touching its fields.
void RebindPluginObject(Plugin* plugin);

bool IsReloadMessage(const char* caller, const char* selector);
bool IsIgnoredError(ASErr error);
void ShowErrorAlert(SPPluginRef pluginRef, ASErr error);
// Looks the code up in the plug-in's error string list; the buffer or null.
char* FindErrorText(SPPluginRef pluginRef, ASErr error, char* buffer, ASInt32 length);

// Seconds since 1970 (UTC) from the system clock, 64 bits wide on every build;
// what the repeat rule of ReportMessageError reads unless a test replaces it.
std::int64_t SystemSeconds();
using ErrorClock = std::int64_t (*)();
// Null restores SystemSeconds.
void SetErrorClock(ErrorClock clock);

constexpr ASInt32 kErrorStringListID = 16050;
constexpr ASInt32 kAboutStringListID = 16600;
