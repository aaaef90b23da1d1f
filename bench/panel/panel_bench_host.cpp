#include "panel_bench_host.h"

#include <filesystem>
#include <stdexcept>
#include <streambuf>

#include "fontlist/font_list.h"
#include "glyvor/automation.h"
#include "glyvor/catalog.h"
#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "host/adm/dialog_manager.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

// A stream that drops what the session echoes.
class DiscardBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c == EOF ? 0 : c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

DiscardBuffer g_discardBuffer;

template <typename Suite>
const Suite* Find(host::Host& h, const char* name, ASInt32 version) {
    const auto* suite = static_cast<const Suite*>(h.Suites().Find(name, version));
    if (suite == nullptr) throw std::runtime_error(std::string("the host has no ") + name);
    return suite;
}

// A TrueType face of the system's, indexed as the font manager indexes it.
glyvor::FontEntry SeedFace(const std::string& folder) {
    for (const char* candidate :
         {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
          "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"}) {
        std::error_code ec;
        if (!fs::exists(candidate, ec)) continue;
        fs::create_directories(folder, ec);
        fs::copy_file(candidate, fs::path(folder) / "seed.ttf",
                      fs::copy_options::overwrite_existing, ec);
        glyvor::IndexResult result;
        std::string error;
        if (glyvor::IndexFolders({{"Seed", folder}}, &result, &error) &&
            !result.catalog.entries().empty()) {
            return result.catalog.entries().front();
        }
    }
    throw std::runtime_error("no system TrueType font to stand in for the library's files");
}

}  // namespace

PanelBenchHost::PanelBenchHost() : m_discard(std::make_unique<std::ostream>(&g_discardBuffer)) {
    host::session::SessionOptions options;
    options.pluginsFolder = LUMARO_BENCH_PLUGINS_DIR;
    options.echoCommands = false;
    m_session = std::make_unique<host::session::Session>(options, *m_discard);
    if (!m_session->Start() || Panel() == nullptr)
        throw std::runtime_error("the plug-in did not start with its panel");
}

PanelBenchHost::~PanelBenchHost() = default;

void PanelBenchHost::SetFonts(const std::vector<std::string>& machineFonts,
                              const std::vector<std::string>& missing) {
    std::vector<host::MachineFont> fonts;
    fonts.reserve(machineFonts.size());
    for (const std::string& name : machineFonts) {
        host::MachineFont font;
        font.face.path = Machine() + "/Fonts/" + name + ".otf";
        font.face.postScriptName = name;
        const auto dash = name.find('-');
        font.face.familyName = name.substr(0, dash);
        font.face.styleName = dash == std::string::npos ? "Regular" : name.substr(dash + 1);
        font.face.fullName = font.face.familyName + " " + font.face.styleName;
        font.face.nativeFamilyName = font.face.familyName;
        font.face.nativeFullName = font.face.fullName;
        font.face.technology = host::FontTechnology::Type1;
        font.face.openType = true;
        fonts.push_back(std::move(font));
    }
    host::FontList& list = m_session->Fonts();
    list.SetMachineFonts(std::move(fonts));
    list.SetDocumentFonts(Machine() + "/bench.eps", missing);
    if (list.MissingCount() != missing.size())
        throw std::runtime_error("the host does not list every missing font");
}

void PanelBenchHost::SetUpFontManager(const std::vector<std::string>& names, std::size_t loadable) {
    const std::string folder = Machine() + "/Library";
    const glyvor::FontEntry seed = SeedFace(Machine() + "/Seed");
    glyvor::Catalog catalog;
    catalog.AddGroup("Library", folder);
    m_fontIds.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        glyvor::FontEntry entry = seed;
        entry.group = 0;
        entry.relativePath = "face" + std::to_string(i) + ".ttf";
        entry.fullName = names[i];
        if (i < loadable) {
            std::error_code ec;
            fs::create_directories(folder, ec);
            const fs::path link = fs::path(folder) / entry.relativePath;
            fs::create_hard_link(Machine() + "/Seed/seed.ttf", link, ec);
            if (ec) fs::copy_file(Machine() + "/Seed/seed.ttf", link, ec);
            if (ec) throw std::runtime_error("cannot make " + link.string());
        }
        m_fontIds.push_back(catalog.IdentifierOf(entry));
        if (!catalog.AddEntry(std::move(entry)))
            throw std::runtime_error("the catalogue refused a face");
    }
    std::string error;
    if (!catalog.Save(glyvor::DefaultCatalogPath(Machine()), &error))
        throw std::runtime_error(error);
    // Registers the server for the machine's catalogue and starts it, as a user
    // would have it running.
    if (!m_session->Execute("glyvor running"))
        throw std::runtime_error("the font manager did not start");
}

void PanelBenchHost::ForgetActivations() {
    std::error_code ec;
    fs::remove(glyvor::ActiveFontsFile(Machine()), ec);
}

void PanelBenchHost::Press(int itemID) { m_session->Dialogs().PressButton(Panel(), itemID); }

std::string PanelBenchHost::Status() const {
    const HostCalls calls = Calls();
    char text[512] = {};
    calls.item->GetText(calls.dialog->GetItem(Panel(), 21), text, sizeof text);
    return text;
}

int PanelBenchHost::Rows(int listItemID) const {
    const HostCalls calls = Calls();
    return calls.list->NumberOfEntries(
        calls.item->GetList(calls.dialog->GetItem(Panel(), listItemID)));
}

host::LoadedPlugin& PanelBenchHost::Plugin() const {
    for (const auto& plugin : m_session->Host().Plugins()) {
        if (plugin->Path().find("Lumaro") != std::string::npos) return *plugin;
    }
    throw std::runtime_error("Lumaro is not loaded");
}

HostCalls PanelBenchHost::Calls() const {
    host::Host& h = m_session->Host();
    HostCalls calls;
    calls.font = Find<AIFontSuite4>(h, kAIFontSuite, kAIFontSuiteVersion);
    calls.strings =
        Find<AIUnicodeStringSuite6>(h, kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion);
    calls.dialog = Find<ADMDialogSuite10>(h, kADMDialogSuite, kADMDialogSuiteVersion);
    calls.item = Find<ADMItemSuite7>(h, kADMItemSuite, kADMItemSuiteVersion);
    calls.list = Find<ADMListSuite1>(h, kADMListSuite, kADMListSuiteVersion);
    calls.entry = Find<ADMEntrySuite2>(h, kADMEntrySuite, kADMEntrySuiteVersion);
    return calls;
}

ADMDialogRef PanelBenchHost::Panel() const { return m_session->Panel(); }

GlyvorReference::GlyvorReference() {
    CLSID clsid;
    IUnknown* running = nullptr;
    if (CLSIDFromProgID(OLESTR("Glyvor.Document"), &clsid) != S_OK ||
        FAILED(GetActiveObject(clsid, nullptr, &running)) || running == nullptr) {
        throw std::runtime_error("the font manager is not running");
    }
    const HRESULT hr =
        running->QueryInterface(glyvor::IID_IGlyvor, reinterpret_cast<void**>(&m_glyvor));
    running->Release();
    if (FAILED(hr) || m_glyvor == nullptr) throw std::runtime_error("no IGlyvor");
}

GlyvorReference::~GlyvorReference() {
    if (m_glyvor != nullptr) m_glyvor->Release();
}

BstrList::BstrList(const std::vector<std::string>& texts) {
    m_bstrs.reserve(texts.size());
    for (const std::string& text : texts) {
        // The names are ASCII: a unit per byte.
        const std::basic_string<OLECHAR> units(text.begin(), text.end());
        m_bstrs.push_back(SysAllocStringLen(units.data(), static_cast<UINT>(units.size())));
    }
}

BstrList::~BstrList() {
    for (BSTR bstr : m_bstrs) SysFreeString(bstr);
}

}  // namespace bench
