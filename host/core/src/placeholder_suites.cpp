// Every suite of the interface that no part of the host implements yet, acquirable at
// its version. Functions answer kNotImplementedErr where they return an error code, and
// null, 0 or nothing otherwise (a dialog-manager count of 0 stops a caller's loop).
// The part of the host that implements a suite registers its table over these.
#include <type_traits>

#include "host/suite_registry.h"
#include "hostapi/errors.h"
#include "hostapi/suites.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

template <ASInt32 IntResult, typename F>
struct Stub;

template <ASInt32 IntResult, typename R, typename... A>
struct Stub<IntResult, R(HOSTAPI*)(A...)> {
    static R HOSTAPI Call(A...) {
        if constexpr (std::is_void_v<R>) {
            return;
        } else if constexpr (std::is_same_v<R, ASInt32>) {
            return IntResult;
        } else {
            return R{};
        }
    }
};

#define HOST_STUB(table, field, result) \
    (table).field = &Stub<(result), decltype((table).field)>::Call

ADMDialogSuite10 MakeADMDialogSuite10() {
    ADMDialogSuite10 t{};
    HOST_STUB(t, Create, 0);
    HOST_STUB(t, Modal, -1);
    HOST_STUB(t, PopupModal, -1);
    HOST_STUB(t, Destroy, 0);
    HOST_STUB(t, SetDrawProc, 0);
    HOST_STUB(t, GetDrawProc, 0);
    HOST_STUB(t, DefaultDraw, 0);
    HOST_STUB(t, SetTrackProc, 0);
    HOST_STUB(t, GetTrackProc, 0);
    HOST_STUB(t, DefaultTrack, 0);
    HOST_STUB(t, SetNotifyProc, 0);
    HOST_STUB(t, GetNotifyProc, 0);
    HOST_STUB(t, DefaultNotify, 0);
    HOST_STUB(t, SetDestroyProc, 0);
    HOST_STUB(t, GetDestroyProc, 0);
    HOST_STUB(t, SetUserData, 0);
    HOST_STUB(t, GetUserData, 0);
    HOST_STUB(t, GetPluginRef, 0);
    HOST_STUB(t, GetDialogName, 0);
    HOST_STUB(t, GetID, 0);
    HOST_STUB(t, Show, 0);
    HOST_STUB(t, IsVisible, 0);
    HOST_STUB(t, Enable, 0);
    HOST_STUB(t, IsEnabled, 0);
    HOST_STUB(t, GetBoundsRect, 0);
    HOST_STUB(t, SetBoundsRect, 0);
    HOST_STUB(t, SetText, 0);
    HOST_STUB(t, GetText, 0);
    HOST_STUB(t, GetItem, 0);
    HOST_STUB(t, SetIcon, kNotImplementedErr);
    HOST_STUB(t, GetIcon, 0);
    return t;
}

ADMDialogGroupSuite1 MakeADMDialogGroupSuite1() {
    ADMDialogGroupSuite1 t{};
    HOST_STUB(t, GetDialogGroupInfo, kNotImplementedErr);
    HOST_STUB(t, SetDialogGroupInfo, kNotImplementedErr);
    return t;
}

ADMEntrySuite2 MakeADMEntrySuite2() {
    ADMEntrySuite2 t{};
    HOST_STUB(t, SetText, 0);
    HOST_STUB(t, GetText, 0);
    HOST_STUB(t, GetTextLength, 0);
    HOST_STUB(t, SetUserData, 0);
    HOST_STUB(t, GetUserData, 0);
    HOST_STUB(t, Select, 0);
    HOST_STUB(t, IsSelected, 0);
    HOST_STUB(t, Activate, 0);
    HOST_STUB(t, IsActive, 0);
    HOST_STUB(t, GetIndex, 0);
    HOST_STUB(t, GetList, 0);
    HOST_STUB(t, Enable, 0);
    HOST_STUB(t, IsEnabled, 0);
    return t;
}

ADMItemSuite7 MakeADMItemSuite7() {
    ADMItemSuite7 t{};
    HOST_STUB(t, Create, 0);
    HOST_STUB(t, Destroy, 0);
    HOST_STUB(t, SetDrawProc, 0);
    HOST_STUB(t, GetDrawProc, 0);
    HOST_STUB(t, DefaultDraw, 0);
    HOST_STUB(t, SetTrackProc, 0);
    HOST_STUB(t, GetTrackProc, 0);
    HOST_STUB(t, DefaultTrack, 0);
    HOST_STUB(t, SetNotifyProc, 0);
    HOST_STUB(t, GetNotifyProc, 0);
    HOST_STUB(t, DefaultNotify, 0);
    HOST_STUB(t, SetDestroyProc, 0);
    HOST_STUB(t, GetDestroyProc, 0);
    HOST_STUB(t, SetTextToFloatProc, 0);
    HOST_STUB(t, GetTextToFloatProc, 0);
    HOST_STUB(t, DefaultTextToFloat, 0);
    HOST_STUB(t, SetFloatToTextProc, 0);
    HOST_STUB(t, GetFloatToTextProc, 0);
    HOST_STUB(t, DefaultFloatToText, 0);
    HOST_STUB(t, SetUserData, 0);
    HOST_STUB(t, GetUserData, 0);
    HOST_STUB(t, GetID, 0);
    HOST_STUB(t, GetDialog, 0);
    HOST_STUB(t, GetItemType, 0);
    HOST_STUB(t, GetChildItem, 0);
    HOST_STUB(t, GetList, 0);
    HOST_STUB(t, Enable, 0);
    HOST_STUB(t, IsEnabled, 0);
    HOST_STUB(t, Show, 0);
    HOST_STUB(t, IsVisible, 0);
    HOST_STUB(t, GetBoundsRect, 0);
    HOST_STUB(t, SetText, 0);
    HOST_STUB(t, GetText, 0);
    HOST_STUB(t, GetTextLength, 0);
    HOST_STUB(t, SetFont, 0);
    HOST_STUB(t, GetFont, 0);
    return t;
}

ADMListSuite1 MakeADMListSuite1() {
    ADMListSuite1 t{};
    HOST_STUB(t, NumberOfEntries, 0);
    HOST_STUB(t, InsertEntry, 0);
    HOST_STUB(t, RemoveEntry, 0);
    HOST_STUB(t, IndexEntry, 0);
    HOST_STUB(t, FindEntry, 0);
    HOST_STUB(t, GetActiveEntry, 0);
    HOST_STUB(t, NumberOfSelectedEntries, 0);
    HOST_STUB(t, IndexSelectedEntry, 0);
    HOST_STUB(t, GetItem, 0);
    return t;
}

ADMNotifierSuite2 MakeADMNotifierSuite2() {
    ADMNotifierSuite2 t{};
    HOST_STUB(t, GetItem, 0);
    HOST_STUB(t, GetDialog, 0);
    HOST_STUB(t, IsNotifierType, 0);
    HOST_STUB(t, GetNotifierType, 0);
    return t;
}

ADMDrawerSuite6 MakeADMDrawerSuite6() {
    ADMDrawerSuite6 t{};
    HOST_STUB(t, GetBoundsRect, 0);
    HOST_STUB(t, SetRGBColor, 0);
    HOST_STUB(t, FillRect, 0);
    HOST_STUB(t, DrawText, 0);
    HOST_STUB(t, DrawIcon, 0);
    return t;
}

ADMImageSuite2 MakeADMImageSuite2() {
    ADMImageSuite2 t{};
    HOST_STUB(t, Create, 0);
    HOST_STUB(t, Destroy, 0);
    HOST_STUB(t, GetWidth, 0);
    HOST_STUB(t, GetHeight, 0);
    return t;
}

ADMHierarchyListSuite5 MakeADMHierarchyListSuite5() {
    ADMHierarchyListSuite5 t{};
    HOST_STUB(t, NumberOfEntries, 0);
    HOST_STUB(t, InsertEntry, 0);
    HOST_STUB(t, RemoveEntry, 0);
    HOST_STUB(t, IndexEntry, 0);
    return t;
}

ADMIconSuite2 MakeADMIconSuite2() {
    ADMIconSuite2 t{};
    HOST_STUB(t, GetFromResource, 0);
    HOST_STUB(t, Destroy, 0);
    HOST_STUB(t, GetWidth, 0);
    HOST_STUB(t, GetHeight, 0);
    return t;
}

AIDocumentSuite8 MakeAIDocumentSuite8() {
    AIDocumentSuite8 t{};
    HOST_STUB(t, CountDocuments, kNotImplementedErr);
    HOST_STUB(t, GetDocumentPath, kNotImplementedErr);
    HOST_STUB(t, SetDocumentModified, kNotImplementedErr);
    return t;
}

AIPreferenceSuite4 MakeAIPreferenceSuite4() {
    AIPreferenceSuite4 t{};
    HOST_STUB(t, GetBooleanPreference, kNotImplementedErr);
    HOST_STUB(t, PutBooleanPreference, kNotImplementedErr);
    HOST_STUB(t, GetIntegerPreference, kNotImplementedErr);
    HOST_STUB(t, PutIntegerPreference, kNotImplementedErr);
    HOST_STUB(t, GetRealPreference, kNotImplementedErr);
    HOST_STUB(t, PutRealPreference, kNotImplementedErr);
    HOST_STUB(t, GetStringPreference, kNotImplementedErr);
    HOST_STUB(t, PutStringPreference, kNotImplementedErr);
    HOST_STUB(t, GetPointPreference, kNotImplementedErr);
    HOST_STUB(t, PutPointPreference, kNotImplementedErr);
    HOST_STUB(t, RemovePreference, kNotImplementedErr);
    return t;
}

AIFontSuite4 MakeAIFontSuite4() {
    AIFontSuite4 t{};
    HOST_STUB(t, CountFonts, kNotImplementedErr);
    HOST_STUB(t, IndexFontList, kNotImplementedErr);
    HOST_STUB(t, GetFontInfo, kNotImplementedErr);
    HOST_STUB(t, GetFontName, kNotImplementedErr);
    HOST_STUB(t, GetFontStyleNameUnicode, kNotImplementedErr);
    HOST_STUB(t, GetFontFullNameUnicode, kNotImplementedErr);
    HOST_STUB(t, GetPostScriptFontNameUnicode, kNotImplementedErr);
    HOST_STUB(t, GetFontFamilyNameUnicode, kNotImplementedErr);
    return t;
}

AIATETextUtilSuite2 MakeAIATETextUtilSuite2() {
    AIATETextUtilSuite2 t{};
    HOST_STUB(t, CountTextFrames, kNotImplementedErr);
    HOST_STUB(t, GetTextFrameFontCount, kNotImplementedErr);
    return t;
}

#undef HOST_STUB

const ADMDialogSuite10 g_ADMDialogSuite10 = MakeADMDialogSuite10();
const ADMDialogGroupSuite1 g_ADMDialogGroupSuite1 = MakeADMDialogGroupSuite1();
const ADMEntrySuite2 g_ADMEntrySuite2 = MakeADMEntrySuite2();
const ADMItemSuite7 g_ADMItemSuite7 = MakeADMItemSuite7();
const ADMListSuite1 g_ADMListSuite1 = MakeADMListSuite1();
const ADMNotifierSuite2 g_ADMNotifierSuite2 = MakeADMNotifierSuite2();
const ADMDrawerSuite6 g_ADMDrawerSuite6 = MakeADMDrawerSuite6();
const ADMImageSuite2 g_ADMImageSuite2 = MakeADMImageSuite2();
const ADMHierarchyListSuite5 g_ADMHierarchyListSuite5 = MakeADMHierarchyListSuite5();
const ADMIconSuite2 g_ADMIconSuite2 = MakeADMIconSuite2();
const AIDocumentSuite8 g_AIDocumentSuite8 = MakeAIDocumentSuite8();
const AIPreferenceSuite4 g_AIPreferenceSuite4 = MakeAIPreferenceSuite4();
const AIFontSuite4 g_AIFontSuite4 = MakeAIFontSuite4();
const AIATETextUtilSuite2 g_AIATETextUtilSuite2 = MakeAIATETextUtilSuite2();

}  // namespace

void RegisterPlaceholderSuites(SuiteRegistry& registry) {
    registry.Register(kADMDialogSuite, kADMDialogSuiteVersion, &g_ADMDialogSuite10);
    registry.Register(kADMDialogGroupSuite, kADMDialogGroupSuiteVersion, &g_ADMDialogGroupSuite1);
    registry.Register(kADMEntrySuite, kADMEntrySuiteVersion, &g_ADMEntrySuite2);
    registry.Register(kADMItemSuite, kADMItemSuiteVersion, &g_ADMItemSuite7);
    registry.Register(kADMListSuite, kADMListSuiteVersion, &g_ADMListSuite1);
    registry.Register(kADMNotifierSuite, kADMNotifierSuiteVersion, &g_ADMNotifierSuite2);
    registry.Register(kADMDrawerSuite, kADMDrawerSuiteVersion, &g_ADMDrawerSuite6);
    registry.Register(kADMImageSuite, kADMImageSuiteVersion, &g_ADMImageSuite2);
    registry.Register(kADMHierarchyListSuite, kADMHierarchyListSuiteVersion,
                      &g_ADMHierarchyListSuite5);
    registry.Register(kADMIconSuite, kADMIconSuiteVersion, &g_ADMIconSuite2);
    registry.Register(kAIDocumentSuite, kAIDocumentSuiteVersion, &g_AIDocumentSuite8);
    registry.Register(kAIPreferenceSuite, kAIPreferenceSuiteVersion, &g_AIPreferenceSuite4);
    registry.Register(kAIFontSuite, kAIFontSuiteVersion, &g_AIFontSuite4);
    registry.Register(kAIATETextUtilSuite, kAIATETextUtilSuiteVersion, &g_AIATETextUtilSuite2);
}

}  // namespace host::detail
