// A host dialog as a class: the wrapper is the dialog's user data, and the
// procedures of ADMProcedures route the host's callbacks to the virtual
// operations below, whose base versions hand them back to the host.
#pragma once

#include "panel/IADMDialog.h"

class BaseADMDialog : public IADMDialog {
public:
    BaseADMDialog() = default;
    BaseADMDialog(const BaseADMDialog&) = delete;
    BaseADMDialog& operator=(const BaseADMDialog&) = delete;

    // Installs the draw, track, notify and destroy procedures. A subclass
    // that overrides it calls it first.
    virtual ASErr Init();
    virtual void Draw(ADMDrawerRef drawer);
    virtual ASBoolean Track(ADMTrackerRef tracker);
    // Without a dialog (the host destroyed it while this ran) there is no default.
    virtual void Notify(ADMNotifierRef notifier);
    // The host is destroying the dialog, which can still be read. When a notification
    // is running in the wrapper, the wrapper outlives the dialog until it returns.
    virtual void OnDestroy();
    // A created dialog still held is detached and destroyed; a modal one, or
    // one the host is destroying already, is left to the host.
    virtual ~BaseADMDialog();

    // A non-modal dialog from the plug-in's resource; null when the host
    // could not make it. The host runs Init before this returns.
    virtual ADMDialogRef Create(SPPluginRef pluginRef, const char* name, ASInt32 dialogID,
                                ASInt32 style, ASInt32 options);
    // Runs the dialog modally; the host's result.
    virtual ASInt32 Modal(SPPluginRef pluginRef, const char* name, ASInt32 dialogID, ASInt32 style,
                          ASInt32 options);
    virtual ASInt32 PopupModal(SPPluginRef pluginRef, const char* name, ASInt32 dialogID,
                               ASInt32 options);

    bool IsModal() const { return m_modal != 0; }

    // Held while the wrapper runs one of its own calls (a notification, a refresh the
    // plug-in asks for, its creation). The host may destroy the dialog meanwhile (a
    // call that waits lets it run): the wrapper then only forgets the dialog, and the
    // outermost scope deletes it as it closes.
    class Busy {
    public:
        explicit Busy(BaseADMDialog* wrapper) noexcept;
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        BaseADMDialog* m_wrapper;
    };

protected:
    // Set while the host's destroy procedure deletes this wrapper.
    bool IsBeingDestroyedByHost() const { return m_destroyedByHost; }

private:
    friend struct ADMProcedures;

    ASInt32 m_modal = 0;
    bool m_destroyedByHost = false;
    // Busy scopes open (nested ones included), and whether the host destroyed the
    // dialog meanwhile, so that the last one to close deletes the wrapper.
    int m_busy = 0;
    bool m_deleteWhenIdle = false;
};
