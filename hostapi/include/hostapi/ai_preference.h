// The host's preferences, under a prefix and a key.
#pragma once

#include "hostapi/types.h"

inline constexpr char kAIPreferenceSuite[] = "AI Preference Suite";
constexpr ASInt32 kAIPreferenceSuiteVersion = 4;

struct AIPoint {
    ASInt32 h;
    ASInt32 v;
};

struct AIPreferenceSuite4 {
    // Getters leave *value untouched and answer kNotFoundErr for a missing key.
    ASErr(HOSTAPI* GetBooleanPreference)(const char* prefix, const char* suffix, ASBoolean* value);
    ASErr(HOSTAPI* PutBooleanPreference)(const char* prefix, const char* suffix, ASBoolean value);
    ASErr(HOSTAPI* GetIntegerPreference)(const char* prefix, const char* suffix, ASInt32* value);
    ASErr(HOSTAPI* PutIntegerPreference)(const char* prefix, const char* suffix, ASInt32 value);
    ASErr(HOSTAPI* GetRealPreference)(const char* prefix, const char* suffix, double* value);
    ASErr(HOSTAPI* PutRealPreference)(const char* prefix, const char* suffix, double value);
    // value is terminated inside maxLength.
    ASErr(HOSTAPI* GetStringPreference)(const char* prefix, const char* suffix, char* value,
                                        ASUInt32 maxLength);
    ASErr(HOSTAPI* PutStringPreference)(const char* prefix, const char* suffix, const char* value);
    ASErr(HOSTAPI* GetPointPreference)(const char* prefix, const char* suffix, AIPoint* value);
    ASErr(HOSTAPI* PutPointPreference)(const char* prefix, const char* suffix,
                                       const AIPoint* value);
    ASErr(HOSTAPI* RemovePreference)(const char* prefix, const char* suffix);
};
