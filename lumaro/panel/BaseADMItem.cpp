#include "panel/BaseADMItem.h"

#include "frame/Suites.h"
#include "panel/ADMProcedures.h"

BaseADMItem::BaseADMItem(ADMItemRef item, ASInt32 value) : IADMItem(item), m_value(value) {
    if (m_itemRef == nullptr || g_admItem == nullptr) return;
    g_admItem->SetUserData(m_itemRef, this);
    InstallProcedures();
}

void BaseADMItem::InstallProcedures() {
    g_admItem->SetDrawProc(m_itemRef, &ADMProcedures::ItemDrawProc);
    g_admItem->SetTrackProc(m_itemRef, &ADMProcedures::ItemTrackProc);
    g_admItem->SetNotifyProc(m_itemRef, &ADMProcedures::ItemNotifyProc);
    g_admItem->SetDestroyProc(m_itemRef, &ADMProcedures::ItemDestroyProc);
    g_admItem->SetTextToFloatProc(m_itemRef, &ADMProcedures::ItemTextToFloatProc);
    g_admItem->SetFloatToTextProc(m_itemRef, &ADMProcedures::ItemFloatToTextProc);
}

ASErr BaseADMItem::Init() { return kNoErr; }

void BaseADMItem::Draw(ADMDrawerRef drawer) {
    if (g_admItem != nullptr) g_admItem->DefaultDraw(m_itemRef, drawer);
}

ASBoolean BaseADMItem::Track(ADMTrackerRef tracker) {
    return g_admItem != nullptr ? g_admItem->DefaultTrack(m_itemRef, tracker) : false;
}

void BaseADMItem::Notify(ADMNotifierRef notifier) {
    if (g_admItem != nullptr) g_admItem->DefaultNotify(m_itemRef, notifier);
}

ASBoolean BaseADMItem::TextToFloat(const char* text, float* value) {
    return g_admItem != nullptr ? g_admItem->DefaultTextToFloat(m_itemRef, text, value) : false;
}

ASBoolean BaseADMItem::FloatToText(float value, char* text, ASInt32 textLength) {
    return g_admItem != nullptr ? g_admItem->DefaultFloatToText(m_itemRef, value, text, textLength)
                                : false;
}

void BaseADMItem::OnDraw(ADMDrawerRef drawer) { Draw(drawer); }

BaseADMItem::~BaseADMItem() {
    if (g_admItem != nullptr && m_itemRef != nullptr) {
        g_admItem->SetUserData(m_itemRef, nullptr);
        g_admItem->SetDrawProc(m_itemRef, nullptr);
        g_admItem->SetTrackProc(m_itemRef, nullptr);
        g_admItem->SetNotifyProc(m_itemRef, nullptr);
        g_admItem->SetDestroyProc(m_itemRef, nullptr);
        if (!m_destroyedByHost) g_admItem->Destroy(m_itemRef);
    }
    m_itemRef = nullptr;
}

ADMItemRef BaseADMItem::Create(ADMDialogRef dialog, const ADMRect& bounds, const char* itemType,
                               ASInt32 itemID) {
    m_itemRef = nullptr;
    if (g_admItem == nullptr) return nullptr;
    ADMItemRef item =
        g_admItem->Create(dialog, itemID, itemType, &bounds, &ADMProcedures::ItemInitProc, this, 0);
    m_itemRef = item;
    if (item == nullptr) return nullptr;
    InstallProcedures();
    return item;
}

namespace {

void AttachEditPart(ADMItemRef item, BaseADMItem* wrapper) {
    if (item == nullptr || g_admItem == nullptr) return;
    if (ADMItemRef child = g_admItem->GetChildItem(item, kADMCompoundEditChildID)) {
        g_admItem->SetUserData(child, wrapper);
    }
}

// The edit part would otherwise keep pointing at a deleted wrapper.
void DetachEditPart(ADMItemRef item, const BaseADMItem* wrapper) {
    if (item == nullptr || g_admItem == nullptr) return;
    ADMItemRef child = g_admItem->GetChildItem(item, kADMCompoundEditChildID);
    if (child != nullptr && g_admItem->GetUserData(child) == wrapper) {
        g_admItem->SetUserData(child, nullptr);
    }
}

}  // namespace

BaseADMSpinEditPopupItem::BaseADMSpinEditPopupItem(ADMItemRef item, ASInt32 value)
    : BaseADMItem(item, value) {
    AttachEditPart(item, this);
}

BaseADMSpinEditPopupItem::~BaseADMSpinEditPopupItem() { DetachEditPart(GetItemRef(), this); }

BaseADMEditTextPopupItem::BaseADMEditTextPopupItem(ADMItemRef item, ASInt32 value)
    : BaseADMItem(item, value) {
    AttachEditPart(item, this);
}

BaseADMEditTextPopupItem::~BaseADMEditTextPopupItem() { DetachEditPart(GetItemRef(), this); }
