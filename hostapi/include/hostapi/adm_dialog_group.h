// Docking: which palette group a dialog sits in.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMDialogGroupSuite[] = "ADM Dialog Group Suite";
constexpr ASInt32 kADMDialogGroupSuiteVersion = 1;

// Position codes the host reports: a floating palette on its own, a palette
// docked in a column, a palette tabbed into a group.
constexpr ASInt32 kADMFloatingPositionCode = 0x00000000;
constexpr ASInt32 kADMDockedPositionCode = 0x00010000;
constexpr ASInt32 kADMTabbedPositionCode = 0x00010100;

struct ADMDialogGroupSuite1 {
    // groupName stays owned by the host and is valid until the next call.
    ASErr(HOSTAPI* GetDialogGroupInfo)(ADMDialogRef dialog, const char** groupName,
                                       ASInt32* positionCode);
    ASErr(HOSTAPI* SetDialogGroupInfo)(ADMDialogRef dialog, const char* groupName,
                                       ASInt32 positionCode);
};
