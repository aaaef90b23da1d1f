// Alerts, the About box and the plug-in's indexed string lists.
#pragma once

#include "hostapi/types.h"

inline constexpr char kADMBasicSuite[] = "ADM Basic Suite";
constexpr ASInt32 kADMBasicSuiteVersion10 = 10;
constexpr ASInt32 kADMBasicSuiteVersion11 = 11;

struct ADMBasicSuite10 {
    // Reads string `index` (1-based) of string list `listID` of the plug-in's
    // resources into buffer, always terminated; non-zero when there is no such string.
    ASErr(HOSTAPI* GetIndexString)(SPPluginRef plugin, ASInt32 listID, ASInt32 index, char* buffer,
                                   ASInt32 bufferLength);
    void(HOSTAPI* Beep)();
    // Modal alerts with narrow text in the thread's ANSI code page.
    void(HOSTAPI* ErrorAlert)(const char* text);
    void(HOSTAPI* MessageAlert)(const char* text);
    void(HOSTAPI* AboutBox)(SPPluginRef plugin, const char* text1, const char* text2);
    void(HOSTAPI* TitledAlert)(const char* title, const char* text);
    // Modal error alert with UTF-16 text.
    void(HOSTAPI* ErrorAlertW)(const ASUnicode* text);
};

// Version 11 extends version 10; the first members are the same.
struct ADMBasicSuite11 {
    ASErr(HOSTAPI* GetIndexString)(SPPluginRef plugin, ASInt32 listID, ASInt32 index, char* buffer,
                                   ASInt32 bufferLength);
    void(HOSTAPI* Beep)();
    void(HOSTAPI* ErrorAlert)(const char* text);
    void(HOSTAPI* MessageAlert)(const char* text);
    void(HOSTAPI* AboutBox)(SPPluginRef plugin, const char* text1, const char* text2);
    void(HOSTAPI* TitledAlert)(const char* title, const char* text);
    void(HOSTAPI* ErrorAlertW)(const ASUnicode* text);
    void(HOSTAPI* MessageAlertW)(const ASUnicode* text);
};
