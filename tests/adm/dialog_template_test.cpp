#include "host/adm/dialog_template.h"

#include <gtest/gtest.h>

#include "template_builder.h"

namespace {

using host::adm::ParseDialogTemplate;
using host::adm::TemplateError;
using host::adm::TemplateName;

TEST(DialogTemplate, ReadsHeaderFontAndEveryItem) {
    std::vector<std::uint8_t> creation = {0xAA, 0xBB, 0xCC};
    auto bytes = adm_test::TemplateBuilder()
                     .Dialog(0x80C800C0 & ~0x40u, 225, 245, "Lumaro")
                     .Font(8, "MS Sans Serif")
                     .Item(8, 0x0082, "", "Label:", 4, 7, 180, 9, 0x50020000)
                     .Item(18, 0, "ADM List Box Type", "Custom1", 3, 17, 218, 80)
                     .Item(11, 0x0080, "", "Refresh", 4, 100, 42, 13, 0x50010000, creation)
                     .Item(21, 0x0082, "", "", 4, 230, 180, 9, 0x50020000)
                     .Build();
    auto dlg = ParseDialogTemplate(bytes);
    EXPECT_EQ(dlg.style, 0x80C800C0u);
    EXPECT_EQ(dlg.cx, 225);
    EXPECT_EQ(dlg.cy, 245);
    EXPECT_EQ(dlg.caption, u"Lumaro");
    EXPECT_EQ(dlg.pointSize, 8);
    EXPECT_EQ(dlg.faceName, u"MS Sans Serif");
    EXPECT_EQ(dlg.menu.kind, TemplateName::Kind::kNone);
    ASSERT_EQ(dlg.items.size(), 4u);
    EXPECT_TRUE(dlg.items[0].windowClass.IsOrdinal(0x0082));
    EXPECT_EQ(dlg.items[0].text.text, u"Label:");
    EXPECT_EQ(dlg.items[0].style, 0x50020000u);
    EXPECT_TRUE(dlg.items[1].windowClass.IsString("ADM List Box Type"));
    EXPECT_EQ(dlg.items[1].id, 18);
    EXPECT_EQ(dlg.items[1].x, 3);
    EXPECT_EQ(dlg.items[1].cy, 80);
    // Creation data must not swallow the alignment of the next item.
    EXPECT_EQ(dlg.items[2].creationData, creation);
    EXPECT_EQ(dlg.items[3].id, 21);
    // An empty text is stored as a lone terminator, the same as no text.
    EXPECT_EQ(dlg.items[3].text.kind, TemplateName::Kind::kNone);
}

TEST(DialogTemplate, ClassNamesIgnoreCase) {
    auto bytes = adm_test::TemplateBuilder()
                     .Dialog(0x80C80080, 50, 20, "X")
                     .Item(1, 0, "ADM LIST BOX TYPE", "", 1, 1, 10, 10)
                     .Build();
    auto dlg = ParseDialogTemplate(bytes);
    EXPECT_TRUE(dlg.items[0].windowClass.IsString("ADM List Box Type"));
    EXPECT_FALSE(dlg.items[0].windowClass.IsString("ADM List Box"));
    EXPECT_FALSE(dlg.items[0].windowClass.IsString("ADM List Box Typ_"));
}

TEST(DialogTemplate, WithoutSetFontHasNoFontFields) {
    auto bytes = adm_test::TemplateBuilder()
                     .Dialog(0x80C80080, 50, 20, "X")
                     .Item(1, 0x0080, "", "OK", 1, 1, 10, 10)
                     .Build();
    auto dlg = ParseDialogTemplate(bytes);
    EXPECT_EQ(dlg.pointSize, 0);
    EXPECT_TRUE(dlg.faceName.empty());
    ASSERT_EQ(dlg.items.size(), 1u);
    EXPECT_EQ(dlg.items[0].text.text, u"OK");
}

TEST(DialogTemplate, EveryTruncationIsAnError) {
    auto bytes = adm_test::SmallPanelTemplate();
    // The last item may lose only its trailing padding, which a template
    // never has; every shorter prefix must be refused, never overread.
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + n);
        EXPECT_THROW(ParseDialogTemplate(cut), TemplateError) << "length " << n;
    }
    EXPECT_NO_THROW(ParseDialogTemplate(bytes));
}

TEST(DialogTemplate, CorruptedTemplatesAreRefused) {
    auto good = adm_test::SmallPanelTemplate();
    struct Case {
        const char* what;
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"huge item count", 8, {0xFF, 0xFF}},
        {"extended template signature", 0, {0x01, 0x00, 0xFF, 0xFF}},
        {"negative width", 14, {0x00, 0x80}},
    };
    for (const Case& c : cases) {
        auto bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + c.offset);
        EXPECT_THROW(ParseDialogTemplate(bad), TemplateError) << c.what;
    }
    // A caption without its terminator runs into the end of the data.
    std::vector<std::uint8_t> unterminated(good.begin(), good.begin() + 22);
    for (int i = 0; i < 6; ++i) unterminated.push_back('A'), unterminated.push_back(0);
    EXPECT_THROW(ParseDialogTemplate(unterminated), TemplateError);
    EXPECT_THROW(ParseDialogTemplate(nullptr, 0), TemplateError);
}

TEST(DialogTemplate, ErrorsSayWhereAndWhat) {
    auto bytes = adm_test::SmallPanelTemplate();
    bytes.resize(30);
    try {
        ParseDialogTemplate(bytes);
        FAIL() << "no error";
    } catch (const TemplateError& e) {
        EXPECT_NE(std::string(e.what()).find("truncated"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("of 30"), std::string::npos) << e.what();
    }
}

TEST(DialogTemplate, Utf16ToUtf8KeepsPairsAndReplacesLoneSurrogates) {
    EXPECT_EQ(host::adm::Utf16ToUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(host::adm::Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    std::u16string lone = {0xD800, u'x'};
    EXPECT_EQ(host::adm::Utf16ToUtf8(lone), "\xEF\xBF\xBDx");
}

}  // namespace
