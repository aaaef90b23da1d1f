// Tree-shaped lists. Acquired by the plug-in, not called.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMHierarchyListSuite[] = "ADM Hierarchy List Suite";
constexpr ASInt32 kADMHierarchyListSuiteVersion = 5;

struct ADMHierarchyListSuite5 {
    ASInt32(HOSTAPI* NumberOfEntries)(ADMHierarchyListRef list);
    ADMListEntryRef(HOSTAPI* InsertEntry)(ADMHierarchyListRef list, ASInt32 index);
    void(HOSTAPI* RemoveEntry)(ADMHierarchyListRef list, ASInt32 index);
    ADMListEntryRef(HOSTAPI* IndexEntry)(ADMHierarchyListRef list, ASInt32 index);
};
