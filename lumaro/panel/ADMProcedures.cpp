#include "panel/ADMProcedures.h"

#include "fontmanager/AIError.h"
#include "frame/CallUnderWay.h"
#include "frame/Suites.h"
#include "hostapi/errors.h"
#include "panel/BaseADMDialog.h"
#include "panel/BaseADMItem.h"

namespace {

BaseADMDialog* DialogWrapper(ADMDialogRef dialog) {
    if (dialog == nullptr || g_admDialog == nullptr) return nullptr;
    return static_cast<BaseADMDialog*>(g_admDialog->GetUserData(dialog));
}

BaseADMItem* ItemWrapper(ADMItemRef item) {
    if (item == nullptr || g_admItem == nullptr) return nullptr;
    return static_cast<BaseADMItem*>(g_admItem->GetUserData(item));
}

// Runs `call`; an exception ends here and `fallback` is answered instead.
template <typename Result, typename Call>
Result Shielded(Result fallback, Call&& call) noexcept {
    try {
        return call();
    } catch (...) {
        return fallback;
    }
}

template <typename Call>
void Shielded(Call&& call) noexcept {
    try {
        call();
    } catch (...) {
    }
}

// Init's answer for an exception: a host code travels in ai::Error.
template <typename Call>
ASErr InitShielded(Call&& call) noexcept {
    try {
        return call();
    } catch (const ai::Error& error) {
        return error.Code() != kNoErr ? error.Code() : kCantHappenErr;
    } catch (...) {
        return kCantHappenErr;
    }
}

}  // namespace

ASErr HOSTAPI ADMProcedures::DialogInitProc(ADMDialogRef dialog) {
    const CallUnderWay running;
    BaseADMDialog* wrapper =
        Shielded<BaseADMDialog*>(nullptr, [&] { return DialogWrapper(dialog); });
    if (wrapper == nullptr) return kBadParameterErr;
    wrapper->m_dialogRef = dialog;
    const ASErr result = InitShielded([&] { return wrapper->Init(); });
    if (result != kNoErr) {
        // The host now destroys the dialog it could not finish. The wrapper
        // stays with its creator, so it must not be reached (and deleted) by
        // the destroy procedure Init may already have installed.
        Shielded([&] {
            g_admDialog->SetDestroyProc(dialog, nullptr);
            g_admDialog->SetUserData(dialog, nullptr);
        });
        wrapper->m_dialogRef = nullptr;
    }
    return result;
}

void HOSTAPI ADMProcedures::DialogDrawProc(ADMDialogRef dialog, ADMDrawerRef drawer) {
    const CallUnderWay running;
    Shielded([&] {
        BaseADMDialog* wrapper = DialogWrapper(dialog);
        if (wrapper != nullptr && wrapper->m_dialogRef == dialog) wrapper->Draw(drawer);
    });
}

ASBoolean HOSTAPI ADMProcedures::DialogTrackProc(ADMDialogRef dialog, ADMTrackerRef tracker) {
    const CallUnderWay running;
    return Shielded<ASBoolean>(false, [&]() -> ASBoolean {
        BaseADMDialog* wrapper = DialogWrapper(dialog);
        if (wrapper == nullptr || wrapper->m_dialogRef != dialog) return false;
        return wrapper->Track(tracker);
    });
}

void HOSTAPI ADMProcedures::DialogNotifyProc(ADMDialogRef dialog, ADMNotifierRef notifier) {
    const CallUnderWay running;
    BaseADMDialog* wrapper =
        Shielded<BaseADMDialog*>(nullptr, [&] { return DialogWrapper(dialog); });
    if (wrapper == nullptr) return;
    // While the wrapper handles this, the host may destroy the dialog (a command that
    // waits for another program lets the host run); the wrapper then goes here.
    BaseADMDialog::Busy busy(wrapper);
    Shielded([&] { wrapper->Notify(notifier); });
}

void HOSTAPI ADMProcedures::DialogDestroyProc(ADMDialogRef dialog) {
    const CallUnderWay running;
    BaseADMDialog* wrapper =
        Shielded<BaseADMDialog*>(nullptr, [&] { return DialogWrapper(dialog); });
    if (wrapper == nullptr) return;
    Shielded([&] { wrapper->OnDestroy(); });
    if (wrapper->m_modal != 0) {
        // A modal wrapper belongs to whoever ran it; it only forgets the dialog.
        wrapper->m_dialogRef = nullptr;
        return;
    }
    // The host is destroying this dialog: the destructor must not ask again.
    wrapper->m_destroyedByHost = true;
    if (wrapper->m_busy > 0) {
        // A call further up the stack is still running in the wrapper: it forgets the
        // dialog now and is deleted when that call returns.
        wrapper->m_dialogRef = nullptr;
        wrapper->m_deleteWhenIdle = true;
        return;
    }
    Shielded([&] { delete wrapper; });
}

ASErr HOSTAPI ADMProcedures::ItemInitProc(ADMItemRef item) {
    const CallUnderWay running;
    return InitShielded([&]() -> ASErr {
        BaseADMItem* wrapper = ItemWrapper(item);
        if (wrapper == nullptr) return kBadParameterErr;
        wrapper->m_itemRef = item;
        return wrapper->Init();
    });
}

void HOSTAPI ADMProcedures::ItemDrawProc(ADMItemRef item, ADMDrawerRef drawer) {
    const CallUnderWay running;
    Shielded([&] {
        if (BaseADMItem* wrapper = ItemWrapper(item)) wrapper->OnDraw(drawer);
    });
}

ASBoolean HOSTAPI ADMProcedures::ItemTrackProc(ADMItemRef item, ADMTrackerRef tracker) {
    const CallUnderWay running;
    return Shielded<ASBoolean>(false, [&]() -> ASBoolean {
        BaseADMItem* wrapper = ItemWrapper(item);
        return wrapper != nullptr ? wrapper->Track(tracker) : false;
    });
}

void HOSTAPI ADMProcedures::ItemNotifyProc(ADMItemRef item, ADMNotifierRef notifier) {
    const CallUnderWay running;
    Shielded([&] {
        if (BaseADMItem* wrapper = ItemWrapper(item)) wrapper->Notify(notifier);
    });
}

void HOSTAPI ADMProcedures::ItemDestroyProc(ADMItemRef item) {
    const CallUnderWay running;
    BaseADMItem* wrapper = Shielded<BaseADMItem*>(nullptr, [&] { return ItemWrapper(item); });
    if (wrapper == nullptr) return;
    wrapper->m_destroyedByHost = true;
    Shielded([&] { delete wrapper; });
}

ASBoolean HOSTAPI ADMProcedures::ItemTextToFloatProc(ADMItemRef item, const char* text,
                                                     float* value) {
    const CallUnderWay running;
    return Shielded<ASBoolean>(false, [&]() -> ASBoolean {
        BaseADMItem* wrapper = ItemWrapper(item);
        return wrapper != nullptr ? wrapper->TextToFloat(text, value) : false;
    });
}

ASBoolean HOSTAPI ADMProcedures::ItemFloatToTextProc(ADMItemRef item, float value, char* text,
                                                     ASInt32 textLength) {
    const CallUnderWay running;
    return Shielded<ASBoolean>(false, [&]() -> ASBoolean {
        BaseADMItem* wrapper = ItemWrapper(item);
        return wrapper != nullptr ? wrapper->FloatToText(value, text, textLength) : false;
    });
}
