#include "PanelHostTest.h"

#include <stdlib.h>

#include <filesystem>
#include <new>

#include "fonts/FontLists.h"
#include "frame/Suites.h"
#include "host/adm/adm_suites.h"
#include "resources/PanelResourceIDs.h"

namespace {

constexpr std::uint16_t kEnglishUS = 1033;

template <typename Suite>
const Suite* Find(host::Host& h, const char* name, ASInt32 version) {
    return static_cast<const Suite*>(h.Suites().Find(name, version));
}

}  // namespace

ModuleResourceEnvironment::ModuleResourceEnvironment()
    : m_resources(host::ReadModuleResourcesFromFile(LUMARO_MODULE_FILE)) {}

std::optional<std::vector<std::uint8_t>> ModuleResourceEnvironment::FindResource(
    SPPluginRef, const host::adm::ResourceType& type, std::int32_t id) {
    if (id < 0 || id > 0xFFFF) return std::nullopt;
    const host::ResourceId resourceType = type.name.empty() ? host::ResourceId::Ordinal(type.number)
                                                            : host::ResourceId::Name(type.name);
    const auto* bytes = m_resources.Find(resourceType, static_cast<std::uint16_t>(id), kEnglishUS);
    if (bytes == nullptr) return std::nullopt;
    return *bytes;
}

void PanelHostTest::SetUp() {
    FakeGlyvorServerTest::SetUp();
    EmuClearAssertions();
    EmuSetThreadCodePage(1252);
    m_host = std::make_unique<host::Host>();
    m_dialogs = std::make_unique<host::adm::DialogManager>(m_resources);
    char folder[] = "/tmp/lumaro-panel-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_preferenceFolder = folder;
    m_preferences = std::make_unique<host::prefs::PreferenceStore>(m_preferenceFolder);

    g_admDialog = &host::adm::DialogSuite();
    g_admItem = &host::adm::ItemSuite();
    g_admList = &host::adm::ListSuite();
    g_admEntry = &host::adm::EntrySuite();
    g_admNotifier = &host::adm::NotifierSuite();
    g_admIcon = &host::adm::IconSuite();
    g_admDialogGroup = &host::adm::DialogGroupSuite();
    g_aiPreference = &host::prefs::PreferenceSuite();
    g_admBasic = Find<ADMBasicSuite10>(*m_host, kADMBasicSuite, kADMBasicSuiteVersion10);
    g_aiUnicodeString =
        Find<AIUnicodeStringSuite6>(*m_host, kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion);
    // No font list here: the panel scans nothing (PanelScan gives it the host's).
    g_aiFont = nullptr;

    StartRunningInstance();
    // The plug-in object's memory comes from the host, as PluginMain arranges.
    g_spBasic = m_host->BasicSuite();
    m_pluginRef = reinterpret_cast<SPPluginRef>(&m_resources);
    m_plugin.reset(new (std::nothrow) PanelOwner(m_pluginRef));
    ASSERT_NE(m_plugin, nullptr);
    g_Plugin = m_plugin.get();
}

void PanelHostTest::TearDown() {
    DeletePanel();
    g_Plugin = nullptr;
    m_plugin.reset();
    g_spBasic = nullptr;
    EXPECT_TRUE(g_fontitems.empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    ClearFontItems(g_fontitems);
    ClearAvailableItems(g_fontitemsAvailable);
    m_dialogs->DestroyAll();
    if (!m_hostProblemsExpected) {
        for (const std::string& problem : m_dialogs->Problems()) ADD_FAILURE() << problem;
    }
    for (const std::string& note : m_dialogs->Notes()) ADD_FAILURE() << note;

    g_admDialog = nullptr;
    g_admItem = nullptr;
    g_admList = nullptr;
    g_admEntry = nullptr;
    g_admNotifier = nullptr;
    g_admIcon = nullptr;
    g_admDialogGroup = nullptr;
    g_aiPreference = nullptr;
    g_admBasic = nullptr;
    g_aiUnicodeString = nullptr;
    g_aiFont = nullptr;

    m_dialogs.reset();
    m_preferences.reset();
    m_host.reset();
    std::filesystem::remove_all(m_preferenceFolder);
    FakeGlyvorServerTest::TearDown();
}

ADMDialogRef PanelHostTest::CreatePanel(ASInt32 dialogID) {
    m_plugin->m_pDlgNonModal = new LumaroDialog;
    return m_plugin->m_pDlgNonModal->Create(m_pluginRef, "Lumaro Panel", dialogID,
                                            kADMTabbedFloatingDialogStyle, 0);
}

void PanelHostTest::DeletePanel() {
    delete m_plugin->m_pDlgNonModal;
    m_plugin->m_pDlgNonModal = nullptr;
}

ADMDialogRef PanelHostTest::Dialog() const {
    return Panel() != nullptr ? Panel()->GetDialogRef() : nullptr;
}

void PanelHostTest::SeedMissingFonts(const std::vector<std::string>& names) {
    ADMListRef list = g_admItem->GetList(g_admDialog->GetItem(Dialog(), kMissingList));
    for (const std::string& name : names) {
        auto* record = new CFontItem;
        record->m_bMissing = true;
        record->m_strName = name;
        g_fontitems.push_back(record);
        ADMEntryRef entry = g_admList->InsertEntry(list, g_admList->NumberOfEntries(list));
        g_admEntry->SetText(entry, ("* " + name).c_str());
        g_admEntry->SetUserData(entry, record);
    }
    Panel()->UpdateButtons();
}

void PanelHostTest::Offer(const std::string& name, const std::string& fontId) {
    FakeGlyvor* server = Server();
    ASSERT_NE(server, nullptr);
    server->matches[std::u16string(name.begin(), name.end())] = {
        std::u16string(fontId.begin(), fontId.end()), u"detail"};
}

void PanelHostTest::LoadResult(const std::string& fontId, bool succeeds) {
    FakeGlyvor* server = Server();
    ASSERT_NE(server, nullptr);
    server->loads[std::u16string(fontId.begin(), fontId.end())] = {succeeds, u"refused"};
}

void PanelHostTest::Press(ASInt32 itemID) { m_dialogs->PressButton(Dialog(), itemID); }

void PanelHostTest::SelectAvailable(const std::vector<int>& rows) {
    m_dialogs->SelectRows(Dialog(), kAvailableList, rows);
}

std::string PanelHostTest::Status() const {
    char text[512] = {};
    g_admItem->GetText(g_admDialog->GetItem(Dialog(), kStatusText), text, sizeof text);
    return text;
}

std::vector<std::string> PanelHostTest::Rows(ASInt32 listID) const {
    std::vector<std::string> rows;
    ADMListRef list = g_admItem->GetList(g_admDialog->GetItem(Dialog(), listID));
    for (ASInt32 i = 0; i < g_admList->NumberOfEntries(list); ++i) {
        char text[1100] = {};
        g_admEntry->GetText(g_admList->IndexEntry(list, i), text, sizeof text);
        rows.emplace_back(text);
    }
    return rows;
}

bool PanelHostTest::Enabled(ASInt32 itemID) const {
    return g_admItem->IsEnabled(g_admDialog->GetItem(Dialog(), itemID)) != 0;
}

std::string PanelHostTest::Buttons() const {
    std::string states;
    for (ASInt32 id :
         {kFindButton, kActivateAllButton, kInstallAllButton, kActivateButton, kInstallButton}) {
        if (!states.empty()) states += ' ';
        states += Enabled(id) ? '1' : '0';
    }
    return states;
}

std::vector<std::string> PanelHostTest::TakeAlerts() {
    std::vector<std::string> texts;
    const auto alerts = m_host->Events().OfKind(host::EventKind::Alert);
    for (std::size_t i = m_alertsSeen; i < alerts.size(); ++i) texts.push_back(alerts[i].detail);
    m_alertsSeen = alerts.size();
    return texts;
}
