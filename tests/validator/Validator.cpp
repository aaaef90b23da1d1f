#include "Validator.h"

#include <algorithm>
#include <filesystem>

#include "fonts/FontItem.h"
#include "hostapi/messages.h"
#include "platform/emu/control.h"
#include "resources/PanelResourceIDs.h"

namespace fs = std::filesystem;

const std::vector<MessageName>& EveryMessage() {
    static const std::vector<MessageName> all = {
        {kSPAccessCaller, kSPAccessUnloadSelector},
        {kSPAccessCaller, kSPAccessReloadSelector},
        {kSPAccessCaller, "Frobnicate"},
        {kSPInterfaceCaller, kSPInterfaceAboutSelector},
        {kSPInterfaceCaller, kSPInterfaceStartupSelector},
        {kSPInterfaceCaller, kSPInterfaceShutdownSelector},
        {kSPInterfaceCaller, "Frobnicate"},
        {kSPCacheCaller, kSPPluginPurgeCachesSelector},
        {kSPPropertiesCaller, kSPPropertiesAcquireSelector},
        {kSPPropertiesCaller, kSPPropertiesReleaseSelector},
        {kAINotifierCaller, kAINotifySelector},
        {kAINotifierCaller, "Frobnicate"},
        {kActionCaller, kDoActionSelector},
        {kAIMenuCaller, kAIGoSelector},
        {kAIMenuCaller, kAIUpdateSelector},
        {kAIFilterCaller, kAIGetParametersSelector},
        {kAIFilterCaller, kAIGoSelector},
        {kAIPluginGroupCaller, kAINotifyEditsSelector},
        {kAIPluginGroupCaller, kAIUpdateSelector},
        {kAIFileFormatCaller, kAIGetParametersSelector},
        {kAIFileFormatCaller, kAIGoSelector},
        {kAIFileFormatCaller, kAICheckSelector},
        {kAIFileFormatCaller, kAIUpdateAI140Selector},
        {kAIFileFormatCaller, kDoActionSelector},
        {kAIToolCaller, kAIEditOptionsSelector},
        {kAIToolCaller, kAITrackCursorSelector},
        {kAIToolCaller, kAIMouseDownSelector},
        {kAIToolCaller, kAIMouseDragSelector},
        {kAIToolCaller, kAIMouseUpSelector},
        {kAIToolCaller, kAISelectSelector},
        {kAIToolCaller, kAIDeselectSelector},
        {kAIToolCaller, kAIReselectSelector},
        {kAIToolCaller, kAIDecreaseDiameterSelector},
        {kAIToolCaller, kAIIncreaseDiameterSelector},
        {kAILiveEffectCaller, kAILiveEffectEditParametersSelector},
        {kAILiveEffectCaller, kAILiveEffectGoLiveSelector},
        {kAILiveEffectCaller, kAILiveEffectInterpolateSelector},
        {kAILiveEffectCaller, kAILiveEffectInputTypeSelector},
        {kAILiveEffectCaller, kAILiveEffectScaleParametersSelector},
        {kAILiveEffectCaller, kAILiveEffectConvertColorSpaceSelector},
        {kAILiveEffectCaller, kAILiveEffectAdjustColorsSelector},
        {kAILiveEffectCaller, kAILiveEffectHandleMergeSelector},
        {kAITimerCaller, kAIGoSelector},
        {kAIClipboardCaller, kAIGoSelector},
        {kAIClipboardCaller, kAIClipboardCanCopySelector},
        {kAIClipboardCaller, kAIClipboardCloneSelector},
        {kAIClipboardCaller, kAIClipboardDisposeSelector},
        {kWorkspaceCaller, kWorkspaceWriteSelector},
        {kWorkspaceCaller, kWorkspaceRestoreSelector},
        {kWorkspaceCaller, kWorkspaceDefaultSelector},
        {kWorkspaceCaller, "Write Workspace"},
        {"Frobnicate Caller", "Frobnicate"},
        {"", ""},
    };
    return all;
}

void Validator::SetUp() {
    FakeGlyvorServerTest::SetUp();
    fs::create_directories(Machine() + "/Fonts");
    // A case may tear down and set up again: the new host's alerts start from none.
    m_alertsSeen = 0;
    m_host = std::make_unique<host::Host>();
    m_host->SetMachineFolder(Machine());
    m_dialogs = std::make_unique<host::adm::HostDialogs>(*m_host);
    m_preferences = std::make_unique<host::prefs::PreferenceStore>(Machine());
    host::prefs::RegisterPreferenceSuite(m_host->Suites());
    m_fonts = std::make_unique<host::FontList>(Machine());
    m_fontService = std::make_unique<host::fontsuite::FontSuiteService>(*m_fonts);
    host::fontsuite::FontSuiteService::Register(m_host->Suites());
    m_plugin = m_host->LoadModule(LUMARO_MODULE_PATH);
    ASSERT_NE(m_plugin, nullptr);
    m_glyvor = StartRunningInstance();
}

void Validator::TearDown() {
    m_host->Faults().SetCallHook(nullptr);
    m_host->Faults().Clear();
    const host::PluginState state =
        m_plugin != nullptr ? m_plugin->State() : host::PluginState::ShutDown;
    if (state == host::PluginState::Started || state == host::PluginState::Unloaded)
        m_host->Shutdown(*m_plugin);
    if (m_plugin != nullptr) {
        EXPECT_EQ(m_plugin->Globals(), nullptr) << "the plug-in object outlived shutdown";
        EXPECT_EQ(m_host->Memory().Stats(m_plugin).blocksOutstanding, 0u);
        EXPECT_TRUE(m_host->HeldSuites(m_plugin).empty());
        EXPECT_EQ(m_host->Strings().LiveCount(m_plugin), 0u);
        EXPECT_EQ(m_host->AccessCount(m_plugin), 0);
    }
    // The host's dialogs go before the host looks back: a dialog the plug-in left
    // behind would call its code from here.
    m_dialogs.reset();
    for (const std::string& p : Problems(m_expectedProblems)) ADD_FAILURE() << p;
    m_fontService.reset();
    m_fonts.reset();
    m_host.reset();
    m_preferences.reset();
    FakeGlyvorServerTest::TearDown();
}

void Validator::Launch() {
    ASSERT_TRUE(m_host->StartAll());
    ASSERT_NE(Panel(), nullptr);
}

ASErr Validator::Send(const char* caller, const char* selector, void* detail) {
    // Big enough for every record the plug-in reads, zeroed.
    union Record {
        SPMessageData basic;
        AINotifierMessage notifier;
        AIMenuMessage menu;
    } record{};
    if (std::string(caller) == kAINotifierCaller)
        record.notifier.type = static_cast<const char*>(detail);
    return m_host->Send(*m_plugin, caller, selector, record.basic);
}

ASErr Validator::Notify(const char* type) {
    return m_host->FireNotifier(type) > 0 ? kNoErr : kNotFoundErr;
}

void Validator::OpenDocument(const Strings& fonts, const std::string& name) {
    m_fonts->SetDocumentFonts(Machine() + "/" + name, fonts);
    m_host->FireNotifier(kAIDocumentOpenedNotifier);
}

void Validator::Offer(const std::string& name) {
    const std::u16string units(name.begin(), name.end());
    m_glyvor->matches[units] = {u"id-" + units, u"detail"};
    m_glyvor->loads[u"id-" + units] = {true, u""};
}

ADMDialogRef Validator::Panel() const { return m_dialogs->Manager().FindDialog("Lumaro Panel"); }

Strings Validator::Rows(ASInt32 listID) const {
    Strings rows;
    ADMDialogRef panel = Panel();
    if (panel == nullptr) return rows;
    for (const auto& item : panel->items)
        if (item->id == listID && item->list)
            for (const auto& entry : item->list->entries) rows.push_back(entry->text);
    return rows;
}

std::string Validator::Status() const {
    ADMDialogRef panel = Panel();
    if (panel == nullptr) return "(no panel)";
    for (const auto& item : panel->items)
        if (item->id == kStatusText) return item->text;
    return "(no status)";
}

void Validator::Press(const std::string& button) {
    m_dialogs->Manager().PressButton(Panel(), button);
}

void Validator::SelectAvailable(const std::vector<int>& rows) {
    m_dialogs->Manager().SelectRows(Panel(), kAvailableList, rows);
}

Strings Validator::Alerts() {
    Strings texts;
    const auto alerts = m_host->Events().OfKind(host::EventKind::Alert);
    for (; m_alertsSeen < alerts.size(); ++m_alertsSeen)
        texts.push_back(alerts[m_alertsSeen].detail);
    return texts;
}

Strings Validator::Problems(const Strings& expected) const {
    Strings problems;
    for (const host::Event& e : m_host->Events().OfKind(host::EventKind::Problem)) {
        const std::string text = e.subject + (e.detail.empty() ? "" : ": " + e.detail);
        const bool known = std::any_of(expected.begin(), expected.end(), [&](const std::string& x) {
            return text.find(x) != std::string::npos;
        });
        if (!known) problems.push_back(text);
    }
    return problems;
}

// A row leads to its own record: a live block (a freed one the host handed out again
// would pass for one) holding the font the row shows.
Strings Validator::DanglingRows() const {
    Strings dangling;
    const auto shows = [](ASInt32 list, const std::string& text, void* record) {
        if (list == kMissingList)
            return std::string_view(text) ==
                   "* " + static_cast<const CFontItem*>(record)->m_strName;
        const RecordWString& name = static_cast<const CFontItemAvailable*>(record)->m_wstrName;
        return std::any_of(name.begin(), name.end(), [](wchar_t c) { return c >= 0x80; }) ||
               text == std::string(name.begin(), name.end());
    };
    for (ADMDialogRef dialog : m_dialogs->Manager().Dialogs())
        for (const auto& item : dialog->items)
            if (item->list)
                for (const auto& entry : item->list->entries)
                    if (entry->userData != nullptr &&
                        (!m_host->Memory().Owns(entry->userData) ||
                         !shows(item->id, entry->text, entry->userData)))
                        dangling.push_back("list " + std::to_string(item->id) + " row \"" +
                                           entry->text + "\"");
    return dangling;
}
