// The host suites the plug-in holds while it is started, and the holder
// that acquires and releases them as one.
#pragma once

#include "hostapi/suites.h"

// The host's basic suite; refreshed from every message by PluginMain.
extern SPBasicSuite* g_spBasic;

// Frame suites.
extern const SPAccessSuite* g_spAccess;
extern const SPPluginsSuite* g_spPlugins;
extern const AINotifierSuite* g_aiNotifier;
extern const AIContextSuite* g_aiContext;
extern const ADMBasicSuite10* g_admBasic;

// Import suites.
extern const ADMDialogSuite10* g_admDialog;
extern const ADMDialogGroupSuite1* g_admDialogGroup;
extern const ADMEntrySuite2* g_admEntry;
extern const ADMItemSuite7* g_admItem;
extern const ADMListSuite1* g_admList;
extern const ADMNotifierSuite2* g_admNotifier;
extern const ADMDrawerSuite6* g_admDrawer;
extern const ADMImageSuite2* g_admImage;
extern const ADMHierarchyListSuite5* g_admHierarchyList;
extern const ADMIconSuite2* g_admIcon;
extern const AIDocumentSuite8* g_aiDocument;
extern const AIPreferenceSuite4* g_aiPreference;
extern const AIMenuSuite9* g_aiMenu;
extern const AIUnicodeStringSuite6* g_aiUnicodeString;
extern const AIFontSuite4* g_aiFont;
extern const AIATETextUtilSuite2* g_aiATETextUtil;

// One row of a suite table: the suite's name and version and the global
// that receives it (null: the row is skipped).
struct SuiteEntry {
    const char* name;
    ASInt32 version;
    const void** pointer;
};

// Marks, in the version field of the import table's terminator, that
// optional suites follow it.
constexpr ASInt32 kOptionalSuitesMarker = HostFourCC('O', 'P', 'T', 'S');

extern SuiteEntry g_frameSuites[5];
extern SuiteEntry g_importSuites[17];

// How many holders share the acquired suites; the host is called only on
// the transitions 0 to 1 and 1 to 0.
extern ASInt16 g_suiteUseCount;

class PluginSuites {
public:
    PluginSuites();
    ~PluginSuites();
    PluginSuites(const PluginSuites&) = delete;
    PluginSuites& operator=(const PluginSuites&) = delete;

    ASErr AcquireError() const { return m_acquireError; }
    ASUInt16 OptionalHeld() const { return m_optionalHeld; }

    void AcquireOptional();

private:
    ASErr AcquireAll();
    ASErr ReleaseAll();

    ASErr m_acquireError = kNoErr;
    ASUInt16 m_optionalCount = 0;
    ASUInt16 m_requiredCount = 0;
    ASUInt16 m_optionalHeld = 0;
};
