// The entries of a list box.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMListSuite[] = "ADM List Suite";
constexpr ASInt32 kADMListSuiteVersion = 1;

struct ADMListSuite1 {
    ASInt32(HOSTAPI* NumberOfEntries)(ADMListRef list);
    // index may be 0 to NumberOfEntries; null when out of range.
    ADMEntryRef(HOSTAPI* InsertEntry)(ADMListRef list, ASInt32 index);
    void(HOSTAPI* RemoveEntry)(ADMListRef list, ASInt32 index);
    // Null when out of range.
    ADMEntryRef(HOSTAPI* IndexEntry)(ADMListRef list, ASInt32 index);
    ADMEntryRef(HOSTAPI* FindEntry)(ADMListRef list, const char* text);
    // The entry the user last selected, or null.
    ADMEntryRef(HOSTAPI* GetActiveEntry)(ADMListRef list);
    ASInt32(HOSTAPI* NumberOfSelectedEntries)(ADMListRef list);
    // selectionIndex counts selected entries only; null when out of range.
    ADMEntryRef(HOSTAPI* IndexSelectedEntry)(ADMListRef list, ASInt32 selectionIndex);
    ADMItemRef(HOSTAPI* GetItem)(ADMListRef list);
};
