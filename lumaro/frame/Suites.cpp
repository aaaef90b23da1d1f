#include "frame/Suites.h"

#include "hostapi/abi_layout.h"

SPBasicSuite* g_spBasic = nullptr;

const SPAccessSuite* g_spAccess = nullptr;
const SPPluginsSuite* g_spPlugins = nullptr;
const AINotifierSuite* g_aiNotifier = nullptr;
const AIContextSuite* g_aiContext = nullptr;
const ADMBasicSuite10* g_admBasic = nullptr;

const ADMDialogSuite10* g_admDialog = nullptr;
const ADMDialogGroupSuite1* g_admDialogGroup = nullptr;
const ADMEntrySuite2* g_admEntry = nullptr;
const ADMItemSuite7* g_admItem = nullptr;
const ADMListSuite1* g_admList = nullptr;
const ADMNotifierSuite2* g_admNotifier = nullptr;
const ADMDrawerSuite6* g_admDrawer = nullptr;
const ADMImageSuite2* g_admImage = nullptr;
const ADMHierarchyListSuite5* g_admHierarchyList = nullptr;
const ADMIconSuite2* g_admIcon = nullptr;
const AIDocumentSuite8* g_aiDocument = nullptr;
const AIPreferenceSuite4* g_aiPreference = nullptr;
const AIMenuSuite9* g_aiMenu = nullptr;
const AIUnicodeStringSuite6* g_aiUnicodeString = nullptr;
const AIFontSuite4* g_aiFont = nullptr;
const AIATETextUtilSuite2* g_aiATETextUtil = nullptr;

ASInt16 g_suiteUseCount = 0;

namespace {

// The host fills a suite through a `const void**`; every suite global is an
// object pointer of the same size and representation. This file is built
// with -fno-strict-aliasing for that reason.
template <typename Suite>
const void** Slot(const Suite*& global) {
    return reinterpret_cast<const void**>(&global);
}

}  // namespace

SuiteEntry g_frameSuites[5] = {
    {kSPAccessSuite, kSPAccessSuiteVersion, Slot(g_spAccess)},
    {kSPPluginsSuite, kSPPluginsSuiteVersion, Slot(g_spPlugins)},
    {kAINotifierSuite, kAINotifierSuiteVersion, Slot(g_aiNotifier)},
    {kAIContextSuite, kAIContextSuiteVersion, Slot(g_aiContext)},
    {kADMBasicSuite, kADMBasicSuiteVersion10, Slot(g_admBasic)},
};

SuiteEntry g_importSuites[17] = {
    {kADMDialogSuite, kADMDialogSuiteVersion, Slot(g_admDialog)},
    {kADMDialogGroupSuite, kADMDialogGroupSuiteVersion, Slot(g_admDialogGroup)},
    {kADMEntrySuite, kADMEntrySuiteVersion, Slot(g_admEntry)},
    {kADMItemSuite, kADMItemSuiteVersion, Slot(g_admItem)},
    {kADMListSuite, kADMListSuiteVersion, Slot(g_admList)},
    {kADMNotifierSuite, kADMNotifierSuiteVersion, Slot(g_admNotifier)},
    {kADMDrawerSuite, kADMDrawerSuiteVersion, Slot(g_admDrawer)},
    {kADMImageSuite, kADMImageSuiteVersion, Slot(g_admImage)},
    {kADMHierarchyListSuite, kADMHierarchyListSuiteVersion, Slot(g_admHierarchyList)},
    {kADMIconSuite, kADMIconSuiteVersion, Slot(g_admIcon)},
    {kAIDocumentSuite, kAIDocumentSuiteVersion, Slot(g_aiDocument)},
    {kAIPreferenceSuite, kAIPreferenceSuiteVersion, Slot(g_aiPreference)},
    {kAIMenuSuite, kAIMenuSuiteVersion, Slot(g_aiMenu)},
    {kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion, Slot(g_aiUnicodeString)},
    {kAIFontSuite, kAIFontSuiteVersion, Slot(g_aiFont)},
    {kAIATETextUtilSuite, kAIATETextUtilSuiteVersion, Slot(g_aiATETextUtil)},
    // Terminator: a version of kOptionalSuitesMarker would announce optional suites after it.
    {nullptr, 0, nullptr},
};

namespace {

SuiteEntry* Terminator() {
    SuiteEntry* entry = g_importSuites;
    while (entry->name != nullptr) ++entry;
    return entry;
}

bool HasOptionalSuites() {
    const SuiteEntry* terminator = Terminator();
    return terminator->version == kOptionalSuitesMarker && terminator[1].name != nullptr;
}

ASErr AcquireOne(const SuiteEntry& entry) {
    if (g_spBasic == nullptr) return kOutOfMemoryErr;
    const ASErr error = g_spBasic->AcquireSuite(entry.name, entry.version, entry.pointer);
    // A host that answers success without a suite has not given it: every use of
    // the suite would go through a null table.
    if (error == kNoErr && *entry.pointer == nullptr) return kSuiteNotFoundErr;
    return error;
}

ASErr ReleaseOne(const SuiteEntry& entry) {
    ASErr error =
        g_spBasic != nullptr ? g_spBasic->ReleaseSuite(entry.name, entry.version) : kNoErr;
    if (error == kNoErr) *entry.pointer = nullptr;
    return error;
}

}  // namespace

PluginSuites::PluginSuites() {
    m_acquireError = AcquireAll();
    for (const SuiteEntry* entry = g_importSuites; entry->name != nullptr; ++entry) {
        ++m_requiredCount;
    }
    if (HasOptionalSuites()) {
        for (const SuiteEntry* entry = Terminator() + 1; entry->name != nullptr; ++entry) {
            ++m_optionalCount;
        }
    }
    if (m_acquireError == kNoErr) AcquireOptional();
}

PluginSuites::~PluginSuites() { ReleaseAll(); }

ASErr PluginSuites::AcquireAll() {
    if (g_suiteUseCount != 0) {
        ++g_suiteUseCount;
        return kNoErr;
    }
    for (const SuiteEntry& entry : g_frameSuites) {
        if (entry.pointer == nullptr) continue;
        if (ASErr error = AcquireOne(entry)) return error;
    }
    for (const SuiteEntry* entry = g_importSuites; entry->name != nullptr; ++entry) {
        if (entry->pointer == nullptr) continue;
        if (ASErr error = AcquireOne(*entry)) return error;
    }
    ++g_suiteUseCount;
    return kNoErr;
}

ASErr PluginSuites::ReleaseAll() {
    // A holder whose acquisition failed part-way was never counted; the owner
    // forces the count to 1 before deleting it so that this still runs.
    if (g_suiteUseCount > 0) --g_suiteUseCount;
    if (g_suiteUseCount != 0) return kNoErr;

    // Release runs in acquisition order, frame suites first.
    for (const SuiteEntry& entry : g_frameSuites) {
        if (entry.pointer == nullptr || *entry.pointer == nullptr) continue;
        if (ASErr error = ReleaseOne(entry)) return error;
    }
    for (const SuiteEntry* entry = g_importSuites; entry->name != nullptr; ++entry) {
        if (entry->pointer == nullptr || *entry->pointer == nullptr) continue;
        if (ASErr error = ReleaseOne(*entry)) return error;
    }
    if (HasOptionalSuites() && m_optionalHeld != 0) {
        for (const SuiteEntry* entry = Terminator() + 1;
             entry->name != nullptr && m_optionalHeld != 0; ++entry) {
            if (entry->pointer == nullptr || *entry->pointer == nullptr) continue;
            if (ASErr error = ReleaseOne(*entry)) return error;
            --m_optionalHeld;
        }
    }
    return kNoErr;
}

void PluginSuites::AcquireOptional() {
    if (m_optionalHeld == m_optionalCount) return;
    const SuiteEntry* entry = Terminator() + 1;
    for (ASUInt16 i = 0; i < m_optionalCount; ++i, ++entry) {
        if (entry->pointer == nullptr) break;
        if (*entry->pointer != nullptr) continue;
        if (AcquireOne(*entry) == kNoErr) ++m_optionalHeld;
    }
}
