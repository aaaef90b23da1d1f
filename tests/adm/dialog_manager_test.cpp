#include "host/adm/dialog_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/adm/adm_suites.h"
#include "template_builder.h"

namespace {

using host::adm::ActionError;
using host::adm::DialogManager;

SPPluginRef const kPlugin = reinterpret_cast<SPPluginRef>(0x1000);
constexpr ASInt32 kDialogID = 16000;

// What the procedures below saw, in order.
std::vector<std::string> g_log;
ASErr g_initResult = kNoErr;
ASBoolean g_trackAnswer = true;

const ADMDialogSuite10& Dlg() { return host::adm::DialogSuite(); }
const ADMItemSuite7& Itm() { return host::adm::ItemSuite(); }
const ADMNotifierSuite2& Ntf() { return host::adm::NotifierSuite(); }

void HOSTAPI DrawProc(ADMDialogRef, ADMDrawerRef) { g_log.push_back("draw"); }
ASBoolean HOSTAPI TrackProc(ADMDialogRef, ADMTrackerRef) {
    g_log.push_back("track");
    return true;
}
void HOSTAPI NotifyProc(ADMDialogRef dialog, ADMNotifierRef n) {
    char type[64];
    Ntf().GetNotifierType(n, type, sizeof type);
    ADMItemRef item = Ntf().GetItem(n);
    g_log.push_back(std::string("notify ") + type + " " +
                    std::to_string(item ? Itm().GetID(item) : -1));
    EXPECT_EQ(Ntf().GetDialog(n), dialog);
}
void HOSTAPI DestroyProc(ADMDialogRef dialog) {
    g_log.push_back("destroy " + std::string(static_cast<const char*>(Dlg().GetUserData(dialog))));
    // The item is still there while the dialog's procedure runs.
    EXPECT_NE(Dlg().GetItem(dialog, 11), nullptr);
    // As a wrapper's destructor does: ask again for the destruction.
    Dlg().Destroy(dialog);
}
ASErr HOSTAPI InitProc(ADMDialogRef dialog) {
    g_log.push_back("init");
    Dlg().SetDrawProc(dialog, DrawProc);
    Dlg().SetTrackProc(dialog, TrackProc);
    Dlg().SetNotifyProc(dialog, NotifyProc);
    Dlg().SetDestroyProc(dialog, DestroyProc);
    return g_initResult;
}
ASErr HOSTAPI InitDestroysItself(ADMDialogRef dialog) {
    Dlg().Destroy(dialog);
    return kNoErr;
}
void HOSTAPI ItemNotifyProc(ADMItemRef item, ADMNotifierRef n) {
    g_log.push_back("item notify " + std::to_string(Itm().GetID(item)));
    Itm().DefaultNotify(item, n);
}
ASBoolean HOSTAPI ItemTrackProc(ADMItemRef item, ADMTrackerRef) {
    g_log.push_back("item track " + std::to_string(Itm().GetID(item)));
    return g_trackAnswer;
}
void HOSTAPI ItemDestroyProc(ADMItemRef item) {
    g_log.push_back("item destroy " + std::to_string(Itm().GetID(item)));
    Itm().Destroy(item);
}

void HOSTAPI NotifyDestroysDialog(ADMDialogRef dialog, ADMNotifierRef) {
    g_log.push_back("notify destroys");
    Dlg().Destroy(dialog);
}
void HOSTAPI ItemDraw(ADMItemRef item, ADMDrawerRef drawer) {
    g_log.push_back("item draw " + std::to_string(Itm().GetID(item)));
    ADMRect r;
    host::adm::DrawerSuite().GetBoundsRect(drawer, &r);
    ADMRect own;
    Itm().GetBoundsRect(item, &own);
    EXPECT_EQ(r.left, own.left);
    EXPECT_EQ(r.bottom, own.bottom);
}
void HOSTAPI DrawCallsDefault(ADMDialogRef dialog, ADMDrawerRef drawer) {
    g_log.push_back("draw");
    Dlg().DefaultDraw(dialog, drawer);
}
ASErr g_itemInitResult = kNoErr;
ASErr HOSTAPI ItemInit(ADMItemRef item) {
    g_log.push_back("item init " + std::to_string(Itm().GetID(item)) + " " +
                    static_cast<const char*>(Itm().GetUserData(item)));
    Itm().SetDestroyProc(item, ItemDestroyProc);
    return g_itemInitResult;
}

void HOSTAPI ItemDestroyKillsDialog(ADMItemRef item) {
    g_log.push_back("item destroy " + std::to_string(Itm().GetID(item)) + " kills its dialog");
    Dlg().Destroy(Itm().GetDialog(item));
}

char g_name[] = "panel";

class DialogManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        g_initResult = kNoErr;
        g_trackAnswer = true;
        env.Add(kPlugin, host::adm::ResourceType::Number(5), kDialogID,
                adm_test::SmallPanelTemplate());
    }
    ADMDialogRef Create(ADMDialogInitProc init = InitProc) {
        return Dlg().Create(kPlugin, "Test Panel", kDialogID, kADMTabbedFloatingDialogStyle, init,
                            g_name, 0);
    }
    adm_test::ResourceEnvironment env;
    DialogManager manager{env};
};

TEST_F(DialogManagerTest, CreateBuildsItemsFromTheTemplateAndRunsInit) {
    ADMDialogRef d = Create();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"init", "draw"}));
    EXPECT_EQ(Dlg().GetPluginRef(d), kPlugin);
    EXPECT_STREQ(Dlg().GetDialogName(d), "Test Panel");
    EXPECT_EQ(Dlg().GetUserData(d), g_name);
    EXPECT_TRUE(Dlg().IsVisible(d));
    ADMRect r;
    Dlg().GetBoundsRect(d, &r);
    EXPECT_EQ(r.right - r.left, 120 * 6 / 4);
    EXPECT_EQ(r.bottom - r.top, 100 * 13 / 8);

    struct Expect {
        ASInt32 id;
        const char* type;
        const char* text;
        bool hasList;
    };
    const Expect items[] = {{8, kADMTextStaticType, "Caption:", false},
                            {18, kADMListBoxType, "Custom1", true},
                            {11, kADMTextPushButtonType, "Refresh", false},
                            {19, kADMTextPushButtonType, "Find", false},
                            {21, kADMTextStaticType, "", false}};
    for (const Expect& e : items) {
        ADMItemRef item = Dlg().GetItem(d, e.id);
        ASSERT_NE(item, nullptr) << e.id;
        EXPECT_STREQ(Itm().GetItemType(item), e.type);
        char text[64];
        Itm().GetText(item, text, sizeof text);
        EXPECT_STREQ(text, e.text);
        EXPECT_EQ(Itm().GetList(item) != nullptr, e.hasList) << e.id;
        EXPECT_EQ(Itm().GetDialog(item), d);
        EXPECT_TRUE(Itm().IsEnabled(item));
    }
    ADMRect b;
    Itm().GetBoundsRect(Dlg().GetItem(d, 19), &b);
    EXPECT_EQ(b.left, 75);
    EXPECT_EQ(b.top, 97);
    EXPECT_EQ(b.right, 135);
    EXPECT_EQ(b.bottom, 118);
    // Every call into the plug-in was made on the plug-in's behalf.
    EXPECT_GT(env.calls, 0);
    EXPECT_TRUE(env.current.empty());
}

TEST_F(DialogManagerTest, UnknownItemIDsFindNothing) {
    ADMDialogRef d = Create();
    for (ASInt32 id : {0, 1, 7, 9, 17, 22, 16000, -1})
        EXPECT_EQ(Dlg().GetItem(d, id), nullptr) << id;
}

TEST_F(DialogManagerTest, FailingInitFailsTheCreationAndDestroysTheDialog) {
    g_initResult = kBadParameterErr;
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"init", "destroy panel"}));
    EXPECT_TRUE(manager.Dialogs().empty());
}

TEST_F(DialogManagerTest, InitThatDestroysItsDialogYieldsNull) {
    EXPECT_EQ(Create(InitDestroysItself), nullptr);
    EXPECT_TRUE(manager.Dialogs().empty());
}

TEST_F(DialogManagerTest, MissingOrBadResourceFailsTheCreation) {
    EXPECT_EQ(Dlg().Create(kPlugin, "x", 4711, 3, InitProc, nullptr, 0), nullptr);
    auto bad = adm_test::SmallPanelTemplate();
    bad.resize(bad.size() / 2);
    env.Add(kPlugin, host::adm::ResourceType::Number(5), 4712, bad);
    EXPECT_EQ(Dlg().Create(kPlugin, "x", 4712, 3, InitProc, nullptr, 0), nullptr);
    // Another plug-in's resources are not this one's.
    EXPECT_EQ(Dlg().Create(reinterpret_cast<SPPluginRef>(0x2000), "x", kDialogID, 3, InitProc,
                           nullptr, 0),
              nullptr);
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(manager.Problems().size(), 3u);
}

TEST_F(DialogManagerTest, DestroyCallsTheProcedureOnceAndToleratesTheRepeatedRequest) {
    ADMDialogRef d = Create();
    ADMItemRef button = Dlg().GetItem(d, 11);
    Itm().SetDestroyProc(button, ItemDestroyProc);
    g_log.clear();
    Dlg().Destroy(d);
    EXPECT_EQ(g_log, (std::vector<std::string>{"destroy panel", "item destroy 11"}));
    EXPECT_TRUE(manager.Dialogs().empty());
    // The repeated requests from inside the procedures were tolerated.
    EXPECT_EQ(manager.Notes().size(), 2u);
    EXPECT_TRUE(manager.Problems().empty());
    // A stale reference is ignored too.
    Dlg().Destroy(d);
    EXPECT_EQ(Dlg().GetItem(d, 11), nullptr);
    EXPECT_EQ(g_log.size(), 2u);
}

TEST_F(DialogManagerTest, HostTeardownDestroysEveryDialog) {
    Create();
    Create();
    g_log.clear();
    manager.DestroyDialogsOf(kPlugin);
    EXPECT_EQ(g_log, (std::vector<std::string>{"destroy panel", "destroy panel"}));
}

TEST_F(DialogManagerTest, ButtonPressNotifiesTheDialogUnlessTheItemHasItsOwnProcedure) {
    ADMDialogRef d = Create();
    g_log.clear();
    manager.PressButton(d, 11);
    manager.PressButton(d, "Find");
    EXPECT_EQ(g_log, (std::vector<std::string>{"notify ADM User Changed Notifier 11",
                                               "notify ADM User Changed Notifier 19"}));
    g_log.clear();
    Itm().SetNotifyProc(Dlg().GetItem(d, 19), ItemNotifyProc);
    manager.PressButton(d, 19);
    // The item's procedure hands the change on with the default handling.
    EXPECT_EQ(g_log,
              (std::vector<std::string>{"item notify 19", "notify ADM User Changed Notifier 19"}));
}

TEST_F(DialogManagerTest, TrackDecidesWhetherAClickBecomesANotification) {
    ADMDialogRef d = Create();
    Itm().SetTrackProc(Dlg().GetItem(d, 11), ItemTrackProc);
    g_log.clear();
    g_trackAnswer = false;
    manager.PressButton(d, 11);
    EXPECT_EQ(g_log, (std::vector<std::string>{"item track 11"}));
    g_log.clear();
    g_trackAnswer = true;
    manager.PressButton(d, 11);
    EXPECT_EQ(g_log,
              (std::vector<std::string>{"item track 11", "notify ADM User Changed Notifier 11"}));
    g_log.clear();
    EXPECT_TRUE(manager.ClickDialog(d));
    EXPECT_EQ(g_log, (std::vector<std::string>{"track"}));
}

TEST_F(DialogManagerTest, ImpossibleUserActionsAreClearErrors) {
    ADMDialogRef d = Create();
    Itm().Enable(Dlg().GetItem(d, 19), false);
    g_log.clear();
    EXPECT_THROW(manager.PressButton(d, 19), ActionError);  // disabled
    EXPECT_THROW(manager.PressButton(d, 99), ActionError);  // no such item
    EXPECT_THROW(manager.PressButton(d, 8), ActionError);   // not a button
    EXPECT_THROW(manager.PressButton(d, "Nope"), ActionError);
    EXPECT_THROW(manager.SelectRows(d, 18, {0}), ActionError);  // no rows yet
    EXPECT_THROW(manager.SelectRows(d, 11, {}), ActionError);   // not a list
    EXPECT_THROW(manager.PressButton(nullptr, 11), ActionError);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(DialogManagerTest, ShowHideAndDrawing) {
    ADMDialogRef d = Create();
    g_log.clear();
    Dlg().Show(d, true);  // already visible: nothing to draw
    EXPECT_TRUE(g_log.empty());
    Dlg().Show(d, false);
    EXPECT_FALSE(Dlg().IsVisible(d));
    Dlg().Show(d, true);
    EXPECT_EQ(g_log, (std::vector<std::string>{"draw"}));
}

TEST_F(DialogManagerTest, ClosingThePaletteHidesItAndKeepsIt) {
    ADMDialogRef d = Create();
    g_log.clear();
    manager.ClosePalette(d);
    EXPECT_EQ(g_log, (std::vector<std::string>{"notify ADM Close Hit Notifier -1"}));
    EXPECT_FALSE(Dlg().IsVisible(d));
    EXPECT_EQ(manager.Dialogs().size(), 1u);
}

TEST_F(DialogManagerTest, ModalRunsInitScriptThenDestroy) {
    manager.SetModalScript([&](ADMDialogRef d) {
        g_log.push_back("run");
        manager.PressButton(d, 11);
        return ASInt32{11};
    });
    ASInt32 result =
        Dlg().Modal(kPlugin, "M", kDialogID, kADMModalDialogStyle, InitProc, g_name, 0);
    EXPECT_EQ(result, 11);
    EXPECT_EQ(g_log,
              (std::vector<std::string>{"init", "draw", "run",
                                        "notify ADM User Changed Notifier 11", "destroy panel"}));
    EXPECT_TRUE(manager.Dialogs().empty());
    g_log.clear();
    manager.SetModalScript(nullptr);
    EXPECT_EQ(Dlg().PopupModal(kPlugin, "P", kDialogID, InitProc, g_name, 0), -1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"init", "draw", "destroy panel"}));
}

TEST_F(DialogManagerTest, UserDataProceduresAndTextRoundTrip) {
    ADMDialogRef d = Create();
    int marker = 0;
    Dlg().SetUserData(d, &marker);
    EXPECT_EQ(Dlg().GetUserData(d), &marker);
    EXPECT_EQ(Dlg().GetNotifyProc(d), NotifyProc);
    Dlg().SetNotifyProc(d, nullptr);
    EXPECT_EQ(Dlg().GetNotifyProc(d), nullptr);
    ADMItemRef status = Dlg().GetItem(d, 21);
    Itm().SetText(status, "3 missing font(s) in opened documents");
    char small[8];
    Itm().GetText(status, small, sizeof small);
    EXPECT_STREQ(small, "3 missi");  // truncated and terminated inside the buffer
    EXPECT_EQ(Itm().GetTextLength(status), 37);
    Itm().SetUserData(status, &marker);
    EXPECT_EQ(Itm().GetUserData(status), &marker);
    Dlg().SetUserData(d, g_name);  // the destroy procedure reads it at teardown
}

TEST_F(DialogManagerTest, ItemSuiteCreatesCompoundItemsWithChildThree) {
    ADMDialogRef d = Create();
    ADMRect r{0, 0, 50, 20};
    ADMItemRef spin = Itm().Create(d, 40, kADMSpinEditPopupType, &r, nullptr, g_name, 0);
    ASSERT_NE(spin, nullptr);
    ADMItemRef child = Itm().GetChildItem(spin, kADMCompoundEditChildID);
    ASSERT_NE(child, nullptr);
    EXPECT_STREQ(Itm().GetItemType(child), kADMTextEditType);
    EXPECT_EQ(Itm().GetChildItem(spin, 1), nullptr);
    EXPECT_EQ(Itm().GetChildItem(Dlg().GetItem(d, 11), 3), nullptr);
    EXPECT_EQ(Dlg().GetItem(d, 40), spin);
    EXPECT_EQ(Itm().Create(d, 41, "No Such Type", &r, nullptr, nullptr, 0), nullptr);
    Itm().SetDestroyProc(child, ItemDestroyProc);
    g_log.clear();
    Itm().Destroy(spin);
    EXPECT_EQ(g_log, (std::vector<std::string>{"item destroy 3"}));
    EXPECT_EQ(Dlg().GetItem(d, 40), nullptr);
}

TEST_F(DialogManagerTest, ItemCreationRunsItsInitAndAFailingInitUndoesIt) {
    ADMDialogRef d = Create();
    ADMRect r{10, 10, 60, 30};
    g_log.clear();
    ADMItemRef made = Itm().Create(d, 50, kADMTextPushButtonType, &r, ItemInit, g_name, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"item init 50 panel"}));
    EXPECT_EQ(Dlg().GetItem(d, 50), made);
    g_log.clear();
    g_itemInitResult = kBadParameterErr;
    EXPECT_EQ(Itm().Create(d, 51, kADMTextPushButtonType, &r, ItemInit, g_name, 0), nullptr);
    g_itemInitResult = kNoErr;
    EXPECT_EQ(g_log, (std::vector<std::string>{"item init 51 panel", "item destroy 51"}));
    EXPECT_EQ(Dlg().GetItem(d, 51), nullptr);
    EXPECT_EQ(Itm().Create(d, 52, kADMTextPushButtonType, nullptr, nullptr, nullptr, 0), nullptr);
}

TEST_F(DialogManagerTest, DefaultDrawingDrawsTheItemsWithTheirOwnProcedures) {
    ADMDialogRef d = Create();
    Dlg().SetDrawProc(d, DrawCallsDefault);
    Itm().SetDrawProc(Dlg().GetItem(d, 19), ItemDraw);
    Itm().SetDrawProc(Dlg().GetItem(d, 11), ItemDraw);
    Itm().Show(Dlg().GetItem(d, 11), false);  // hidden items are not drawn
    Dlg().Show(d, false);
    g_log.clear();
    Dlg().Show(d, true);
    EXPECT_EQ(g_log, (std::vector<std::string>{"draw", "item draw 19"}));
}

TEST_F(DialogManagerTest, ANotifyProcedureMayDestroyItsOwnDialog) {
    ADMDialogRef d = Create();
    Dlg().SetNotifyProc(d, NotifyDestroysDialog);
    g_log.clear();
    manager.PressButton(d, 11);
    EXPECT_EQ(g_log, (std::vector<std::string>{"notify destroys", "destroy panel"}));
    EXPECT_TRUE(manager.Dialogs().empty());
    EXPECT_THROW(manager.PressButton(d, 11), ActionError);

    ADMDialogRef again = Create();
    Dlg().SetNotifyProc(again, NotifyDestroysDialog);
    manager.ClosePalette(again);
    EXPECT_TRUE(manager.Dialogs().empty());
}

TEST_F(DialogManagerTest, AnItemsDestroyProcedureMayDestroyItsDialog) {
    ADMDialogRef d = Create();
    ADMItemRef button = Dlg().GetItem(d, 11);
    Itm().SetDestroyProc(button, ItemDestroyKillsDialog);
    Itm().SetDestroyProc(Dlg().GetItem(d, 19), ItemDestroyProc);
    g_log.clear();
    Itm().Destroy(button);
    EXPECT_EQ(g_log, (std::vector<std::string>{"item destroy 11 kills its dialog", "destroy panel",
                                               "item destroy 19"}));
    EXPECT_TRUE(manager.Dialogs().empty());
    EXPECT_EQ(Dlg().GetItem(d, 19), nullptr);
}

TEST_F(DialogManagerTest, DefaultConversionsBetweenTextAndNumbers) {
    ADMDialogRef d = Create();
    ADMItemRef item = Dlg().GetItem(d, 21);
    float v = 0;
    EXPECT_TRUE(Itm().DefaultTextToFloat(item, "2.5", &v));
    EXPECT_FLOAT_EQ(v, 2.5f);
    EXPECT_FALSE(Itm().DefaultTextToFloat(item, "2.5cm", &v));
    EXPECT_FALSE(Itm().DefaultTextToFloat(item, "", &v));
    char text[16];
    EXPECT_TRUE(Itm().DefaultFloatToText(item, 12.25f, text, sizeof text));
    EXPECT_STREQ(text, "12.25");
    EXPECT_FALSE(Itm().DefaultFloatToText(item, 12.25f, text, 3));
}

TEST_F(DialogManagerTest, DialogGroupInfoDefaultsToFloatingAndKeepsWhatTestsSet) {
    ADMDialogRef d = Create();
    const auto& group = host::adm::DialogGroupSuite();
    const char* name = nullptr;
    ASInt32 code = -1;
    ASSERT_EQ(group.GetDialogGroupInfo(d, &name, &code), kNoErr);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(code, kADMFloatingPositionCode);
    struct Case {
        const char* group;
        ASInt32 code;
    };
    for (Case c : {Case{"Type", kADMDockedPositionCode}, Case{"Type", kADMTabbedPositionCode},
                   Case{"", kADMFloatingPositionCode}}) {
        ASSERT_EQ(group.SetDialogGroupInfo(d, c.group, c.code), kNoErr);
        ASSERT_EQ(group.GetDialogGroupInfo(d, &name, &code), kNoErr);
        EXPECT_STREQ(name, c.group);
        EXPECT_EQ(code, c.code);
    }
    Dlg().Destroy(d);
    EXPECT_EQ(group.GetDialogGroupInfo(d, &name, &code), kBadParameterErr);
}

TEST_F(DialogManagerTest, RenderShowsItemsRowsAndStatus) {
    ADMDialogRef d = Create();
    const auto& lst = host::adm::ListSuite();
    const auto& ent = host::adm::EntrySuite();
    ADMListRef list = Itm().GetList(Dlg().GetItem(d, 18));
    ent.SetText(lst.InsertEntry(list, 0), "* Beta");
    ent.SetText(lst.InsertEntry(list, 0), "* Alpha");
    Itm().Enable(Dlg().GetItem(d, 19), false);
    Itm().SetText(Dlg().GetItem(d, 21), "2 missing font(s) in opened documents");
    manager.SelectRows(d, 18, {1});
    EXPECT_EQ(manager.Render(d),
              "dialog \"Test Panel\" 16000 visible\n"
              "  static 8 \"Caption:\" enabled\n"
              "  list 18 enabled\n"
              "    [ ] \"* Alpha\"\n"
              "    [x] \"* Beta\" active\n"
              "  button 11 \"Refresh\" enabled\n"
              "  button 19 \"Find\" disabled\n"
              "  static 21 \"2 missing font(s) in opened documents\" enabled\n"
              "status \"2 missing font(s) in opened documents\"\n");
}

}  // namespace
