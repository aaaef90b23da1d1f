// What a dialog's or item's notify procedure receives.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMNotifierSuite[] = "ADM Notifier Suite";
constexpr ASInt32 kADMNotifierSuiteVersion = 2;

struct ADMNotifierSuite2 {
    // The item the user acted on, or null for dialog-level notifications.
    ADMItemRef(HOSTAPI* GetItem)(ADMNotifierRef notifier);
    ADMDialogRef(HOSTAPI* GetDialog)(ADMNotifierRef notifier);
    ASBoolean(HOSTAPI* IsNotifierType)(ADMNotifierRef notifier, const char* type);
    void(HOSTAPI* GetNotifierType)(ADMNotifierRef notifier, char* type, ASUInt32 maxLength);
};
