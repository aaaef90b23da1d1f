// Icons, loaded from the plug-in's "PNGI" resources.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMIconSuite[] = "ADM Icon Suite";
constexpr ASInt32 kADMIconSuiteVersion = 2;

struct ADMIconSuite2 {
    // Null when the resource is missing or not an image the host accepts.
    ADMIconRef(HOSTAPI* GetFromResource)(SPPluginRef plugin, const char* name, ASInt32 iconID,
                                         ASInt32 iconIndex);
    void(HOSTAPI* Destroy)(ADMIconRef icon);
    ASInt32(HOSTAPI* GetWidth)(ADMIconRef icon);
    ASInt32(HOSTAPI* GetHeight)(ADMIconRef icon);
};
