// The panel: one dockable host dialog (resource kLumaroDialogID) listing the
// missing fonts of the open documents and the fonts Glyvor offers for them.
// Its state is the host dialog and the two global font lists; every item is
// reached by its ID, none is cached.
#pragma once

#include "panel/BaseADMDialog.h"

class LumaroDialog : public BaseADMDialog {
public:
    LumaroDialog() = default;
    // Empties both font lists and, when the dialog exists, writes the docking
    // state to the preferences before the dialog goes.
    ~LumaroDialog() override;

    ADMDialogRef Create(SPPluginRef pluginRef, const char* name, ASInt32 dialogID, ASInt32 style,
                        ASInt32 options) override;
    ASErr Init() override;
    // The command dispatcher for the panel's buttons and lists.
    void Notify(ADMNotifierRef notifier) override;
    void OnDestroy() override;

    // Rescans the host's fonts, empties the available list and resets the
    // buttons and the status line. Does nothing without a dialog. Asked for while
    // Find, an activate/install command or a refresh runs (a notification the host
    // sends from inside one of their calls), it waits until that one ends.
    void Refresh();
    void UpdateButtons();
    // Empty a list box; false when a row may still lead to a record (the host would
    // not give the list box or a row it kept): of its records only those stay, so
    // that the records, the rows and what a command acts on agree.
    bool ClearMissingList();
    bool ClearAvailableList();
    // Nothing that changes the records starts while anything else walks them: a
    // command asked for while a command or a refresh runs (a press the host delivers
    // from inside one of their calls) does nothing.
    void FindFonts();
    void ActivateOrInstallFonts(bool activate, bool all);
    void ShowHelp();
    // Rebuilds g_fontitems from the host's font list and the missing list's
    // rows from it; with bMissingOnly false every font is listed. A failure ends
    // the walk: the fonts read so far are shown, then it is raised. Whatever the
    // host would not tell or show leaves the scan incomplete (ScanComplete).
    void ScanFonts(bool bMissingOnly);
    // False when the last scan could not read or show every font: the status line
    // says so instead of giving a count the user would take for the whole.
    bool ScanComplete() const { return m_scanComplete; }

private:
    ADMItemRef Item(ASInt32 itemID) const;
    ADMListRef List(ASInt32 itemID) const;
    void EnableItem(ASInt32 itemID, bool enable) const;
    // Writes the status line; a status line the host will not give is shown in an
    // alert, so the user learns the outcome all the same.
    void SetStatus(const char* text);
    // The failure just reported stays with the user in an alert: a refresh that
    // follows (the font change the command caused, or one that waited for it)
    // replaces the status line.
    void KeepStatusInAlert();
    // The row for the record at display position `row` of a list being
    // filled: a row the host would not remove, taken back, or a new last row.
    ADMEntryRef RowAt(ADMListRef list, ASInt32 row) const;
    void StoreDockingState() const;
    // In the handler of a failed command: the connection goes, so that the next
    // command connects afresh, and the status tells what was done and why it stopped.
    void DropConnection(int successes);

    // Runs a font-manager command unless one is running, then the refresh that was
    // asked for meanwhile. While the command waits for the font manager the host may
    // notify the panel (COM hands the thread sent messages, among them the font
    // change a font manager broadcasts): a refresh then, or another command, would
    // free the records and the connection the command is using.
    template <typename Command>
    void RunCommand(ASInt32 button, Command&& command);
    void RunWaitingRefresh();
    // A press that was not acted on, and that the outcome shown does not answer (it
    // is another command's or a refresh's), would look lost: the status says so.
    void TellRefusedPress();
    void RefreshNow();
    void FindFontsNow();
    void ActivateOrInstallFontsNow(bool activate, bool all);

    bool m_commandRunning = false;
    ASInt32 m_runningCommand = 0;
    bool m_pressRefused = false;
    bool m_refreshing = false;
    bool m_refreshWaiting = false;
    bool m_scanComplete = true;
    // What the status line was last given, and how often, so that a command that
    // fails without a word can be told apart.
    char m_status[512] = "";
    unsigned long m_statusWrites = 0;
    // The status write last kept in an alert.
    unsigned long m_alertedStatusWrite = 0;
};
