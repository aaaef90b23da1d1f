// A small plug-in module that uses the host's dialog manager the way the
// panel does: it creates its dialog at start-up, loads its icons in the init
// procedure, answers button presses in the dialog's notify procedure and
// asks for its dialog's destruction again from the destroy procedure.
#include <cstdio>
#include <cstring>

#include "hostapi/suites.h"

#define DIALOG_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

SPBasicSuite* g_basic = nullptr;
const ADMDialogSuite10* g_dialog = nullptr;
const ADMItemSuite7* g_item = nullptr;
const ADMIconSuite2* g_icon = nullptr;
const ADMNotifierSuite2* g_notifier = nullptr;
ADMDialogRef g_panel = nullptr;
int g_presses = 0;

void HOSTAPI Notify(ADMDialogRef dialog, ADMNotifierRef notifier) {
    if (!g_notifier->IsNotifierType(notifier, kADMUserChangedNotifier)) return;
    ADMItemRef item = g_notifier->GetItem(notifier);
    if (item == nullptr || g_item->GetID(item) != 11) return;
    // Memory asked for here is the plug-in's, as in any callback.
    void* block = nullptr;
    g_basic->AllocateBlock(16, &block);
    char text[64];
    std::snprintf(text, sizeof text, "pressed %d", ++g_presses);
    g_item->SetText(g_dialog->GetItem(dialog, 21), text);
    g_basic->FreeBlock(block);
}

void HOSTAPI Destroy(ADMDialogRef dialog) {
    g_panel = nullptr;
    g_dialog->Destroy(dialog);  // as a wrapper's destructor does
}

ASErr HOSTAPI Init(ADMDialogRef dialog) {
    SPPluginRef self = g_dialog->GetPluginRef(dialog);
    g_dialog->SetIcon(dialog, 0, g_icon->GetFromResource(self, nullptr, 1001, 0));
    g_dialog->SetIcon(dialog, 1, g_icon->GetFromResource(self, nullptr, 1002, 0));
    g_dialog->SetNotifyProc(dialog, Notify);
    g_dialog->SetDestroyProc(dialog, Destroy);
    g_item->SetText(g_dialog->GetItem(dialog, 21), "ready");
    return kNoErr;
}

ASErr Acquire() {
    struct Want {
        const char* name;
        ASInt32 version;
        const void** out;
    };
    const Want wants[] = {
        {kADMDialogSuite, kADMDialogSuiteVersion, reinterpret_cast<const void**>(&g_dialog)},
        {kADMItemSuite, kADMItemSuiteVersion, reinterpret_cast<const void**>(&g_item)},
        {kADMIconSuite, kADMIconSuiteVersion, reinterpret_cast<const void**>(&g_icon)},
        {kADMNotifierSuite, kADMNotifierSuiteVersion, reinterpret_cast<const void**>(&g_notifier)},
    };
    for (const Want& w : wants) {
        if (ASErr e = g_basic->AcquireSuite(w.name, w.version, w.out)) return e;
    }
    return kNoErr;
}

void Release() {
    g_basic->ReleaseSuite(kADMDialogSuite, kADMDialogSuiteVersion);
    g_basic->ReleaseSuite(kADMItemSuite, kADMItemSuiteVersion);
    g_basic->ReleaseSuite(kADMIconSuite, kADMIconSuiteVersion);
    g_basic->ReleaseSuite(kADMNotifierSuite, kADMNotifierSuiteVersion);
}

}  // namespace

DIALOG_PLUGIN_EXPORT ASErr PluginMain(const char* caller, const char* selector, void* message) {
    auto* m = static_cast<SPMessageData*>(message);
    if (std::strcmp(caller, kSPInterfaceCaller) != 0) return kNoErr;
    if (std::strcmp(selector, kSPInterfaceStartupSelector) == 0) {
        g_basic = m->basic;
        if (ASErr e = Acquire()) return e;
        g_panel = g_dialog->Create(m->self, "Lumaro Panel", 16000, kADMTabbedFloatingDialogStyle,
                                   Init, nullptr, 0);
        return g_panel != nullptr ? kNoErr : kBadParameterErr;
    }
    if (std::strcmp(selector, kSPInterfaceShutdownSelector) == 0) {
        if (g_panel != nullptr) g_dialog->Destroy(g_panel);
        Release();
    }
    return kNoErr;
}
