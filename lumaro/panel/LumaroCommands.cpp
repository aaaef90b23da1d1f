// The panel's commands: what its buttons and lists do, and what it reports.
#include <new>
#include <string>

#include "fontmanager/FontLookup.h"
#include "fontmanager/GlyvorConnection.h"
#include "fontmanager/TextConversion.h"
#include "fonts/FontLists.h"
#include "frame/DebugAssert.h"
#include "frame/Suites.h"
#include "panel/LumaroDialog.h"
#include "panel/PanelMessages.h"
#include "panel/RecordRows.h"
#include "platform/win32.h"
#include "plugin/LumaroPlugin.h"
#include "resources/PanelResourceIDs.h"

namespace {

constexpr char kSource[] = "Source\\LumaroDialog";

// How long the font-change broadcast waits for one window that is slow but
// not hung; hung windows are skipped at once.
constexpr UINT kFontChangeTimeoutMs = 2000;

void Alert(const std::string& text) {
    if (g_admBasic != nullptr) g_admBasic->ErrorAlert(text.c_str());
}

// Tells every top-level window that the set of fonts changed. A window that
// does not answer must not freeze the host, so the wait is bounded.
void BroadcastFontChange() {
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeTimeoutMs,
                        nullptr);
}

// Inside a handler: whether the failure being handled is memory refused rather than
// the font manager.
bool MemoryFailed() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return true;
    } catch (const _com_error& error) {
        return error.Error() == E_OUTOFMEMORY;
    } catch (...) {
        return false;
    }
}

std::string DisplayName(const CFontItemAvailable& record) {
    return WideToNarrowString(record.m_wstrName);
}

}  // namespace

void LumaroDialog::Notify(ADMNotifierRef notifier) {
    try {
        if (g_admNotifier != nullptr &&
            g_admNotifier->IsNotifierType(notifier, kADMUserChangedNotifier)) {
            ADMItemRef item = g_admNotifier->GetItem(notifier);
            if (item != nullptr && g_admItem != nullptr) {
                switch (g_admItem->GetID(item)) {
                    case kActivateButton:
                        ActivateOrInstallFonts(true, false);
                        break;
                    case kInstallButton:
                        ActivateOrInstallFonts(false, false);
                        break;
                    case kRefreshButton:
                        LUMARO_ASSERT(g_Plugin != NULL, kSource);
                        if (g_Plugin != nullptr) g_Plugin->RequestPanelRefresh(true);
                        break;
                    case kActivateAllButton:
                        ActivateOrInstallFonts(true, true);
                        break;
                    case kInstallAllButton:
                        ActivateOrInstallFonts(false, true);
                        break;
                    case kAvailableList:
                        UpdateButtons();
                        break;
                    case kFindButton:
                        if (!g_fontitems.empty()) {
                            FindFonts();
                            UpdateButtons();
                        }
                        break;
                    case kHelpButton:
                        ShowHelp();
                        break;
                    default:
                        break;
                }
            }
        }
        BaseADMDialog::Notify(notifier);
    } catch (...) {
        // A failed command stops where it was; nothing may reach the host. Each
        // command has already told the user its outcome.
    }
}

void LumaroDialog::Refresh() {
    if (GetDialogRef() == nullptr) return;
    if (m_commandRunning || m_refreshing) {
        m_refreshWaiting = true;
        return;
    }
    // A refresh inside the scan would free the records the scan is filling.
    m_refreshing = true;
    try {
        RefreshNow();
    } catch (...) {
        m_refreshing = false;
        // The fonts changed meanwhile: the newer scan is the one to show.
        try {
            RunWaitingRefresh();
        } catch (...) {
        }
        TellRefusedPress();
        throw;
    }
    m_refreshing = false;
    RunWaitingRefresh();
    TellRefusedPress();
}

void LumaroDialog::RefreshNow() {
    const auto followScan = [this] {
        // Offers whose rows cannot be emptied stay, so that no row leads to a deleted
        // one; the status asks for another refresh.
        const bool offersGone = ClearAvailableList();
        if (offersGone) ClearAvailableItems(g_fontitemsAvailable);
        UpdateButtons();
        SetStatus((offersGone || !m_scanComplete
                       ? panel_messages::MissingFontsStatus(g_fontitems.size(), m_scanComplete)
                       : panel_messages::OffersKeptStatus(g_fontitems.size()))
                      .c_str());
    };
    // A scan the host broke off still shows what it read; the rest of the
    // panel follows it before the failure goes on.
    try {
        ScanFonts(true);
    } catch (...) {
        followScan();
        throw;
    }
    followScan();
}

// Each button is enabled exactly when its command has something to act on:
// the records behind the rows, and the selection (an active entry may outlive it).
void LumaroDialog::UpdateButtons() {
    if (g_fontitems.empty()) {
        EnableItem(kFindButton, false);
        EnableItem(kActivateAllButton, false);
        EnableItem(kInstallAllButton, false);
        EnableItem(kActivateButton, false);
        EnableItem(kInstallButton, false);
        return;
    }
    EnableItem(kFindButton, true);
    const bool filled = !g_fontitemsAvailable.empty();
    EnableItem(kActivateAllButton, filled);
    EnableItem(kInstallAllButton, filled);
    ADMListRef available = List(kAvailableList);
    const bool selected = available != nullptr && GetDialogRef() != nullptr &&
                          g_admList->NumberOfSelectedEntries(available) > 0;
    EnableItem(kActivateButton, selected);
    EnableItem(kInstallButton, selected);
}

namespace {

// Empties the list box showing `records`. True when no row of it is left pointing at
// a record: every row is removed, or kept (a host that refuses removals) and detached.
// Otherwise the records that rows still lead to stay, and only those: a list box the
// host will not give keeps all its rows, a kept row it will not hand back keeps its
// record, and a dialog the host destroys meanwhile (`panel` loses it) takes every row.
template <typename Record>
bool ClearListBox(const IADMDialog& panel, ADMItemRef item, std::vector<Record*>& records) {
    const auto gone = [&] { return panel.GetDialogRef() == nullptr; };
    std::vector<std::size_t> leading;  // positions of rows still leading to a record
    bool all = false;
    const auto keep = [&](std::size_t row) {
        if (row >= records.size()) return;
        try {
            leading.push_back(row);
        } catch (...) {
            all = true;
        }
    };
    const auto result = [&](bool detached) {
        if (gone()) {
            DropRecordsFrom(records, 0);
        } else if (!all) {
            KeepRecordsAt(records, leading);
        }
        return detached && !gone();
    };
    if (item == nullptr) return false;
    g_admItem->Enable(item, true);
    if (gone()) return result(false);
    ADMListRef list = g_admList != nullptr ? g_admItem->GetList(item) : nullptr;
    if (gone()) return result(false);
    if (list == nullptr) return false;
    // A host that refuses a removal must not keep this loop going.
    ASInt32 count = g_admList->NumberOfEntries(list);
    while (count > 0) {
        if (gone()) return result(false);
        g_admList->RemoveEntry(list, count - 1);
        if (gone()) return result(false);
        const ASInt32 left = g_admList->NumberOfEntries(list);
        if (left >= count) break;
        count = left;
    }
    // Rows it kept must not lead to the records about to be deleted, nor show
    // or offer them; the next filling takes them back (RowAt).
    bool detached = true;
    for (ASInt32 i = 0; i < count; ++i) {
        if (gone()) return result(false);
        ADMEntryRef entry = g_admList->IndexEntry(list, i);
        if (gone()) return result(false);
        if (entry == nullptr) {
            detached = false;
            keep(static_cast<std::size_t>(i));
            continue;
        }
        g_admEntry->SetUserData(entry, nullptr);
        // The dialog going with its rows detaches them all the same.
        if (gone()) return result(false);
        g_admEntry->SetText(entry, "");
        if (gone()) return result(false);
        g_admEntry->Select(entry, false);
        if (gone()) return result(false);
        g_admEntry->Activate(entry, false);
        if (gone()) return result(false);
        g_admEntry->Enable(entry, false);
    }
    return detached ? true : result(false);
}

}  // namespace

ADMEntryRef LumaroDialog::RowAt(ADMListRef list, ASInt32 row) const {
    if (GetDialogRef() == nullptr) return nullptr;
    const ASInt32 count = g_admList->NumberOfEntries(list);
    if (GetDialogRef() == nullptr) return nullptr;
    if (row >= count) {
        ADMEntryRef entry = g_admList->InsertEntry(list, count);
        return GetDialogRef() != nullptr ? entry : nullptr;
    }
    ADMEntryRef entry = g_admList->IndexEntry(list, row);
    if (entry == nullptr || GetDialogRef() == nullptr) return nullptr;
    g_admEntry->Enable(entry, true);
    return GetDialogRef() != nullptr ? entry : nullptr;
}

bool LumaroDialog::ClearMissingList() {
    return ClearListBox(*this, Item(kMissingList), g_fontitems);
}

bool LumaroDialog::ClearAvailableList() {
    return ClearListBox(*this, Item(kAvailableList), g_fontitemsAvailable);
}

void LumaroDialog::DropConnection(int successes) {
    const bool memory = MemoryFailed();
    g_glyvorConnection.ReleaseGlyvorConnection();
    // What was activated before the failure is there all the same, and the user
    // learns it as well as the failure.
    if (successes > 0) BroadcastFontChange();
    SetStatus(panel_messages::BrokenOffStatus(successes, memory).c_str());
    if (successes > 0) KeepStatusInAlert();
}

template <typename Command>
void LumaroDialog::RunCommand(ASInt32 button, Command&& command) {
    if (m_commandRunning || m_refreshing) {
        if (!m_commandRunning || button != m_runningCommand) m_pressRefused = true;
        return;
    }
    m_commandRunning = true;
    m_runningCommand = button;
    const unsigned long statusWrites = m_statusWrites;
    try {
        command();
    } catch (...) {
        m_commandRunning = false;
        g_glyvorConnection.ReleaseGlyvorConnection();
        // A command that stops without a word would leave the last status, which
        // is not its outcome.
        if (m_statusWrites == statusWrites) SetStatus(panel_messages::kCommandFailed);
        if (m_refreshWaiting) KeepStatusInAlert();
        // The command's own failure is the one that counts.
        try {
            RunWaitingRefresh();
        } catch (...) {
        }
        TellRefusedPress();
        throw;
    }
    m_commandRunning = false;
    RunWaitingRefresh();
    TellRefusedPress();
}

void LumaroDialog::RunWaitingRefresh() {
    if (!m_refreshWaiting) return;
    m_refreshWaiting = false;
    Refresh();
}

void LumaroDialog::TellRefusedPress() {
    if (!m_pressRefused || m_commandRunning || m_refreshing) return;
    m_pressRefused = false;
    SetStatus(panel_messages::WithPressRefused(m_status).c_str());
}

void LumaroDialog::FindFonts() {
    RunCommand(kFindButton, [this] { FindFontsNow(); });
}

void LumaroDialog::ActivateOrInstallFonts(bool activate, bool all) {
    const ASInt32 button = all ? (activate ? kActivateAllButton : kInstallAllButton)
                               : (activate ? kActivateButton : kInstallButton);
    RunCommand(button, [this, activate, all] { ActivateOrInstallFontsNow(activate, all); });
}

void LumaroDialog::FindFontsNow() {
    // The old offers go only with their rows.
    if (!ClearAvailableList()) {
        SetStatus(panel_messages::kCommandFailed);
        return;
    }
    ClearAvailableItems(g_fontitemsAvailable);
    LUMARO_ASSERT(g_fontitems.size() != 0, kSource);
    if (g_fontitems.empty()) return;

    std::wstring error;
    GlyvorConnection* connection = g_glyvorConnection.GetGlyvorConnection(error);
    if (connection == nullptr) {
        SetStatus(panel_messages::kCannotConnect);
        return;
    }
    bool complete = true;
    try {
        FindAvailableFonts(connection, g_fontitems, g_fontitemsAvailable, &complete);
    } catch (...) {
        DropConnection(0);
        // No row shows them, so no command may act on them.
        ClearAvailableItems(g_fontitemsAvailable);
        UpdateButtons();
        throw;
    }
    g_glyvorConnection.ReleaseGlyvorConnection();

    // Without a dialog (the host destroyed it meanwhile) nothing shows the records.
    if (GetDialogRef() != nullptr) {
        ADMListRef list = List(kAvailableList);
        if (list == nullptr) {
            ClearAvailableItems(g_fontitemsAvailable);
            complete = false;
        } else if (!ShowRecords(
                       g_fontitemsAvailable, [&](int row) { return RowAt(list, row); },
                       [](const CFontItemAvailable& record, std::string& text) {
                           AssignWideToNarrow(record.m_wstrName, text);
                       },
                       [this] { return GetDialogRef() == nullptr; })) {
            complete = false;
        }
    }
    SetStatus(panel_messages::FoundFontsStatus(g_fontitemsAvailable.size(), complete).c_str());
}

void LumaroDialog::ActivateOrInstallFontsNow(bool activate, bool all) {
    ADMListRef list = List(kAvailableList);
    if (all && g_fontitemsAvailable.empty()) {
        Alert(panel_messages::kListEmpty);
        return;
    }
    if (!all && (list == nullptr || g_admList->NumberOfSelectedEntries(list) < 1)) {
        Alert(panel_messages::kNothingSelected);
        return;
    }

    std::wstring error;
    GlyvorConnection* connection = g_glyvorConnection.GetGlyvorConnection(error);
    if (connection == nullptr) {
        SetStatus(panel_messages::kCannotConnect);
        return;
    }

    panel_messages::FailureText failures(activate);
    int successes = 0;
    auto activateOrInstall = [&](const CFontItemAvailable& record) {
        std::wstring fontError;
        if (connection->ActivateOrInstall(record.m_wstrFontId, activate, fontError)) {
            ++successes;
        } else {
            failures.Add(DisplayName(record));
        }
    };
    try {
        // A dialog the host destroyed while a call waited ends the walk: its
        // selection is gone, and so is the panel the command was for.
        if (all) {
            const std::size_t count = g_fontitemsAvailable.size();
            for (std::size_t i = 0; i < count && i < g_fontitemsAvailable.size(); ++i) {
                if (GetDialogRef() == nullptr) break;
                if (g_fontitemsAvailable[i] != nullptr) activateOrInstall(*g_fontitemsAvailable[i]);
            }
        } else if (GetDialogRef() != nullptr) {
            const ASInt32 count = g_admList->NumberOfSelectedEntries(list);
            for (ASInt32 i = 0; i < count; ++i) {
                if (GetDialogRef() == nullptr) break;
                ADMEntryRef entry = g_admList->IndexSelectedEntry(list, i);
                if (GetDialogRef() == nullptr) break;
                if (entry == nullptr) continue;
                auto* record = static_cast<CFontItemAvailable*>(g_admEntry->GetUserData(entry));
                if (record != nullptr) activateOrInstall(*record);
            }
        }
    } catch (...) {
        DropConnection(successes);
        if (failures.Count() > 0) Alert(failures.Text());
        throw;
    }
    g_glyvorConnection.ReleaseGlyvorConnection();

    if (successes > 0) BroadcastFontChange();
    SetStatus(panel_messages::ActivatedFontsStatus(successes).c_str());
    if (failures.Count() > 0) Alert(failures.Text());
}

void LumaroDialog::ShowHelp() {
    try {
        const std::basic_string<WCHAR> address = ToUnits(panel_messages::HelpAddress());
        const std::basic_string<WCHAR> verb = ToUnits(L"open");
        const HINSTANCE result = ShellExecuteW(GetDesktopWindow(), verb.c_str(), address.c_str(),
                                               nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(result) > 32) return;
        if (g_admBasic == nullptr) return;
        const std::basic_string<WCHAR> text = ToUnits(panel_messages::HelpErrorText());
        g_admBasic->ErrorAlertW(reinterpret_cast<const ASUnicode*>(text.c_str()));
    } catch (...) {
        // Without memory for the address or the alert, the user still learns that
        // Help did not open; the status needs none.
        SetStatus(panel_messages::kCommandFailed);
    }
}
