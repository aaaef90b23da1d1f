// Items of dialogs: buttons, texts, list boxes.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMItemSuite[] = "ADM Item Suite";
constexpr ASInt32 kADMItemSuiteVersion = 7;

struct ADMItemSuite7 {
    // initProc runs before Create returns; null when the item cannot be made.
    ADMItemRef(HOSTAPI* Create)(ADMDialogRef dialog, ASInt32 itemID, const char* itemType,
                                const ADMRect* bounds, ADMItemInitProc initProc,
                                ADMUserData userData, ASInt32 options);
    // Calls the destroy procedure, then frees the item.
    void(HOSTAPI* Destroy)(ADMItemRef item);

    // A null procedure removes the one installed.
    void(HOSTAPI* SetDrawProc)(ADMItemRef item, ADMItemDrawProc proc);
    ADMItemDrawProc(HOSTAPI* GetDrawProc)(ADMItemRef item);
    void(HOSTAPI* DefaultDraw)(ADMItemRef item, ADMDrawerRef drawer);
    void(HOSTAPI* SetTrackProc)(ADMItemRef item, ADMItemTrackProc proc);
    ADMItemTrackProc(HOSTAPI* GetTrackProc)(ADMItemRef item);
    ASBoolean(HOSTAPI* DefaultTrack)(ADMItemRef item, ADMTrackerRef tracker);
    void(HOSTAPI* SetNotifyProc)(ADMItemRef item, ADMItemNotifyProc proc);
    ADMItemNotifyProc(HOSTAPI* GetNotifyProc)(ADMItemRef item);
    void(HOSTAPI* DefaultNotify)(ADMItemRef item, ADMNotifierRef notifier);
    void(HOSTAPI* SetDestroyProc)(ADMItemRef item, ADMItemDestroyProc proc);
    ADMItemDestroyProc(HOSTAPI* GetDestroyProc)(ADMItemRef item);
    void(HOSTAPI* SetTextToFloatProc)(ADMItemRef item, ADMItemTextToFloatProc proc);
    ADMItemTextToFloatProc(HOSTAPI* GetTextToFloatProc)(ADMItemRef item);
    ASBoolean(HOSTAPI* DefaultTextToFloat)(ADMItemRef item, const char* text, float* value);
    void(HOSTAPI* SetFloatToTextProc)(ADMItemRef item, ADMItemFloatToTextProc proc);
    ADMItemFloatToTextProc(HOSTAPI* GetFloatToTextProc)(ADMItemRef item);
    ASBoolean(HOSTAPI* DefaultFloatToText)(ADMItemRef item, float value, char* text,
                                           ASInt32 textLength);

    void(HOSTAPI* SetUserData)(ADMItemRef item, ADMUserData userData);
    ADMUserData(HOSTAPI* GetUserData)(ADMItemRef item);
    ASInt32(HOSTAPI* GetID)(ADMItemRef item);
    ADMDialogRef(HOSTAPI* GetDialog)(ADMItemRef item);
    // Owned by the host.
    const char*(HOSTAPI* GetItemType)(ADMItemRef item);
    // Null when the item has no child of that ID.
    ADMItemRef(HOSTAPI* GetChildItem)(ADMItemRef item, ASInt32 childID);
    // Null for items that are not list boxes.
    ADMListRef(HOSTAPI* GetList)(ADMItemRef item);

    void(HOSTAPI* Enable)(ADMItemRef item, ASBoolean enable);
    ASBoolean(HOSTAPI* IsEnabled)(ADMItemRef item);
    void(HOSTAPI* Show)(ADMItemRef item, ASBoolean show);
    ASBoolean(HOSTAPI* IsVisible)(ADMItemRef item);
    void(HOSTAPI* GetBoundsRect)(ADMItemRef item, ADMRect* bounds);
    // The host copies the text.
    void(HOSTAPI* SetText)(ADMItemRef item, const char* text);
    // Always terminated inside maxLength.
    void(HOSTAPI* GetText)(ADMItemRef item, char* text, ASInt32 maxLength);
    ASInt32(HOSTAPI* GetTextLength)(ADMItemRef item);
    void(HOSTAPI* SetFont)(ADMItemRef item, ASInt32 font);
    ASInt32(HOSTAPI* GetFont)(ADMItemRef item);
};
