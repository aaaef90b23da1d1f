// Types of the host's dialog manager: opaque references, rectangles and
// the callback procedures a plug-in installs on dialogs and items.
#pragma once

#include "hostapi/types.h"

using ADMDialogRef = struct ADMDialog*;
using ADMItemRef = struct ADMItem*;
using ADMListRef = struct ADMList*;
using ADMEntryRef = struct ADMEntry*;
using ADMNotifierRef = struct ADMNotifier*;
using ADMDrawerRef = struct ADMDrawer*;
using ADMTrackerRef = struct ADMTracker*;
using ADMIconRef = struct ADMIcon*;
using ADMImageRef = struct ADMImage*;
using ADMHierarchyListRef = struct ADMHierarchyList*;
using ADMListEntryRef = struct ADMListEntry*;
// One word of user data per dialog, item and entry.
using ADMUserData = void*;

struct ADMRect {
    ASInt32 left;
    ASInt32 top;
    ASInt32 right;
    ASInt32 bottom;
};

struct ADMPoint {
    ASInt32 h;
    ASInt32 v;
};

using ADMDialogInitProc = ASErr(HOSTAPI*)(ADMDialogRef dialog);
using ADMDialogDrawProc = void(HOSTAPI*)(ADMDialogRef dialog, ADMDrawerRef drawer);
using ADMDialogTrackProc = ASBoolean(HOSTAPI*)(ADMDialogRef dialog, ADMTrackerRef tracker);
using ADMDialogNotifyProc = void(HOSTAPI*)(ADMDialogRef dialog, ADMNotifierRef notifier);
using ADMDialogDestroyProc = void(HOSTAPI*)(ADMDialogRef dialog);

using ADMItemInitProc = ASErr(HOSTAPI*)(ADMItemRef item);
using ADMItemDrawProc = void(HOSTAPI*)(ADMItemRef item, ADMDrawerRef drawer);
using ADMItemTrackProc = ASBoolean(HOSTAPI*)(ADMItemRef item, ADMTrackerRef tracker);
using ADMItemNotifyProc = void(HOSTAPI*)(ADMItemRef item, ADMNotifierRef notifier);
using ADMItemDestroyProc = void(HOSTAPI*)(ADMItemRef item);
using ADMItemTextToFloatProc = ASBoolean(HOSTAPI*)(ADMItemRef item, const char* text, float* value);
using ADMItemFloatToTextProc = ASBoolean(HOSTAPI*)(ADMItemRef item, float value, char* text,
                                                   ASInt32 textLength);

// Dialog styles.
constexpr ASInt32 kADMModalDialogStyle = 0;
constexpr ASInt32 kADMAlertDialogStyle = 1;
constexpr ASInt32 kADMFloatingDialogStyle = 2;
constexpr ASInt32 kADMTabbedFloatingDialogStyle = 3;
constexpr ASInt32 kADMResizingFloatingDialogStyle = 4;
constexpr ASInt32 kADMTabbedResizingFloatingDialogStyle = 5;
constexpr ASInt32 kADMPopupDialogStyle = 6;

// Item types, as the dialog resource and Create name them.
inline constexpr char kADMListBoxType[] = "ADM List Box Type";
inline constexpr char kADMTextStaticType[] = "ADM Text Static Type";
inline constexpr char kADMTextPushButtonType[] = "ADM Text Push Button Type";
inline constexpr char kADMSpinEditPopupType[] = "ADM Spin Edit Popup Type";
inline constexpr char kADMTextEditPopupType[] = "ADM Text Edit Popup Type";
inline constexpr char kADMTextEditType[] = "ADM Text Edit Type";
inline constexpr char kADMUserType[] = "ADM User Type";

// Notifier types.
inline constexpr char kADMUserChangedNotifier[] = "ADM User Changed Notifier";
inline constexpr char kADMIntermediateChangedNotifier[] = "ADM Intermediate Changed Notifier";
inline constexpr char kADMBoundsChangedNotifier[] = "ADM Bounds Changed Notifier";
inline constexpr char kADMCloseHitNotifier[] = "ADM Close Hit Notifier";
inline constexpr char kADMWindowShowNotifier[] = "ADM Window Show Notifier";
inline constexpr char kADMWindowHideNotifier[] = "ADM Window Hide Notifier";

// Child parts of compound items.
constexpr ASInt32 kADMCompoundEditChildID = 3;

// Fonts an item can use; 0 is the dialog's default.
constexpr ASInt32 kADMDefaultFont = 0;
constexpr ASInt32 kADMDialogFont = 1;
constexpr ASInt32 kADMPaletteFont = 2;
