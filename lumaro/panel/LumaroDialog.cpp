#include "panel/LumaroDialog.h"

#include <cstdio>

#include "fonts/FontLists.h"
#include "frame/Suites.h"
#include "plugin/LumaroPlugin.h"
#include "resources/PanelResourceIDs.h"
#include "resources/ResourceIDs.h"

namespace {

constexpr char kPreferencePrefix[] = "LumaroDialog";
constexpr char kDockCodeKey[] = "kLumaro_DPDockCodeStr";
constexpr char kDockGroupKey[] = "kLumaro_DPDockGroupStr";
constexpr char kLocationKey[] = "kLumaro_DPLocationStr";
constexpr char kSizeKey[] = "kLumaro_DPSizeStr";
constexpr char kVisibleKey[] = "kLumaro_DPVisibleStr";

}  // namespace

LumaroDialog::~LumaroDialog() {
    ClearFontItems(g_fontitems);
    ClearAvailableItems(g_fontitemsAvailable);
    // A panel whose dialog was never made has no state to keep; one the host
    // destroyed kept it then (OnDestroy).
    if (GetDialogRef() != nullptr && !IsBeingDestroyedByHost()) StoreDockingState();
    if (g_Plugin != nullptr) g_Plugin->PanelDeleted(this);
}

ADMDialogRef LumaroDialog::Create(SPPluginRef pluginRef, const char* name, ASInt32 dialogID,
                                  ASInt32 style, ASInt32 options) {
    return BaseADMDialog::Create(pluginRef, name, dialogID, style, options);
}

ASErr LumaroDialog::Init() {
    ASErr result = BaseADMDialog::Init();
    if (result != kNoErr) return result;
    const ADMDialogRef dialog = GetDialogRef();

    // The status line keeps the dialog's default font.
    if (ADMItemRef status = Item(kStatusText)) g_admItem->SetFont(status, kADMDefaultFont);

    if (g_admIcon != nullptr) {
        const SPPluginRef plugin = g_admDialog->GetPluginRef(dialog);
        ADMIconRef icon = g_admIcon->GetFromResource(plugin, nullptr, kPanelIconID, 0);
        g_admDialog->SetIcon(dialog, 0, icon);
        ADMIconRef alternate = g_admIcon->GetFromResource(plugin, nullptr, kPanelIconAltID, 0);
        result = g_admDialog->SetIcon(dialog, 1, alternate);
    }

    Refresh();
    return result;
}

void LumaroDialog::OnDestroy() {
    // The dialog goes now, though this object may outlive it until a running
    // command returns.
    StoreDockingState();
    BaseADMDialog::OnDestroy();
}

void LumaroDialog::StoreDockingState() const {
    if (g_aiPreference == nullptr || g_admDialog == nullptr) return;
    const ADMDialogRef dialog = GetDialogRef();

    const char* groupName = nullptr;
    ASInt32 positionCode = 0;
    if (g_admDialogGroup != nullptr) {
        g_admDialogGroup->GetDialogGroupInfo(dialog, &groupName, &positionCode);
    }
    ADMRect bounds{0, 0, 0, 0};
    g_admDialog->GetBoundsRect(dialog, &bounds);
    const AIPoint location{bounds.left, bounds.top};
    const AIPoint size{bounds.right - bounds.left, bounds.bottom - bounds.top};
    const bool visible = g_admDialog->IsVisible(dialog) != 0;

    g_aiPreference->PutIntegerPreference(kPreferencePrefix, kDockCodeKey, positionCode);
    g_aiPreference->PutStringPreference(kPreferencePrefix, kDockGroupKey,
                                        groupName != nullptr ? groupName : "");
    g_aiPreference->PutPointPreference(kPreferencePrefix, kLocationKey, &location);
    g_aiPreference->PutPointPreference(kPreferencePrefix, kSizeKey, &size);
    g_aiPreference->PutBooleanPreference(kPreferencePrefix, kVisibleKey, visible);
}

ADMItemRef LumaroDialog::Item(ASInt32 itemID) const {
    if (GetDialogRef() == nullptr || g_admDialog == nullptr || g_admItem == nullptr) return nullptr;
    return g_admDialog->GetItem(GetDialogRef(), itemID);
}

ADMListRef LumaroDialog::List(ASInt32 itemID) const {
    ADMItemRef item = Item(itemID);
    if (item == nullptr || g_admList == nullptr) return nullptr;
    return g_admItem->GetList(item);
}

void LumaroDialog::EnableItem(ASInt32 itemID, bool enable) const {
    if (ADMItemRef item = Item(itemID)) g_admItem->Enable(item, enable);
}

void LumaroDialog::SetStatus(const char* text) {
    ++m_statusWrites;
    std::snprintf(m_status, sizeof m_status, "%s", text);
    if (ADMItemRef status = Item(kStatusText)) {
        g_admItem->SetText(status, text);
    } else if (GetDialogRef() != nullptr && g_admBasic != nullptr) {
        m_alertedStatusWrite = m_statusWrites;
        g_admBasic->MessageAlert(m_status);
    }
}

void LumaroDialog::KeepStatusInAlert() {
    // Once per status: a failure may be kept both where it happens and where the
    // command ends, and the user should not dismiss the same outcome twice.
    if (m_alertedStatusWrite == m_statusWrites) return;
    m_alertedStatusWrite = m_statusWrites;
    if (g_admBasic != nullptr && m_status[0] != '\0') g_admBasic->ErrorAlert(m_status);
}
