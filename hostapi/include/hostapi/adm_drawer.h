// Drawing inside a draw procedure. Acquired by the plug-in, not called.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMDrawerSuite[] = "ADM Drawer Suite";
constexpr ASInt32 kADMDrawerSuiteVersion = 6;

struct ADMDrawerSuite6 {
    void(HOSTAPI* GetBoundsRect)(ADMDrawerRef drawer, ADMRect* bounds);
    void(HOSTAPI* SetRGBColor)(ADMDrawerRef drawer, ASUInt32 rgb);
    void(HOSTAPI* FillRect)(ADMDrawerRef drawer, const ADMRect* rect);
    void(HOSTAPI* DrawText)(ADMDrawerRef drawer, const char* text, const ADMPoint* point);
    void(HOSTAPI* DrawIcon)(ADMDrawerRef drawer, ADMIconRef icon, const ADMPoint* point);
};
