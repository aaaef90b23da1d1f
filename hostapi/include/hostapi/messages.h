// Message records the host passes to PluginMain, and the caller and
// selector strings that name each message.
#pragma once

#include "hostapi/types.h"

struct SPBasicSuite;
using AINotifierHandle = struct AINotifier*;
using AIMenuItemHandle = struct AIMenuItem*;

// The entry point every module exports under the name "PluginMain".
using PluginMainProc = ASErr(HOSTAPI*)(const char* caller, const char* selector, void* message);

// At the start of every message.
struct SPMessageData {
    ASInt32 checkWord;    // not read by plug-ins
    SPPluginRef self;     // the host's reference to the plug-in
    void* globals;        // kept by the host for the plug-in between messages
    SPBasicSuite* basic;  // the host's basic suite
};

// Caller "AI Notifier".
struct AINotifierMessage {
    SPMessageData d;
    AINotifierHandle notifier;  // the registration that fired
    const char* type;           // the notifier type, e.g. "AI Application Started Notifier"
    void* notifyData;           // the notifier's own data
};

// Caller "AI Menu".
struct AIMenuMessage {
    SPMessageData d;
    AIMenuItemHandle menuItem;
};

inline constexpr char kSPAccessCaller[] = "SP Access";
inline constexpr char kSPAccessUnloadSelector[] = "Unload";
inline constexpr char kSPAccessReloadSelector[] = "Reload";

inline constexpr char kSPInterfaceCaller[] = "SP Interface";
inline constexpr char kSPInterfaceStartupSelector[] = "Startup";
inline constexpr char kSPInterfaceShutdownSelector[] = "Shutdown";
inline constexpr char kSPInterfaceAboutSelector[] = "About";

inline constexpr char kSPCacheCaller[] = "SP Cache";
inline constexpr char kSPPluginPurgeCachesSelector[] = "Plug-in Purge";

inline constexpr char kSPPropertiesCaller[] = "SP Properties";
inline constexpr char kSPPropertiesAcquireSelector[] = "Acquire";
inline constexpr char kSPPropertiesReleaseSelector[] = "Release";

inline constexpr char kAINotifierCaller[] = "AI Notifier";
inline constexpr char kAINotifySelector[] = "AI Notify";

inline constexpr char kActionCaller[] = "Action Manager";
inline constexpr char kDoActionSelector[] = "Do Action";

inline constexpr char kAIMenuCaller[] = "AI Menu";
inline constexpr char kAIGoSelector[] = "AI Go";
inline constexpr char kAIUpdateSelector[] = "AI Update";

inline constexpr char kAIFilterCaller[] = "AI Filter";
inline constexpr char kAIGetParametersSelector[] = "AI Get Parameters";

inline constexpr char kAIPluginGroupCaller[] = "AI Plugin Group";
inline constexpr char kAINotifyEditsSelector[] = "AI Notify Edits";

inline constexpr char kAIFileFormatCaller[] = "AI File Format";
inline constexpr char kAICheckSelector[] = "AI Check";
inline constexpr char kAIUpdateAI140Selector[] = "AI Update AI140";

inline constexpr char kAIToolCaller[] = "AI Tool";
inline constexpr char kAIEditOptionsSelector[] = "AI Edit Options";
inline constexpr char kAITrackCursorSelector[] = "AI Track Cursor";
inline constexpr char kAIMouseDownSelector[] = "AI Mouse Down";
inline constexpr char kAIMouseDragSelector[] = "AI Mouse Drag";
inline constexpr char kAIMouseUpSelector[] = "AI Mouse Up";
inline constexpr char kAISelectSelector[] = "AI Select";
inline constexpr char kAIDeselectSelector[] = "AI Deselect";
inline constexpr char kAIReselectSelector[] = "AI Reselect";
inline constexpr char kAIDecreaseDiameterSelector[] = "AI Decrease Diameter";
inline constexpr char kAIIncreaseDiameterSelector[] = "AI Increase Diameter";

inline constexpr char kAILiveEffectCaller[] = "AI Live Effect";
inline constexpr char kAILiveEffectEditParametersSelector[] = "AI Live Effect Edit Parameters";
inline constexpr char kAILiveEffectGoLiveSelector[] = "AI Live Effect Go Live";
inline constexpr char kAILiveEffectInterpolateSelector[] = "AI Live Effect Interpolate Parameters";
inline constexpr char kAILiveEffectInputTypeSelector[] = "AI Live Effect Input Type";
inline constexpr char kAILiveEffectScaleParametersSelector[] = "AI Live Effect Scale Parameters";
inline constexpr char kAILiveEffectConvertColorSpaceSelector[] =
    "AI Live Effect Convert Color Space";
inline constexpr char kAILiveEffectAdjustColorsSelector[] = "AI Live Effect Adjust Colors";
inline constexpr char kAILiveEffectHandleMergeSelector[] = "AI Live Effect Handle Merge";

inline constexpr char kAITimerCaller[] = "AI Timer";

inline constexpr char kAIClipboardCaller[] = "AI Clipboard";
inline constexpr char kAIClipboardCanCopySelector[] = "AI Can Copy";
inline constexpr char kAIClipboardCloneSelector[] = "AI Clone";
inline constexpr char kAIClipboardDisposeSelector[] = "AI Dispose";

// The host spells these three selectors "Woskspace"; they must match byte for byte.
inline constexpr char kWorkspaceCaller[] = "Workspace Manager";
inline constexpr char kWorkspaceWriteSelector[] = "Write Woskspace";
inline constexpr char kWorkspaceRestoreSelector[] = "Restore Woskspace";
inline constexpr char kWorkspaceDefaultSelector[] = "Default Woskspace";

// Notifier types the host fires.
inline constexpr char kAIApplicationStartedNotifier[] = "AI Application Started Notifier";
inline constexpr char kAIDocumentOpenedNotifier[] = "AI Document Opened Notifier";
inline constexpr char kAIDocumentChangedNotifier[] = "AI Document Changed Notifier";
inline constexpr char kAIBeforeSaveNotifier[] = "AI Command Notifier: Before Save";
inline constexpr char kAIBeforeSaveAsNotifier[] = "AI Command Notifier: Before Save As";
inline constexpr char kAIAfterSaveNotifier[] = "AI Command Notifier: After Save";
inline constexpr char kAIAfterSaveAsNotifier[] = "AI Command Notifier: After Save As";
inline constexpr char kAIFontListChangedNotifier[] = "AI Font List Changed Notifier";
