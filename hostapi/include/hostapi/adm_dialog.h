// Dialogs of the host's dialog manager.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMDialogSuite[] = "ADM Dialog Suite";
constexpr ASInt32 kADMDialogSuiteVersion = 10;

struct ADMDialogSuite10 {
    // Builds a non-modal dialog from the plug-in's dialog resource. initProc
    // runs before Create returns; a non-zero result from it fails the creation
    // and Create answers null.
    ADMDialogRef(HOSTAPI* Create)(SPPluginRef plugin, const char* name, ASInt32 dialogID,
                                  ASInt32 style, ADMDialogInitProc initProc, ADMUserData userData,
                                  ASInt32 options);
    // Runs a dialog modally; returns the ID of the item that ended it, or -1.
    ASInt32(HOSTAPI* Modal)(SPPluginRef plugin, const char* name, ASInt32 dialogID, ASInt32 style,
                            ADMDialogInitProc initProc, ADMUserData userData, ASInt32 options);
    ASInt32(HOSTAPI* PopupModal)(SPPluginRef plugin, const char* name, ASInt32 dialogID,
                                 ADMDialogInitProc initProc, ADMUserData userData, ASInt32 options);
    // Calls the destroy procedure, then frees the dialog and its items.
    void(HOSTAPI* Destroy)(ADMDialogRef dialog);

    // A null procedure removes the one installed.
    void(HOSTAPI* SetDrawProc)(ADMDialogRef dialog, ADMDialogDrawProc proc);
    ADMDialogDrawProc(HOSTAPI* GetDrawProc)(ADMDialogRef dialog);
    void(HOSTAPI* DefaultDraw)(ADMDialogRef dialog, ADMDrawerRef drawer);
    void(HOSTAPI* SetTrackProc)(ADMDialogRef dialog, ADMDialogTrackProc proc);
    ADMDialogTrackProc(HOSTAPI* GetTrackProc)(ADMDialogRef dialog);
    ASBoolean(HOSTAPI* DefaultTrack)(ADMDialogRef dialog, ADMTrackerRef tracker);
    void(HOSTAPI* SetNotifyProc)(ADMDialogRef dialog, ADMDialogNotifyProc proc);
    ADMDialogNotifyProc(HOSTAPI* GetNotifyProc)(ADMDialogRef dialog);
    void(HOSTAPI* DefaultNotify)(ADMDialogRef dialog, ADMNotifierRef notifier);
    void(HOSTAPI* SetDestroyProc)(ADMDialogRef dialog, ADMDialogDestroyProc proc);
    ADMDialogDestroyProc(HOSTAPI* GetDestroyProc)(ADMDialogRef dialog);

    void(HOSTAPI* SetUserData)(ADMDialogRef dialog, ADMUserData userData);
    ADMUserData(HOSTAPI* GetUserData)(ADMDialogRef dialog);
    SPPluginRef(HOSTAPI* GetPluginRef)(ADMDialogRef dialog);
    // Owned by the host.
    const char*(HOSTAPI* GetDialogName)(ADMDialogRef dialog);
    ASInt32(HOSTAPI* GetID)(ADMDialogRef dialog);

    void(HOSTAPI* Show)(ADMDialogRef dialog, ASBoolean show);
    ASBoolean(HOSTAPI* IsVisible)(ADMDialogRef dialog);
    void(HOSTAPI* Enable)(ADMDialogRef dialog, ASBoolean enable);
    ASBoolean(HOSTAPI* IsEnabled)(ADMDialogRef dialog);
    void(HOSTAPI* GetBoundsRect)(ADMDialogRef dialog, ADMRect* bounds);
    void(HOSTAPI* SetBoundsRect)(ADMDialogRef dialog, const ADMRect* bounds);
    void(HOSTAPI* SetText)(ADMDialogRef dialog, const char* text);
    void(HOSTAPI* GetText)(ADMDialogRef dialog, char* text, ASInt32 maxLength);

    // Null when the dialog has no item of that ID.
    ADMItemRef(HOSTAPI* GetItem)(ADMDialogRef dialog, ASInt32 itemID);

    // Icon index 0 is the normal icon, 1 the alternate (highlighted) one.
    ASErr(HOSTAPI* SetIcon)(ADMDialogRef dialog, ASInt32 iconIndex, ADMIconRef icon);
    ADMIconRef(HOSTAPI* GetIcon)(ADMDialogRef dialog, ASInt32 iconIndex);
};
