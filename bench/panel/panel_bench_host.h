// The simulated host with the built Lumaro.aip loaded and started, its panel open,
// fonts fed straight into the host's font list and the stand-in font manager
// running in-process: what the panel benchmarks measure in, and what their
// baselines call directly.
#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/session/session.h"
#include "hostapi/adm_dialog.h"
#include "hostapi/adm_entry.h"
#include "hostapi/adm_item.h"
#include "hostapi/adm_list.h"
#include "hostapi/ai_font.h"
#include "hostapi/ai_unicode_string.h"
#include "platform/win32.h"

namespace bench {

// Everything the work needs of the host and the font manager, as plain tables and
// references, for the baselines.
struct HostCalls {
    const AIFontSuite4* font = nullptr;
    const AIUnicodeStringSuite6* strings = nullptr;
    const ADMDialogSuite10* dialog = nullptr;
    const ADMItemSuite7* item = nullptr;
    const ADMListSuite1* list = nullptr;
    const ADMEntrySuite2* entry = nullptr;
};

class PanelBenchHost {
public:
    // Starts the host with the plug-ins folder of this build: the plug-in is
    // started, the application-started notifier has created the panel.
    PanelBenchHost();
    ~PanelBenchHost();
    PanelBenchHost(const PanelBenchHost&) = delete;
    PanelBenchHost& operator=(const PanelBenchHost&) = delete;

    // The host's font list: `machineFonts` installed fonts, then `missing` fonts
    // that an open document uses and the machine lacks. Nothing is refreshed.
    void SetFonts(const std::vector<std::string>& machineFonts,
                  const std::vector<std::string>& missing);
    // The font manager's catalogue: one face for each name, matched by its full
    // name. The first `loadable` faces are files on the machine (links to one real
    // font file), so that they can be activated. The font manager is then running.
    void SetUpFontManager(const std::vector<std::string>& names, std::size_t loadable);
    // Forgets every activation (the machine's list of active fonts).
    void ForgetActivations();

    // The user's part: a button of the panel.
    void Press(int itemID);
    std::string Status() const;
    int Rows(int listItemID) const;

    host::session::Session& Session() { return *m_session; }
    host::LoadedPlugin& Plugin() const;
    HostCalls Calls() const;
    ADMDialogRef Panel() const;
    // The catalogue identifiers of the faces, in the order of the names given.
    const std::vector<std::string>& FontIds() const { return m_fontIds; }
    const std::string& Machine() const { return m_session->MachineFolder(); }

private:
    std::unique_ptr<std::ostream> m_discard;
    std::unique_ptr<host::session::Session> m_session;
    std::vector<std::string> m_fontIds;
};

// An IGlyvor reference found as the plug-in finds it (the running instance).
class GlyvorReference {
public:
    GlyvorReference();
    ~GlyvorReference();
    GlyvorReference(const GlyvorReference&) = delete;
    GlyvorReference& operator=(const GlyvorReference&) = delete;
    IDispatch* Get() const { return m_glyvor; }

private:
    IDispatch* m_glyvor = nullptr;
};

// BSTRs made once and freed at the end.
class BstrList {
public:
    explicit BstrList(const std::vector<std::string>& texts);
    ~BstrList();
    BstrList(const BstrList&) = delete;
    BstrList& operator=(const BstrList&) = delete;
    const std::vector<BSTR>& Get() const { return m_bstrs; }

private:
    std::vector<BSTR> m_bstrs;
};

}  // namespace bench
