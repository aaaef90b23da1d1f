// One entry of a list box.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMEntrySuite[] = "ADM Entry Suite";
constexpr ASInt32 kADMEntrySuiteVersion = 2;

struct ADMEntrySuite2 {
    // The host copies the text.
    void(HOSTAPI* SetText)(ADMEntryRef entry, const char* text);
    void(HOSTAPI* GetText)(ADMEntryRef entry, char* text, ASInt32 maxLength);
    ASInt32(HOSTAPI* GetTextLength)(ADMEntryRef entry);
    void(HOSTAPI* SetUserData)(ADMEntryRef entry, ADMUserData userData);
    ADMUserData(HOSTAPI* GetUserData)(ADMEntryRef entry);
    void(HOSTAPI* Select)(ADMEntryRef entry, ASBoolean select);
    ASBoolean(HOSTAPI* IsSelected)(ADMEntryRef entry);
    void(HOSTAPI* Activate)(ADMEntryRef entry, ASBoolean activate);
    ASBoolean(HOSTAPI* IsActive)(ADMEntryRef entry);
    ASInt32(HOSTAPI* GetIndex)(ADMEntryRef entry);
    ADMListRef(HOSTAPI* GetList)(ADMEntryRef entry);
    void(HOSTAPI* Enable)(ADMEntryRef entry, ASBoolean enable);
    ASBoolean(HOSTAPI* IsEnabled)(ADMEntryRef entry);
};
