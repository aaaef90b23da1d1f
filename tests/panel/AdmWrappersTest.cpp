// The dialog and item wrappers under the simulated host's dialog manager.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "PanelHostTest.h"
#include "fontmanager/AIError.h"
#include "frame/Suites.h"
#include "host/adm/adm_suites.h"
#include "hostapi/errors.h"
#include "panel/ADMProcedures.h"
#include "panel/BaseADMDialog.h"
#include "panel/BaseADMItem.h"

namespace {

enum class Throw { Nothing, HostError, Standard, Other };

void Raise(Throw what) {
    switch (what) {
        case Throw::Nothing:
            return;
        case Throw::HostError:
            throw ai::Error(HostFourCC('B', 'A', 'D', '!'));
        case Throw::Standard:
            throw std::runtime_error("boom");
        case Throw::Other:
            throw 42;
    }
}

struct Journal {
    std::vector<std::string> calls;
    int deletions = 0;
};

class RecordingDialog : public BaseADMDialog {
public:
    explicit RecordingDialog(Journal& journal) : m_journal(journal) {}
    ~RecordingDialog() override {
        m_journal.calls.push_back("deleted");
        ++m_journal.deletions;
    }
    ASErr Init() override {
        m_journal.calls.push_back("Init");
        const ASErr result = installProcedures ? BaseADMDialog::Init() : kNoErr;
        Raise(throwInInit);
        return result;
    }
    void Draw(ADMDrawerRef) override {
        m_journal.calls.push_back("Draw");
        Raise(throwInCallbacks);
    }
    ASBoolean Track(ADMTrackerRef) override {
        m_journal.calls.push_back("Track");
        Raise(throwInCallbacks);
        return true;
    }
    void Notify(ADMNotifierRef) override {
        m_journal.calls.push_back("Notify");
        Raise(throwInCallbacks);
    }
    void OnDestroy() override { m_journal.calls.push_back("OnDestroy"); }

    Throw throwInInit = Throw::Nothing;
    Throw throwInCallbacks = Throw::Nothing;
    // False: Init skips the base's, so no procedure (the destroy one included) is installed.
    bool installProcedures = true;

private:
    Journal& m_journal;
};

class RecordingItem : public BaseADMItem {
public:
    RecordingItem(Journal& journal, ADMItemRef item = nullptr, ASInt32 value = 0)
        : BaseADMItem(item, value), m_journal(journal) {}
    ~RecordingItem() override {
        m_journal.calls.push_back("item deleted");
        ++m_journal.deletions;
    }
    ASErr Init() override {
        m_journal.calls.push_back("item Init");
        return kNoErr;
    }
    void Draw(ADMDrawerRef) override { m_journal.calls.push_back("item Draw"); }
    ASBoolean TextToFloat(const char* text, float* value) override {
        m_journal.calls.push_back(std::string("item TextToFloat ") + text);
        *value = 1.5f;
        return true;
    }

private:
    Journal& m_journal;
};

class AdmWrappers : public ::testing::Test {
protected:
    void SetUp() override {
        m_dialogs = std::make_unique<host::adm::DialogManager>(m_resources);
        g_admDialog = &host::adm::DialogSuite();
        g_admItem = &host::adm::ItemSuite();
    }
    void TearDown() override {
        m_dialogs->DestroyAll();
        g_admDialog = nullptr;
        g_admItem = nullptr;
    }
    // A host dialog built from the module's resource without any procedure.
    ADMDialogRef BareDialog(void* userData) {
        return g_admDialog->Create(Plugin(), "bare", 16000, 3, nullptr, userData, 0);
    }
    SPPluginRef Plugin() { return reinterpret_cast<SPPluginRef>(&m_resources); }
    // Misuse the host noticed, and destroy requests it got for an object
    // already being destroyed.
    std::vector<std::string> Problems() const {
        std::vector<std::string> all = m_dialogs->Problems();
        all.insert(all.end(), m_dialogs->Notes().begin(), m_dialogs->Notes().end());
        return all;
    }

    ModuleResourceEnvironment m_resources;
    std::unique_ptr<host::adm::DialogManager> m_dialogs;
    Journal m_journal;
};

TEST_F(AdmWrappers, CreateRunsInitOnceAndInstallsTheDialogProcedures) {
    auto* wrapper = new RecordingDialog(m_journal);
    const ADMDialogRef dialog = wrapper->Create(Plugin(), "Test", 16000, 3, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(wrapper->GetDialogRef(), dialog);
    EXPECT_FALSE(wrapper->IsModal());
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"Init", "Draw"}));  // shown once made
    EXPECT_EQ(g_admDialog->GetUserData(dialog), wrapper);
    EXPECT_EQ(g_admDialog->GetDrawProc(dialog), &ADMProcedures::DialogDrawProc);
    EXPECT_EQ(g_admDialog->GetTrackProc(dialog), &ADMProcedures::DialogTrackProc);
    EXPECT_EQ(g_admDialog->GetNotifyProc(dialog), &ADMProcedures::DialogNotifyProc);
    EXPECT_EQ(g_admDialog->GetDestroyProc(dialog), &ADMProcedures::DialogDestroyProc);
    delete wrapper;
}

TEST_F(AdmWrappers, OwnerDeletionDetachesAndDestroysTheHostDialog) {
    auto* wrapper = new RecordingDialog(m_journal);
    ASSERT_NE(wrapper->Create(Plugin(), "Test", 16000, 3, 0), nullptr);
    m_journal.calls.clear();
    delete wrapper;
    EXPECT_TRUE(m_dialogs->Dialogs().empty());
    // The destroy procedure was removed first, so OnDestroy does not run.
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"deleted"}));
    EXPECT_TRUE(Problems().empty());
}

TEST_F(AdmWrappers, HostDestructionDeletesTheWrapperOnceAfterOnDestroy) {
    auto* wrapper = new RecordingDialog(m_journal);
    ASSERT_NE(wrapper->Create(Plugin(), "Test", 16000, 3, 0), nullptr);
    m_journal.calls.clear();
    m_dialogs->DestroyAll();
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"OnDestroy", "deleted"}));
    EXPECT_EQ(m_journal.deletions, 1);
    // The destructor, run inside the destroy procedure, did not ask again.
    EXPECT_TRUE(Problems().empty()) << Problems().front();
}

TEST_F(AdmWrappers, WrapperWithoutDialogMakesNoHostCall) {
    // Never created, and created where the host could make no dialog: any
    // call the destructor made would name no dialog, which the host notes.
    for (bool create : {false, true}) {
        SCOPED_TRACE(create ? "creation refused" : "never created");
        auto* wrapper = new RecordingDialog(m_journal);
        if (create) {
            EXPECT_EQ(wrapper->Create(Plugin(), "Test", 16001, 3, 0), nullptr);
        }
        ASSERT_EQ(wrapper->GetDialogRef(), nullptr);
        const std::vector<std::string> before = Problems();
        delete wrapper;
        EXPECT_EQ(Problems(), before);
    }
    EXPECT_EQ(m_journal.deletions, 2);
}

TEST_F(AdmWrappers, ModalRunLeavesTheWrapperWithItsOwner) {
    m_dialogs->SetModalScript([](ADMDialogRef) { return 7; });
    {
        RecordingDialog wrapper(m_journal);
        EXPECT_EQ(wrapper.Modal(Plugin(), "Modal", 16000, 0, 0), 7);
        EXPECT_TRUE(wrapper.IsModal());
        // The host's destruction at the end of the run only made it forget the dialog.
        EXPECT_EQ(wrapper.GetDialogRef(), nullptr);
        EXPECT_EQ(m_journal.deletions, 0);
        EXPECT_TRUE(m_dialogs->Dialogs().empty());
        m_journal.calls.clear();
    }
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"deleted"}));
    EXPECT_TRUE(Problems().empty()) << Problems().front();
}

TEST_F(AdmWrappers, AWrapperThatRanModalMakesNoHostCallWhenDestroyedThoughItHoldsItsReference) {
    for (bool popup : {false, true}) {
        SCOPED_TRACE(popup ? "PopupModal" : "Modal");
        auto* wrapper = new RecordingDialog(m_journal);
        // No destroy procedure: the end of the run does not reach the wrapper,
        // which keeps the reference of a dialog the host no longer holds.
        wrapper->installProcedures = false;
        ADMDialogRef ran = nullptr;
        m_dialogs->SetModalScript([&](ADMDialogRef dialog) {
            ran = dialog;
            return 1;
        });
        if (popup) {
            EXPECT_EQ(wrapper->PopupModal(Plugin(), "Modal", 16000, 0), 1);
        } else {
            EXPECT_EQ(wrapper->Modal(Plugin(), "Modal", 16000, 0, 0), 1);
        }
        ASSERT_NE(ran, nullptr);
        EXPECT_EQ(wrapper->GetDialogRef(), ran);
        EXPECT_TRUE(m_dialogs->Dialogs().empty());
        delete wrapper;
        EXPECT_TRUE(Problems().empty()) << Problems().front();
    }
    EXPECT_EQ(m_journal.deletions, 2);
}

TEST_F(AdmWrappers, DrawAndTrackForAnotherDialogAreIgnoredNotifyIsNot) {
    auto* wrapper = new RecordingDialog(m_journal);
    const ADMDialogRef own = wrapper->Create(Plugin(), "Own", 16000, 3, 0);
    ASSERT_NE(own, nullptr);
    const ADMDialogRef other = BareDialog(wrapper);
    m_journal.calls.clear();

    ADMProcedures::DialogDrawProc(other, nullptr);
    EXPECT_FALSE(ADMProcedures::DialogTrackProc(other, nullptr));
    ADMProcedures::DialogNotifyProc(other, nullptr);
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"Notify"}));

    m_journal.calls.clear();
    ADMProcedures::DialogDrawProc(own, nullptr);
    EXPECT_TRUE(ADMProcedures::DialogTrackProc(own, nullptr));
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"Draw", "Track"}));
    g_admDialog->SetUserData(other, nullptr);
    delete wrapper;
}

TEST_F(AdmWrappers, ProceduresWithoutAWrapperDoNothing) {
    const ADMDialogRef dialog = BareDialog(nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ADMProcedures::DialogInitProc(dialog), kBadParameterErr);
    ADMProcedures::DialogDrawProc(dialog, nullptr);
    EXPECT_FALSE(ADMProcedures::DialogTrackProc(dialog, nullptr));
    ADMProcedures::DialogNotifyProc(dialog, nullptr);
    ADMProcedures::DialogDestroyProc(dialog);
    EXPECT_EQ(m_dialogs->Dialogs().size(), 1u);

    ADMItemRef button = g_admDialog->GetItem(dialog, 11);
    EXPECT_EQ(ADMProcedures::ItemInitProc(button), kBadParameterErr);
    ADMProcedures::ItemDrawProc(button, nullptr);
    ADMProcedures::ItemNotifyProc(button, nullptr);
    ADMProcedures::ItemDestroyProc(button);
    float value = 0;
    char text[8] = {};
    EXPECT_FALSE(ADMProcedures::ItemTrackProc(button, nullptr));
    EXPECT_FALSE(ADMProcedures::ItemTextToFloatProc(button, "1", &value));
    EXPECT_FALSE(ADMProcedures::ItemFloatToTextProc(button, 1.0f, text, sizeof text));
    EXPECT_TRUE(m_journal.calls.empty());
}

TEST_F(AdmWrappers, InitExceptionsBecomeCodesAndTheWrapperIsLetGo) {
    const struct {
        Throw what;
        ASErr code;
    } cases[] = {
        {Throw::HostError, HostFourCC('B', 'A', 'D', '!')},
        {Throw::Standard, kCantHappenErr},
        {Throw::Other, kCantHappenErr},
    };
    for (const auto& c : cases) {
        RecordingDialog wrapper(m_journal);
        wrapper.throwInInit = c.what;
        const ADMDialogRef dialog = BareDialog(&wrapper);
        EXPECT_EQ(ADMProcedures::DialogInitProc(dialog), c.code);
        EXPECT_EQ(wrapper.GetDialogRef(), nullptr);
        EXPECT_EQ(g_admDialog->GetUserData(dialog), nullptr);
        EXPECT_EQ(g_admDialog->GetDestroyProc(dialog), nullptr);
    }
}

TEST_F(AdmWrappers, FailedInitFailsTheCreationWithoutDeletingTheWrapper) {
    auto* wrapper = new RecordingDialog(m_journal);
    wrapper->throwInInit = Throw::Standard;
    EXPECT_EQ(wrapper->Create(Plugin(), "Test", 16000, 3, 0), nullptr);
    EXPECT_EQ(wrapper->GetDialogRef(), nullptr);
    EXPECT_TRUE(m_dialogs->Dialogs().empty());
    // The creator still owns it; the host's destruction of the unfinished
    // dialog did not reach it.
    EXPECT_EQ(m_journal.deletions, 0);
    delete wrapper;
    EXPECT_EQ(m_journal.deletions, 1);
    EXPECT_TRUE(Problems().empty());
}

TEST_F(AdmWrappers, CallbackExceptionsStopAtTheProcedure) {
    auto* wrapper = new RecordingDialog(m_journal);
    const ADMDialogRef dialog = wrapper->Create(Plugin(), "Test", 16000, 3, 0);
    ASSERT_NE(dialog, nullptr);
    for (Throw what : {Throw::HostError, Throw::Standard, Throw::Other}) {
        wrapper->throwInCallbacks = what;
        EXPECT_NO_THROW(ADMProcedures::DialogDrawProc(dialog, nullptr));
        EXPECT_FALSE(ADMProcedures::DialogTrackProc(dialog, nullptr));
        EXPECT_NO_THROW(ADMProcedures::DialogNotifyProc(dialog, nullptr));
        EXPECT_NO_THROW(m_dialogs->ClickDialog(dialog));
    }
    delete wrapper;
}

TEST_F(AdmWrappers, CreatedItemRunsInitAndIsDeletedOnceWithItsDialog) {
    const ADMDialogRef dialog = BareDialog(nullptr);
    auto* item = new RecordingItem(m_journal);
    const ADMRect bounds{0, 0, 40, 20};
    const ADMItemRef ref = item->Create(dialog, bounds, kADMTextPushButtonType, 99);
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(item->GetItemRef(), ref);
    EXPECT_EQ(g_admDialog->GetItem(dialog, 99), ref);
    EXPECT_EQ(g_admItem->GetUserData(ref), item);
    EXPECT_EQ(g_admItem->GetDrawProc(ref), &ADMProcedures::ItemDrawProc);
    EXPECT_EQ(g_admItem->GetTrackProc(ref), &ADMProcedures::ItemTrackProc);
    EXPECT_EQ(g_admItem->GetNotifyProc(ref), &ADMProcedures::ItemNotifyProc);
    EXPECT_EQ(g_admItem->GetDestroyProc(ref), &ADMProcedures::ItemDestroyProc);
    EXPECT_EQ(g_admItem->GetTextToFloatProc(ref), &ADMProcedures::ItemTextToFloatProc);
    EXPECT_EQ(g_admItem->GetFloatToTextProc(ref), &ADMProcedures::ItemFloatToTextProc);

    m_dialogs->DestroyAll();
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"item Init", "item deleted"}));
    EXPECT_TRUE(Problems().empty()) << Problems().front();
}

TEST_F(AdmWrappers, ItemCreationTheHostRefusesKeepsNoReference) {
    const ADMDialogRef dialog = BareDialog(nullptr);
    RecordingItem item(m_journal);
    EXPECT_EQ(item.Create(dialog, ADMRect{0, 0, 1, 1}, "No Such Item Type", 98), nullptr);
    EXPECT_EQ(item.GetItemRef(), nullptr);
}

TEST_F(AdmWrappers, OwnerDeletionOfAnItemDestroysTheHostItem) {
    const ADMDialogRef dialog = BareDialog(nullptr);
    auto* item = new RecordingItem(m_journal);
    ASSERT_NE(item->Create(dialog, ADMRect{0, 0, 40, 20}, kADMTextPushButtonType, 99), nullptr);
    delete item;
    EXPECT_EQ(g_admDialog->GetItem(dialog, 99), nullptr);
    EXPECT_EQ(m_journal.deletions, 1);
    EXPECT_TRUE(Problems().empty());
}

TEST_F(AdmWrappers, WrapperOverAnExistingItemRoutesItsCallbacks) {
    const ADMDialogRef dialog = BareDialog(nullptr);
    const ADMItemRef button = g_admDialog->GetItem(dialog, 11);
    auto* item = new RecordingItem(m_journal, button, 5);
    EXPECT_EQ(item->GetValue(), 5);
    EXPECT_EQ(g_admItem->GetUserData(button), item);

    float value = 0;
    EXPECT_TRUE(m_dialogs->TextToFloat(button, "2.5", &value));
    EXPECT_EQ(value, 1.5f);
    ADMProcedures::ItemDrawProc(button, nullptr);  // OnDraw reaches Draw
    EXPECT_EQ(m_journal.calls, std::vector<std::string>({"item TextToFloat 2.5", "item Draw"}));

    delete item;
    EXPECT_EQ(g_admDialog->GetItem(dialog, 11), nullptr);
    EXPECT_TRUE(Problems().empty());
}

TEST_F(AdmWrappers, CompoundPopupsShareTheWrapperWithTheirEditPart) {
    const ADMDialogRef dialog = BareDialog(nullptr);
    const ADMRect bounds{0, 0, 60, 20};
    for (const char* type : {kADMSpinEditPopupType, kADMTextEditPopupType}) {
        SCOPED_TRACE(type);
        const ADMItemRef popup = g_admItem->Create(dialog, 70, type, &bounds, nullptr, nullptr, 0);
        ASSERT_NE(popup, nullptr);
        const ADMItemRef edit = g_admItem->GetChildItem(popup, kADMCompoundEditChildID);
        ASSERT_NE(edit, nullptr);
        BaseADMItem* wrapper =
            type == kADMSpinEditPopupType
                ? static_cast<BaseADMItem*>(new BaseADMSpinEditPopupItem(popup, 1))
                : new BaseADMEditTextPopupItem(popup, 1);
        EXPECT_EQ(g_admItem->GetUserData(popup), wrapper);
        EXPECT_EQ(g_admItem->GetUserData(edit), wrapper);
        // The host destroys the popup: the wrapper goes, and the edit part,
        // destroyed after it, no longer points at it.
        g_admItem->Destroy(popup);
        EXPECT_EQ(g_admDialog->GetItem(dialog, 70), nullptr);
    }
    EXPECT_TRUE(Problems().empty()) << Problems().front();
}

}  // namespace
