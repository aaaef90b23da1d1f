// The panel's resources as the host finds them: read back out of the built module.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/adm/dialog_template.h"
#include "host/adm/icon_decoder.h"
#include "host/adm/plugin_environment.h"
#include "host/resource_table.h"
#include "resources/PanelResourceIDs.h"
#include "resources/ResourceIDs.h"

namespace {

constexpr std::uint16_t kEnglishUS = 1033;

const host::ResourceTable& ModuleResources() {
    static const host::ResourceTable table = host::ReadModuleResourcesFromFile(LUMARO_MODULE_FILE);
    return table;
}

const std::vector<std::uint8_t>& Resource(const host::ResourceId& type, std::uint16_t id) {
    const std::vector<std::uint8_t>* bytes = ModuleResources().Find(type, id, kEnglishUS);
    if (bytes == nullptr) throw std::runtime_error("no resource " + std::to_string(id));
    return *bytes;
}

std::u16string U16(const char* ascii) { return std::u16string(ascii, ascii + std::strlen(ascii)); }

enum class Class { Static, Button, AdmList };

struct ExpectedItem {
    std::uint16_t id;
    Class kind;
    const char* text;
    std::int16_t x, y, cx, cy;
};

// The panel's layout, item by item, in template order.
const ExpectedItem kItems[] = {
    {8, Class::Static, "Missing fonts in opened documents:", 4, 7, 180, 9},
    {16, Class::Static, "", 185, 7, 25, 9},
    {18, Class::AdmList, "Custom1", 3, 17, 218, 80},
    {11, Class::Button, "Refresh", 4, 100, 42, 13},
    {20, Class::Button, "Help", 190, 100, 30, 13},
    {15, Class::Static, "Available fonts in Glyvor Groups:", 4, 120, 180, 9},
    {17, Class::Static, "", 185, 120, 25, 9},
    {14, Class::AdmList, "Custom1", 3, 130, 218, 82},
    {19, Class::Button, "Find", 4, 214, 40, 13},
    {12, Class::Button, "Activate All", 46, 214, 48, 13},
    {13, Class::Button, "Install All", 96, 214, 44, 13},
    {9, Class::Button, "Activate", 142, 214, 38, 13},
    {10, Class::Button, "Install", 182, 214, 36, 13},
    {21, Class::Static, "", 4, 230, 180, 9},
};

TEST(PanelDialogResource, HeaderIsThePlainTemplateOfThePanel) {
    const auto dialog = host::adm::ParseDialogTemplate(
        Resource(host::ResourceId::Ordinal(host::adm::kDialogResourceType), kLumaroDialogID));
    EXPECT_EQ(dialog.style, 0x80C800C0u);
    EXPECT_EQ(dialog.extendedStyle, 0u);
    EXPECT_EQ(dialog.menu.kind, host::adm::TemplateName::Kind::kNone);
    EXPECT_EQ(dialog.windowClass.kind, host::adm::TemplateName::Kind::kNone);
    EXPECT_EQ(dialog.caption, u"Lumaro");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.faceName, u"MS Sans Serif");
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 225);
    EXPECT_EQ(dialog.cy, 245);
}

TEST(PanelDialogResource, ItemsMatchTheLayoutOneByOne) {
    const auto dialog = host::adm::ParseDialogTemplate(
        Resource(host::ResourceId::Ordinal(host::adm::kDialogResourceType), kLumaroDialogID));
    ASSERT_EQ(dialog.items.size(), std::size(kItems));
    for (std::size_t i = 0; i < std::size(kItems); ++i) {
        const ExpectedItem& want = kItems[i];
        const host::adm::TemplateItem& got = dialog.items[i];
        SCOPED_TRACE("item " + std::to_string(i + 1) + ", ID " + std::to_string(want.id));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.extendedStyle, 0u);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        if (*want.text == '\0') {
            // An empty text is the one zero unit, whichever way it is read.
            EXPECT_NE(got.text.kind, host::adm::TemplateName::Kind::kOrdinal);
            EXPECT_TRUE(got.text.text.empty());
        } else {
            EXPECT_EQ(got.text.kind, host::adm::TemplateName::Kind::kString);
            EXPECT_EQ(got.text.text, U16(want.text));
        }
        EXPECT_TRUE(got.creationData.empty());
        switch (want.kind) {
            case Class::Static:
                EXPECT_TRUE(got.windowClass.IsOrdinal(0x0082));
                EXPECT_EQ(got.style, 0x50020000u);
                break;
            case Class::Button:
                EXPECT_TRUE(got.windowClass.IsOrdinal(0x0080));
                EXPECT_EQ(got.style, 0x50010000u);
                break;
            case Class::AdmList:
                EXPECT_TRUE(got.windowClass.IsString("ADM List Box Type"));
                EXPECT_EQ(got.style, 0x50010000u);
                break;
        }
    }
}

TEST(PanelDialogResource, ItemIdsOfTheCodeAreThoseOfTheLayout) {
    const int ids[] = {kMissingLabelText, kMissingExtraText,   kMissingList,        kRefreshButton,
                       kHelpButton,       kAvailableLabelText, kAvailableExtraText, kAvailableList,
                       kFindButton,       kActivateAllButton,  kInstallAllButton,   kActivateButton,
                       kInstallButton,    kStatusText};
    ASSERT_EQ(std::size(ids), std::size(kItems));
    for (std::size_t i = 0; i < std::size(ids); ++i) EXPECT_EQ(ids[i], kItems[i].id) << i;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

TEST(PanelIcons, Are24By24RgbaNonInterlacedPngs) {
    for (int id : {kPanelIconID, kPanelIconAltID}) {
        SCOPED_TRACE(id);
        const auto& png = Resource(host::ResourceId::Name("PNGI"), static_cast<std::uint16_t>(id));
        ASSERT_GE(png.size(), 33u);
        EXPECT_EQ(std::string(png.begin(), png.begin() + 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(BigEndian32(&png[16]), 24u);  // width
        EXPECT_EQ(BigEndian32(&png[20]), 24u);  // height
        EXPECT_EQ(png[24], 8);                  // bits per channel
        EXPECT_EQ(png[25], 6);                  // RGBA
        EXPECT_EQ(png[28], 0);                  // not interlaced
        std::string why;
        EXPECT_NE(host::adm::DecodeIconPng(png.data(), png.size(), &why), nullptr) << why;
    }
}

TEST(PanelIcons, AlternateHasTheSameOutlineAndIsLighter) {
    std::string why;
    const auto& normalPng = Resource(host::ResourceId::Name("PNGI"), kPanelIconID);
    const auto& alternatePng = Resource(host::ResourceId::Name("PNGI"), kPanelIconAltID);
    const auto normal = host::adm::DecodeIconPng(normalPng.data(), normalPng.size(), &why);
    const auto alternate = host::adm::DecodeIconPng(alternatePng.data(), alternatePng.size(), &why);
    ASSERT_NE(normal, nullptr);
    ASSERT_NE(alternate, nullptr);
    ASSERT_EQ(normal->rgba.size(), 24u * 24u * 4u);
    ASSERT_EQ(alternate->rgba.size(), normal->rgba.size());

    int opaque = 0, transparent = 0;
    long lighter = 0, darker = 0;
    for (std::size_t p = 0; p < normal->rgba.size(); p += 4) {
        ASSERT_EQ(normal->rgba[p + 3], alternate->rgba[p + 3]) << "pixel " << p / 4;
        if (normal->rgba[p + 3] == 0) {
            ++transparent;
            continue;
        }
        ++opaque;
        for (int c = 0; c < 3; ++c) {
            const int diff = alternate->rgba[p + c] - normal->rgba[p + c];
            if (diff > 0) ++lighter;
            if (diff < 0) ++darker;
        }
    }
    // A picture with a transparent surround, not a filled square.
    EXPECT_GT(opaque, 24 * 24 / 4);
    EXPECT_GT(transparent, 24 * 4);
    EXPECT_EQ(darker, 0);
    EXPECT_GT(lighter, opaque);
}

}  // namespace
