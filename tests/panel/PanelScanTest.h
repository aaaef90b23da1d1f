// The panel over the simulated host's font list: documents name the fonts the
// host then marks as missing, and the panel's scan reads them through the font suite.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PanelHostTest.h"
#include "fontlist/font_list.h"
#include "fonts/FontLists.h"
#include "fontsuite/font_suite.h"
#include "frame/Suites.h"

class PanelScan : public PanelHostTest {
protected:
    void SetUp() override {
        PanelHostTest::SetUp();
        m_machine = m_preferenceFolder + "/machine";
        std::filesystem::create_directories(m_machine + "/Fonts");
        m_fonts = std::make_unique<host::FontList>(m_machine);
        m_service = std::make_unique<host::fontsuite::FontSuiteService>(*m_fonts);
        g_aiFont = &host::fontsuite::FontSuite();
    }
    void TearDown() override {
        PanelHostTest::TearDown();
        m_service.reset();
        m_fonts.reset();
    }
    // One open document using these fonts, none of which the machine has.
    void OpenDocument(const std::vector<std::string>& fonts,
                      std::vector<host::DocumentFontTraits> traits = {}) {
        m_fonts->SetDocumentFonts(m_machine + "/doc.pdf", fonts, std::move(traits));
    }
    void InstallFont(const char* path) {
        std::filesystem::copy_file(
            path, m_machine + "/Fonts/" + std::filesystem::path(path).filename().string());
        m_fonts->Enumerate();
    }
    std::vector<std::string> RecordNames() const {
        std::vector<std::string> names;
        for (const CFontItem* item : g_fontitems)
            names.emplace_back(item->m_strName.begin(), item->m_strName.end());
        return names;
    }

    std::string m_machine;
    std::unique_ptr<host::FontList> m_fonts;
    std::unique_ptr<host::fontsuite::FontSuiteService> m_service;
};
