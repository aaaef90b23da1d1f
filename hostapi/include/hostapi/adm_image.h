// Off-screen images. Acquired by the plug-in, not called.
#pragma once

#include "hostapi/adm_types.h"

inline constexpr char kADMImageSuite[] = "ADM Image Suite";
constexpr ASInt32 kADMImageSuiteVersion = 2;

struct ADMImageSuite2 {
    ADMImageRef(HOSTAPI* Create)(ASInt32 width, ASInt32 height, ASInt32 options);
    void(HOSTAPI* Destroy)(ADMImageRef image);
    ASInt32(HOSTAPI* GetWidth)(ADMImageRef image);
    ASInt32(HOSTAPI* GetHeight)(ADMImageRef image);
};
