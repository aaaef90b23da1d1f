// The host's dialog manager: builds dialogs from plug-in resources, owns
// every dialog, item, list, entry and icon, calls the plug-in's procedures
// when a real dialog manager would, and plays the user's part for tests and
// the command line.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/adm/adm_objects.h"
#include "host/adm/dialog_template.h"
#include "host/adm/plugin_environment.h"

namespace host::adm {

// A user action that cannot happen: no such dialog, item or row, or a
// disabled button.
class ActionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Windows converts dialog units with the font's base units; for an 8-point
// "MS Sans Serif" dialog they are 6 x 13.
constexpr int DialogUnitsToPixelsX(int du) { return du * 6 / 4; }
constexpr int DialogUnitsToPixelsY(int du) { return du * 13 / 8; }

class DialogManager {
public:
    // The manager becomes the one the suites serve, until it is destroyed.
    explicit DialogManager(PluginEnvironment& environment);
    ~DialogManager();
    DialogManager(const DialogManager&) = delete;
    DialogManager& operator=(const DialogManager&) = delete;

    // The manager the suites serve, or null.
    static DialogManager* Active();

    // --- what the suites do ---------------------------------------------
    ADMDialogRef CreateDialog(SPPluginRef plugin, const char* name, ASInt32 dialogID, ASInt32 style,
                              ADMDialogInitProc initProc, ADMUserData userData, bool modal);
    ASInt32 RunModal(SPPluginRef plugin, const char* name, ASInt32 dialogID, ASInt32 style,
                     ADMDialogInitProc initProc, ADMUserData userData);
    // Ignored (and counted as a problem) while the dialog is being destroyed.
    void DestroyDialog(ADMDialogRef dialog);
    ADMItemRef CreateItem(ADMDialogRef dialog, ASInt32 itemID, const char* itemType,
                          const ADMRect* bounds, ADMItemInitProc initProc, ADMUserData userData);
    void DestroyItem(ADMItemRef item);
    void ShowDialog(ADMDialogRef dialog, bool show);
    void DrawDialog(ADMDialogRef dialog, ADMDrawer* drawer);
    void DefaultDrawDialog(ADMDialogRef dialog, ADMDrawer* drawer);
    void DrawItem(ADMItemRef item, ADMDrawer* drawer);
    void DefaultNotifyItem(ADMItemRef item, ADMNotifierRef notifier);
    void DefaultNotifyDialog(ADMDialogRef dialog, ADMNotifierRef notifier);
    ADMIconRef LoadIcon(SPPluginRef plugin, const char* name, ASInt32 iconID, ASInt32 iconIndex);
    void DestroyIcon(ADMIconRef icon);
    ADMEntryRef InsertEntry(ADMListRef list, ASInt32 index);
    void RemoveEntry(ADMListRef list, ASInt32 index);
    void SelectEntry(ADMEntryRef entry, bool select);
    void ActivateEntry(ADMEntryRef entry, bool activate);

    // Where real dialog managers differ, this one takes either side. A manager
    // that refuses removals leaves every entry RemoveEntry names in its list. One
    // that keeps the active entry leaves it active when the user empties the
    // selection (by default the active entry goes with the selection).
    void SetRefusesRemoval(bool refuses) { refusesRemoval_ = refuses; }
    bool RefusesRemoval() const { return refusesRemoval_; }
    void SetKeepsActiveEntry(bool keeps) { keepsActiveEntry_ = keeps; }
    bool KeepsActiveEntry() const { return keepsActiveEntry_; }

    // Whether a reference names an object the host still holds; every suite
    // call checks its reference with these and ignores a stale one.
    bool IsLive(const void* object) const { return live_.count(object) != 0; }
    ADMDialog* LiveDialog(ADMDialogRef d) const { return IsLive(d) ? d : nullptr; }
    ADMItem* LiveItem(ADMItemRef i) const { return IsLive(i) ? i : nullptr; }
    ADMList* LiveList(ADMListRef l) const { return IsLive(l) ? l : nullptr; }
    ADMEntry* LiveEntry(ADMEntryRef e) const { return IsLive(e) ? e : nullptr; }
    ADMIcon* LiveIcon(ADMIconRef i) const { return IsLive(i) ? i : nullptr; }
    // Misuse the host noticed and ignored (stale references, missing
    // resources), one line each; also reported to the environment.
    void Problem(const std::string& what) {
        problems_.push_back(what);
        environment_.Report(what);
    }
    const std::vector<std::string>& Problems() const { return problems_; }
    // Requests the host tolerates by design: a destroy procedure (or the
    // wrapper destructor it runs) asking for the destruction under way.
    const std::vector<std::string>& Notes() const { return notes_; }

    // --- the user's part --------------------------------------------------
    // Clicks a button: its track procedure (or the default) runs, and when
    // it accepts the click an "ADM User Changed Notifier" goes to the item's
    // notify procedure, or by default to the dialog's.
    void PressButton(ADMDialogRef dialog, ASInt32 itemID);
    void PressButton(ADMDialogRef dialog, const std::string& text);
    // Makes exactly these rows selected (the last one active) and notifies.
    // A list box without multiple selection takes at most one row.
    void SelectRows(ADMDialogRef dialog, ASInt32 listItemID, const std::vector<int>& rows);
    // A click on the dialog's own surface; answers the track result.
    bool ClickDialog(ADMDialogRef dialog);
    // The close box: an "ADM Close Hit Notifier" to the dialog, then the
    // palette is hidden, as a host hides (not destroys) a closed palette.
    void ClosePalette(ADMDialogRef dialog);
    // What a modal run does between its init and its end; answers the item
    // ID that ends it. Without a script a run ends at once with -1.
    void SetModalScript(std::function<ASInt32(ADMDialogRef)> script) {
        modalScript_ = std::move(script);
    }

    // --- looking at dialogs -----------------------------------------------
    std::vector<ADMDialogRef> Dialogs() const;
    // The first dialog of that name, or null.
    ADMDialogRef FindDialog(const std::string& name) const;
    // The items in template order with kind, ID, text, state and list rows;
    // throws ActionError for an unknown dialog.
    std::string Render(ADMDialogRef dialog) const;
    // Text conversions the user performs on an item (typing a number).
    bool TextToFloat(ADMItemRef item, const char* text, float* value);
    bool FloatToText(ADMItemRef item, float value, char* text, ASInt32 length);

    // Destroys the dialogs of one plug-in, or all (the host's teardown),
    // calling their destroy procedures.
    void DestroyDialogsOf(SPPluginRef plugin);
    void DestroyAll();

private:
    ADMDialog& RequireDialog(ADMDialogRef dialog) const;
    ADMItem& RequireItem(ADMDialog& dialog, ASInt32 itemID) const;
    void BuildItems(ADMDialog& dialog, const DialogTemplate& tpl);
    std::unique_ptr<ADMItem> MakeItem(ADMDialog& dialog, ADMItem* parent, ASInt32 id, ItemKind kind,
                                      const ADMRect& bounds);
    void Forget(ADMItem& item);
    void NotifyUserChanged(ADMItem& item);
    bool TrackItem(ADMItem& item);
    // Every call into a plug-in goes through here.
    void Call(SPPluginRef plugin, const std::function<void()>& call);
    // Objects destroyed inside an operation of the host are kept until the
    // outermost operation returns, so that no frame of the host further up
    // (one that called a procedure which destroyed them) touches freed memory.
    class Operation {
    public:
        explicit Operation(DialogManager& manager) : m_(manager) { ++m_.operationDepth_; }
        ~Operation();
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        DialogManager& m_;
    };
    void Bury(std::unique_ptr<ADMDialog> dialog) { deadDialogs_.push_back(std::move(dialog)); }
    void Bury(std::unique_ptr<ADMItem> item) { deadItems_.push_back(std::move(item)); }

    PluginEnvironment& environment_;
    std::vector<std::unique_ptr<ADMDialog>> dialogs_;
    std::vector<std::unique_ptr<ADMIcon>> icons_;
    std::unordered_set<const void*> live_;
    std::vector<std::string> problems_;
    std::vector<std::string> notes_;
    int operationDepth_ = 0;
    std::vector<std::unique_ptr<ADMDialog>> deadDialogs_;
    std::vector<std::unique_ptr<ADMItem>> deadItems_;
    std::function<ASInt32(ADMDialogRef)> modalScript_;
    bool refusesRemoval_ = false;
    bool keepsActiveEntry_ = false;
};

// Narrow text the host shows, from a template's UTF-16 text.
std::string TemplateTextToNarrow(const std::u16string& text);

}  // namespace host::adm
