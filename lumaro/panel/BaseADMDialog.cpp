#include "panel/BaseADMDialog.h"

#include "frame/Suites.h"
#include "panel/ADMProcedures.h"

ASErr BaseADMDialog::Init() {
    if (g_admDialog == nullptr || m_dialogRef == nullptr) return kNoErr;
    g_admDialog->SetDrawProc(m_dialogRef, &ADMProcedures::DialogDrawProc);
    g_admDialog->SetTrackProc(m_dialogRef, &ADMProcedures::DialogTrackProc);
    g_admDialog->SetNotifyProc(m_dialogRef, &ADMProcedures::DialogNotifyProc);
    g_admDialog->SetDestroyProc(m_dialogRef, &ADMProcedures::DialogDestroyProc);
    return kNoErr;
}

void BaseADMDialog::Draw(ADMDrawerRef drawer) {
    if (g_admDialog != nullptr) g_admDialog->DefaultDraw(m_dialogRef, drawer);
}

ASBoolean BaseADMDialog::Track(ADMTrackerRef tracker) {
    return g_admDialog != nullptr ? g_admDialog->DefaultTrack(m_dialogRef, tracker) : false;
}

void BaseADMDialog::Notify(ADMNotifierRef notifier) {
    if (g_admDialog != nullptr && m_dialogRef != nullptr)
        g_admDialog->DefaultNotify(m_dialogRef, notifier);
}

void BaseADMDialog::OnDestroy() {}

BaseADMDialog::Busy::Busy(BaseADMDialog* wrapper) noexcept : m_wrapper(wrapper) {
    if (m_wrapper != nullptr) ++m_wrapper->m_busy;
}

BaseADMDialog::Busy::~Busy() {
    if (m_wrapper == nullptr || --m_wrapper->m_busy != 0 || !m_wrapper->m_deleteWhenIdle) return;
    try {
        delete m_wrapper;
    } catch (...) {
    }
}

BaseADMDialog::~BaseADMDialog() {
    if (m_dialogRef == nullptr || m_modal != 0) return;
    if (g_admDialog != nullptr) {
        g_admDialog->SetUserData(m_dialogRef, nullptr);
        g_admDialog->SetDrawProc(m_dialogRef, nullptr);
        g_admDialog->SetNotifyProc(m_dialogRef, nullptr);
        g_admDialog->SetDestroyProc(m_dialogRef, nullptr);
        if (!m_destroyedByHost) g_admDialog->Destroy(m_dialogRef);
    }
    m_dialogRef = nullptr;
}

ADMDialogRef BaseADMDialog::Create(SPPluginRef pluginRef, const char* name, ASInt32 dialogID,
                                   ASInt32 style, ASInt32 options) {
    m_modal = 0;
    m_dialogRef = nullptr;
    if (g_admDialog == nullptr) return nullptr;
    ADMDialogRef dialog = nullptr;
    {
        // The host runs Init inside, and may destroy the dialog there.
        Busy busy(this);
        dialog = g_admDialog->Create(pluginRef, name, dialogID, style,
                                     &ADMProcedures::DialogInitProc, this, options);
        if (m_deleteWhenIdle) {
            // The host destroyed the dialog during Init. The caller owns the wrapper
            // and deletes it on the null answer, so the scope must not do it too.
            m_deleteWhenIdle = false;
            m_dialogRef = nullptr;
            return nullptr;
        }
        m_dialogRef = dialog;
    }
    return dialog;
}

ASInt32 BaseADMDialog::Modal(SPPluginRef pluginRef, const char* name, ASInt32 dialogID,
                             ASInt32 style, ASInt32 options) {
    m_modal = 1;
    if (g_admDialog == nullptr) return -1;
    return g_admDialog->Modal(pluginRef, name, dialogID, style, &ADMProcedures::DialogInitProc,
                              this, options);
}

ASInt32 BaseADMDialog::PopupModal(SPPluginRef pluginRef, const char* name, ASInt32 dialogID,
                                  ASInt32 options) {
    m_modal = 1;
    if (g_admDialog == nullptr) return -1;
    return g_admDialog->PopupModal(pluginRef, name, dialogID, &ADMProcedures::DialogInitProc, this,
                                   options);
}
