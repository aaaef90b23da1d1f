// The procedures the host calls for wrapped dialogs and items. Each finds its
// wrapper in the host object's user data, checks it, calls one virtual
// operation and stops every exception there: none may unwind into the host.
#pragma once

#include "hostapi/adm_types.h"

struct ADMProcedures {
    // A dialog without a wrapper fails its creation with 'PARM'; an exception
    // from Init fails it with the ai::Error code, else 'CANT'.
    static ASErr HOSTAPI DialogInitProc(ADMDialogRef dialog);
    static void HOSTAPI DialogDrawProc(ADMDialogRef dialog, ADMDrawerRef drawer);
    static ASBoolean HOSTAPI DialogTrackProc(ADMDialogRef dialog, ADMTrackerRef tracker);
    static void HOSTAPI DialogNotifyProc(ADMDialogRef dialog, ADMNotifierRef notifier);
    static void HOSTAPI DialogDestroyProc(ADMDialogRef dialog);

    static ASErr HOSTAPI ItemInitProc(ADMItemRef item);
    static void HOSTAPI ItemDrawProc(ADMItemRef item, ADMDrawerRef drawer);
    static ASBoolean HOSTAPI ItemTrackProc(ADMItemRef item, ADMTrackerRef tracker);
    static void HOSTAPI ItemNotifyProc(ADMItemRef item, ADMNotifierRef notifier);
    static void HOSTAPI ItemDestroyProc(ADMItemRef item);
    static ASBoolean HOSTAPI ItemTextToFloatProc(ADMItemRef item, const char* text, float* value);
    static ASBoolean HOSTAPI ItemFloatToTextProc(ADMItemRef item, float value, char* text,
                                                 ASInt32 textLength);
};
