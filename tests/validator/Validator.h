// The validator: the real module, loaded through PluginMain by the simulated host with
// its dialogs, preferences and font list, and a font manager that answers from scripted
// tables, driven through what a host must never do but might. Every case says what the
// host sees and checks it; every case ends with the plug-in shut down and nothing of
// it left (blocks, suites, host strings, access references, COM references, BSTRs).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeGlyvorServer.h"
#include "host/adm/adm_objects.h"
#include "host/adm/host_dialogs.h"
#include "host/fontlist/font_list.h"
#include "host/fontsuite/font_suite.h"
#include "host/host.h"
#include "host/prefs/preference_store.h"

using Strings = std::vector<std::string>;

// Every caller and selector the plug-in routes, and one of each it does not know.
struct MessageName {
    const char* caller;
    const char* selector;
};
const std::vector<MessageName>& EveryMessage();

class Validator : public FakeGlyvorServerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up and "AI Application Started Notifier", as at launch: the panel exists.
    void Launch();
    // One message as the host sends it, with a zeroed record of the right kind.
    ASErr Send(const char* caller, const char* selector, void* detail = nullptr);
    ASErr Notify(const char* type);
    // The fonts a document uses, none of which the machine has; the host announces it.
    void OpenDocument(const Strings& fonts, const std::string& name = "doc.pdf");
    // The font manager offers `name` under the identifier "id-NAME" and loads it.
    void Offer(const std::string& name);

    ADMDialogRef Panel() const;
    Strings Rows(ASInt32 listID) const;
    std::string Status() const;
    void Press(const std::string& button);
    void SelectAvailable(const std::vector<int>& rows);
    Strings Alerts();  // since the last call

    // Problems the host found since the set-up, but those the case expects.
    Strings Problems(const Strings& expected = {}) const;
    // What a row of a list leads to that the plug-in does not hold.
    Strings DanglingRows() const;

    std::unique_ptr<host::Host> m_host;
    std::unique_ptr<host::adm::HostDialogs> m_dialogs;
    std::unique_ptr<host::prefs::PreferenceStore> m_preferences;
    std::unique_ptr<host::FontList> m_fonts;
    std::unique_ptr<host::fontsuite::FontSuiteService> m_fontService;
    host::LoadedPlugin* m_plugin = nullptr;
    FakeGlyvor* m_glyvor = nullptr;
    // Problems a case caused on purpose (the host's own misuse), so that TearDown
    // does not count them.
    Strings m_expectedProblems;

private:
    std::size_t m_alertsSeen = 0;
};
