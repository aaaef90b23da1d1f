#include "suite_wrappers.h"

#include <type_traits>
#include <vector>

#include "host/host.h"
#include "hostapi/abi_layout.h"
#include "hostapi/suites.h"

namespace host::detail {

namespace {

// How a function fails. One that can answers an error code (Error) or a null reference
// (Null); the others (Never) give something back, return nothing, or answer values
// that are all valid, and so have no failure a plug-in could see.
enum class Fails { Never, Error, Null };

template <auto Field>
struct Trampoline;

template <typename Table, typename R, typename... A, R (HOSTAPI* Table::*Field)(A...)>
struct Trampoline<Field> {
    static inline const Table* real = nullptr;
    static inline FaultSite site{};

    // Unarmed, a call is counted and forwarded.
    static R HOSTAPI Call(A... args) {
        Host* host = Host::Current();
        if (__builtin_expect(host != nullptr && host->Faults().Note(site), 0))
            return Armed(*host, args...);
        return (real->*Field)(args...);
    }

    __attribute__((noinline)) static R Armed(Host& host, A... args) {
        ASErr code = kNoErr;
        if (host.Faults().TakeArmed(site, &code)) {
            if constexpr (std::is_void_v<R>) {
                return;
            } else if constexpr (std::is_pointer_v<R>) {
                return nullptr;
            } else {
                return site.canFail ? static_cast<R>(code) : R{};
            }
        }
        return (real->*Field)(args...);
    }
};

// Fills a wrapped table from the host's.
template <typename Table>
struct Wrapper {
    Table& wrapped;
    const Table& real;
    const char* suite;

    template <auto Field>
    void Visit(const char* function, Fails fails) {
        using T = Trampoline<Field>;
        T::real = &real;
        // A table type is one suite's: its sites are the same at every acquisition.
        if (T::site.function == nullptr) {
            T::site = FaultSite{FaultKind::SuiteCall, suite, function, fails != Fails::Never};
            T::site.slot = FaultSiteSlot(FaultKind::SuiteCall, suite, function);
        }
        // A slot the host leaves empty stays empty: plug-ins test for that.
        wrapped.*Field = (real.*Field) != nullptr ? &T::Call : nullptr;
    }
};

// Lists the functions of a table.
struct Lister {
    std::vector<FaultSite>& sites;
    const char* suite;
    FaultKind kind;

    template <auto Field>
    void Visit(const char* function, Fails fails) {
        sites.push_back(FaultSite{kind, suite, function, fails != Fails::Never});
    }
};

template <typename Table>
struct Functions;

#define LUMARO_FN(field, fails) v.template Visit<&T::field>(#field, Fails::fails)
template <>
struct Functions<SPBasicSuite> {
    using T = SPBasicSuite;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(AcquireSuite, Error);
        LUMARO_FN(ReleaseSuite, Never);
        LUMARO_FN(IsEqual, Never);
        LUMARO_FN(AllocateBlock, Never);
        LUMARO_FN(FreeBlock, Never);
        LUMARO_FN(ReallocateBlock, Never);
        LUMARO_FN(Undefined, Never);
    }
};

template <>
struct Functions<SPAccessSuite> {
    using T = SPAccessSuite;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(AcquirePlugin, Error);
        LUMARO_FN(ReleasePlugin, Never);
        LUMARO_FN(GetAccessCount, Error);
    }
};

template <>
struct Functions<SPPluginsSuite> {
    using T = SPPluginsSuite;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(SetPluginName, Error);
        LUMARO_FN(GetPluginName, Error);
    }
};

template <>
struct Functions<AINotifierSuite> {
    using T = AINotifierSuite;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(AddNotifier, Error);
        LUMARO_FN(GetNotifierName, Error);
        LUMARO_FN(GetNotifierActive, Error);
        LUMARO_FN(SetNotifierActive, Error);
        LUMARO_FN(GetNotifierPlugin, Error);
        LUMARO_FN(CountNotifiers, Error);
        LUMARO_FN(GetNthNotifier, Error);
    }
};

template <>
struct Functions<AIContextSuite> {
    using T = AIContextSuite;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(PushAppContext, Error);
        LUMARO_FN(PopAppContext, Never);
    }
};

template <>
struct Functions<ADMBasicSuite10> {
    using T = ADMBasicSuite10;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(GetIndexString, Error);
        LUMARO_FN(Beep, Never);
        LUMARO_FN(ErrorAlert, Never);
        LUMARO_FN(MessageAlert, Never);
        LUMARO_FN(AboutBox, Never);
        LUMARO_FN(TitledAlert, Never);
        LUMARO_FN(ErrorAlertW, Never);
    }
};

template <>
struct Functions<ADMBasicSuite11> {
    using T = ADMBasicSuite11;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(GetIndexString, Error);
        LUMARO_FN(Beep, Never);
        LUMARO_FN(ErrorAlert, Never);
        LUMARO_FN(MessageAlert, Never);
        LUMARO_FN(AboutBox, Never);
        LUMARO_FN(TitledAlert, Never);
        LUMARO_FN(ErrorAlertW, Never);
        LUMARO_FN(MessageAlertW, Never);
    }
};

template <>
struct Functions<ADMDialogSuite10> {
    using T = ADMDialogSuite10;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(Create, Null);
        LUMARO_FN(Modal, Never);
        LUMARO_FN(PopupModal, Never);
        LUMARO_FN(Destroy, Never);
        LUMARO_FN(SetDrawProc, Never);
        LUMARO_FN(GetDrawProc, Never);
        LUMARO_FN(DefaultDraw, Never);
        LUMARO_FN(SetTrackProc, Never);
        LUMARO_FN(GetTrackProc, Never);
        LUMARO_FN(DefaultTrack, Never);
        LUMARO_FN(SetNotifyProc, Never);
        LUMARO_FN(GetNotifyProc, Never);
        LUMARO_FN(DefaultNotify, Never);
        LUMARO_FN(SetDestroyProc, Never);
        LUMARO_FN(GetDestroyProc, Never);
        LUMARO_FN(SetUserData, Never);
        LUMARO_FN(GetUserData, Never);
        LUMARO_FN(GetPluginRef, Never);
        LUMARO_FN(GetDialogName, Never);
        LUMARO_FN(GetID, Never);
        LUMARO_FN(Show, Never);
        LUMARO_FN(IsVisible, Never);
        LUMARO_FN(Enable, Never);
        LUMARO_FN(IsEnabled, Never);
        LUMARO_FN(GetBoundsRect, Never);
        LUMARO_FN(SetBoundsRect, Never);
        LUMARO_FN(SetText, Never);
        LUMARO_FN(GetText, Never);
        LUMARO_FN(GetItem, Null);
        LUMARO_FN(SetIcon, Error);
        LUMARO_FN(GetIcon, Never);
    }
};

template <>
struct Functions<ADMDialogGroupSuite1> {
    using T = ADMDialogGroupSuite1;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(GetDialogGroupInfo, Error);
        LUMARO_FN(SetDialogGroupInfo, Error);
    }
};

template <>
struct Functions<ADMEntrySuite2> {
    using T = ADMEntrySuite2;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(SetText, Never);
        LUMARO_FN(GetText, Never);
        LUMARO_FN(GetTextLength, Never);
        LUMARO_FN(SetUserData, Never);
        LUMARO_FN(GetUserData, Never);
        LUMARO_FN(Select, Never);
        LUMARO_FN(IsSelected, Never);
        LUMARO_FN(Activate, Never);
        LUMARO_FN(IsActive, Never);
        LUMARO_FN(GetIndex, Never);
        LUMARO_FN(GetList, Null);
        LUMARO_FN(Enable, Never);
        LUMARO_FN(IsEnabled, Never);
    }
};

template <>
struct Functions<ADMItemSuite7> {
    using T = ADMItemSuite7;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(Create, Null);
        LUMARO_FN(Destroy, Never);
        LUMARO_FN(SetDrawProc, Never);
        LUMARO_FN(GetDrawProc, Never);
        LUMARO_FN(DefaultDraw, Never);
        LUMARO_FN(SetTrackProc, Never);
        LUMARO_FN(GetTrackProc, Never);
        LUMARO_FN(DefaultTrack, Never);
        LUMARO_FN(SetNotifyProc, Never);
        LUMARO_FN(GetNotifyProc, Never);
        LUMARO_FN(DefaultNotify, Never);
        LUMARO_FN(SetDestroyProc, Never);
        LUMARO_FN(GetDestroyProc, Never);
        LUMARO_FN(SetTextToFloatProc, Never);
        LUMARO_FN(GetTextToFloatProc, Never);
        LUMARO_FN(DefaultTextToFloat, Never);
        LUMARO_FN(SetFloatToTextProc, Never);
        LUMARO_FN(GetFloatToTextProc, Never);
        LUMARO_FN(DefaultFloatToText, Never);
        LUMARO_FN(SetUserData, Never);
        LUMARO_FN(GetUserData, Never);
        LUMARO_FN(GetID, Never);
        LUMARO_FN(GetDialog, Null);
        LUMARO_FN(GetItemType, Never);
        LUMARO_FN(GetChildItem, Null);
        LUMARO_FN(GetList, Null);
        LUMARO_FN(Enable, Never);
        LUMARO_FN(IsEnabled, Never);
        LUMARO_FN(Show, Never);
        LUMARO_FN(IsVisible, Never);
        LUMARO_FN(GetBoundsRect, Never);
        LUMARO_FN(SetText, Never);
        LUMARO_FN(GetText, Never);
        LUMARO_FN(GetTextLength, Never);
        LUMARO_FN(SetFont, Never);
        LUMARO_FN(GetFont, Never);
    }
};

template <>
struct Functions<ADMListSuite1> {
    using T = ADMListSuite1;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(NumberOfEntries, Never);
        LUMARO_FN(InsertEntry, Null);
        LUMARO_FN(RemoveEntry, Never);
        LUMARO_FN(IndexEntry, Null);
        LUMARO_FN(FindEntry, Never);
        LUMARO_FN(GetActiveEntry, Never);
        LUMARO_FN(NumberOfSelectedEntries, Never);
        LUMARO_FN(IndexSelectedEntry, Null);
        LUMARO_FN(GetItem, Null);
    }
};

template <>
struct Functions<ADMNotifierSuite2> {
    using T = ADMNotifierSuite2;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(GetItem, Never);
        LUMARO_FN(GetDialog, Never);
        LUMARO_FN(IsNotifierType, Never);
        LUMARO_FN(GetNotifierType, Never);
    }
};

template <>
struct Functions<ADMDrawerSuite6> {
    using T = ADMDrawerSuite6;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(GetBoundsRect, Never);
        LUMARO_FN(SetRGBColor, Never);
        LUMARO_FN(FillRect, Never);
        LUMARO_FN(DrawText, Never);
        LUMARO_FN(DrawIcon, Never);
    }
};

template <>
struct Functions<ADMImageSuite2> {
    using T = ADMImageSuite2;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(Create, Null);
        LUMARO_FN(Destroy, Never);
        LUMARO_FN(GetWidth, Never);
        LUMARO_FN(GetHeight, Never);
    }
};

template <>
struct Functions<ADMHierarchyListSuite5> {
    using T = ADMHierarchyListSuite5;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(NumberOfEntries, Never);
        LUMARO_FN(InsertEntry, Null);
        LUMARO_FN(RemoveEntry, Never);
        LUMARO_FN(IndexEntry, Null);
    }
};

template <>
struct Functions<ADMIconSuite2> {
    using T = ADMIconSuite2;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(GetFromResource, Null);
        LUMARO_FN(Destroy, Never);
        LUMARO_FN(GetWidth, Never);
        LUMARO_FN(GetHeight, Never);
    }
};

template <>
struct Functions<AIDocumentSuite8> {
    using T = AIDocumentSuite8;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(CountDocuments, Error);
        LUMARO_FN(GetDocumentPath, Error);
        LUMARO_FN(SetDocumentModified, Error);
    }
};

template <>
struct Functions<AIPreferenceSuite4> {
    using T = AIPreferenceSuite4;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(GetBooleanPreference, Error);
        LUMARO_FN(PutBooleanPreference, Error);
        LUMARO_FN(GetIntegerPreference, Error);
        LUMARO_FN(PutIntegerPreference, Error);
        LUMARO_FN(GetRealPreference, Error);
        LUMARO_FN(PutRealPreference, Error);
        LUMARO_FN(GetStringPreference, Error);
        LUMARO_FN(PutStringPreference, Error);
        LUMARO_FN(GetPointPreference, Error);
        LUMARO_FN(PutPointPreference, Error);
        LUMARO_FN(RemovePreference, Error);
    }
};

template <>
struct Functions<AIMenuSuite9> {
    using T = AIMenuSuite9;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(AddMenuItem, Error);
        LUMARO_FN(GetMenuItemKeyName, Error);
        LUMARO_FN(SetItemText, Error);
        LUMARO_FN(GetItemText, Error);
        LUMARO_FN(EnableItem, Error);
        LUMARO_FN(DisableItem, Error);
        LUMARO_FN(CheckItem, Error);
        LUMARO_FN(AddMenuGroup, Error);
        LUMARO_FN(AddMenuGroupAsSubMenu, Error);
        LUMARO_FN(GetMenuGroupName, Error);
        LUMARO_FN(CountMenuGroups, Error);
        LUMARO_FN(GetNthMenuGroup, Error);
        LUMARO_FN(CountMenuItems, Error);
        LUMARO_FN(GetNthMenuItem, Error);
        LUMARO_FN(GetMenuItemPlugin, Error);
    }
};

template <>
struct Functions<AIFontSuite4> {
    using T = AIFontSuite4;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(CountFonts, Error);
        LUMARO_FN(IndexFontList, Error);
        LUMARO_FN(GetFontInfo, Error);
        LUMARO_FN(GetFontName, Error);
        LUMARO_FN(GetFontStyleNameUnicode, Error);
        LUMARO_FN(GetFontFullNameUnicode, Error);
        LUMARO_FN(GetPostScriptFontNameUnicode, Error);
        LUMARO_FN(GetFontFamilyNameUnicode, Error);
    }
};

template <>
struct Functions<AIATETextUtilSuite2> {
    using T = AIATETextUtilSuite2;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(CountTextFrames, Error);
        LUMARO_FN(GetTextFrameFontCount, Error);
    }
};

template <>
struct Functions<AIUnicodeStringSuite6> {
    using T = AIUnicodeStringSuite6;
    template <typename V>
    static void Each(V& v) {
        LUMARO_FN(Initialize, Error);
        LUMARO_FN(InitializeUTF16, Error);
        LUMARO_FN(InitializeCopy, Error);
        LUMARO_FN(Destroy, Never);
        LUMARO_FN(Length, Error);
        LUMARO_FN(Compare, Error);
        LUMARO_FN(Assign, Error);
        LUMARO_FN(Append, Error);
        LUMARO_FN(Erase, Error);
        LUMARO_FN(GetUtf16, Never);
    }
};

#undef LUMARO_FN

template <typename Table>
const void* Wrap(const void* table, const char* suite) {
    static Table wrapped;
    const Table& real = *static_cast<const Table*>(table);
    wrapped = real;
    Wrapper<Table> wrapper{wrapped, real, suite};
    Functions<Table>::Each(wrapper);
    return &wrapped;
}

template <typename Table>
void List(std::vector<FaultSite>& sites, const char* suite, FaultKind kind) {
    Lister lister{sites, suite, kind};
    Functions<Table>::Each(lister);
}

struct Suite {
    const char* name;
    ASInt32 version;
    const void* (*wrap)(const void* table, const char* suite);
    void (*list)(std::vector<FaultSite>& sites, const char* suite, FaultKind kind);
};

#define LUMARO_SUITE(Table, name, version) \
    { name, version, &Wrap<Table>, &List<Table> }

// The host strings count their own calls (tests reach their table directly), so they
// are listed but not wrapped.
const Suite kSuites[] = {
    LUMARO_SUITE(SPBasicSuite, kSPBasicSuite, kSPBasicSuiteVersion),
    LUMARO_SUITE(SPAccessSuite, kSPAccessSuite, kSPAccessSuiteVersion),
    LUMARO_SUITE(SPPluginsSuite, kSPPluginsSuite, kSPPluginsSuiteVersion),
    LUMARO_SUITE(AINotifierSuite, kAINotifierSuite, kAINotifierSuiteVersion),
    LUMARO_SUITE(AIContextSuite, kAIContextSuite, kAIContextSuiteVersion),
    LUMARO_SUITE(ADMBasicSuite10, kADMBasicSuite, kADMBasicSuiteVersion10),
    LUMARO_SUITE(ADMBasicSuite11, kADMBasicSuite, kADMBasicSuiteVersion11),
    LUMARO_SUITE(ADMDialogSuite10, kADMDialogSuite, kADMDialogSuiteVersion),
    LUMARO_SUITE(ADMDialogGroupSuite1, kADMDialogGroupSuite, kADMDialogGroupSuiteVersion),
    LUMARO_SUITE(ADMEntrySuite2, kADMEntrySuite, kADMEntrySuiteVersion),
    LUMARO_SUITE(ADMItemSuite7, kADMItemSuite, kADMItemSuiteVersion),
    LUMARO_SUITE(ADMListSuite1, kADMListSuite, kADMListSuiteVersion),
    LUMARO_SUITE(ADMNotifierSuite2, kADMNotifierSuite, kADMNotifierSuiteVersion),
    LUMARO_SUITE(ADMDrawerSuite6, kADMDrawerSuite, kADMDrawerSuiteVersion),
    LUMARO_SUITE(ADMImageSuite2, kADMImageSuite, kADMImageSuiteVersion),
    LUMARO_SUITE(ADMHierarchyListSuite5, kADMHierarchyListSuite, kADMHierarchyListSuiteVersion),
    LUMARO_SUITE(ADMIconSuite2, kADMIconSuite, kADMIconSuiteVersion),
    LUMARO_SUITE(AIDocumentSuite8, kAIDocumentSuite, kAIDocumentSuiteVersion),
    LUMARO_SUITE(AIPreferenceSuite4, kAIPreferenceSuite, kAIPreferenceSuiteVersion),
    LUMARO_SUITE(AIMenuSuite9, kAIMenuSuite, kAIMenuSuiteVersion),
    LUMARO_SUITE(AIFontSuite4, kAIFontSuite, kAIFontSuiteVersion),
    LUMARO_SUITE(AIATETextUtilSuite2, kAIATETextUtilSuite, kAIATETextUtilSuiteVersion),
};

#undef LUMARO_SUITE

}  // namespace

const void* WrapSuiteTable(const std::string& name, ASInt32 version, const void* table) {
    if (table == nullptr) return nullptr;
    for (const Suite& suite : kSuites)
        if (name == suite.name && version == suite.version) return suite.wrap(table, suite.name);
    return table;
}

}  // namespace host::detail

namespace host {

const std::vector<FaultSite>& KnownFaultSites() {
    static const std::vector<FaultSite> sites = [] {
        std::vector<FaultSite> all;
        for (const detail::Suite& suite : detail::kSuites)
            suite.list(all, suite.name, FaultKind::SuiteCall);
        detail::List<AIUnicodeStringSuite6>(all, kAIUnicodeStringSuite, FaultKind::HostString);
        return all;
    }();
    return sites;
}

}  // namespace host
