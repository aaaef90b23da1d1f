#include <gtest/gtest.h>

#include "host/adm/adm_suites.h"
#include "host/adm/dialog_manager.h"
#include "host/adm/icon_decoder.h"
#include "png_writer.h"
#include "template_builder.h"

namespace {

using adm_test::PngShape;
using adm_test::WritePng;

SPPluginRef const kPlugin = reinterpret_cast<SPPluginRef>(0x1000);

TEST(IconDecoder, AcceptsOnly24By24EightBitRgbaWithoutInterlacing) {
    struct Case {
        const char* what;
        PngShape shape;
        bool accepted;
    };
    const Case cases[] = {
        {"the icon format", {}, true},
        {"16 x 16", {16, 16, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE}, false},
        {"24 x 25", {24, 25, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE}, false},
        {"RGB without alpha", {24, 24, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE}, false},
        {"16-bit RGBA", {24, 24, 16, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE}, false},
        {"grey with alpha", {24, 24, 8, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE}, false},
        {"interlaced", {24, 24, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_ADAM7}, false},
    };
    for (const Case& c : cases) {
        auto png = WritePng(c.shape);
        ASSERT_FALSE(png.empty()) << c.what;
        std::string why;
        auto icon = host::adm::DecodeIconPng(png.data(), png.size(), &why);
        EXPECT_EQ(icon != nullptr, c.accepted) << c.what << ": " << why;
        if (!c.accepted) {
            EXPECT_FALSE(why.empty()) << c.what;
        }
    }
}

TEST(IconDecoder, DecodesThePixels) {
    auto png = WritePng({});
    auto icon = host::adm::DecodeIconPng(png.data(), png.size(), nullptr);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->rgba.size(), 24u * 24u * 4u);
    auto px = [&](int x, int y, int c) { return icon->rgba[(y * 24 + x) * 4 + c]; };
    EXPECT_EQ(px(3, 5, 0), 30);
    EXPECT_EQ(px(3, 5, 1), 50);
    EXPECT_EQ(px(3, 5, 2), 200);
    EXPECT_EQ(px(3, 5, 3), 252);
}

TEST(IconDecoder, DamagedDataIsRefused) {
    auto png = WritePng({});
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back({});  // nothing
    bad.push_back({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    bad.emplace_back(png.begin(), png.begin() + 40);  // header only
    bad.emplace_back(png.begin(), png.end() - 20);    // image data cut short
    auto corrupt = png;
    for (std::size_t i = 45; i < corrupt.size() - 12; ++i) corrupt[i] ^= 0x5A;
    bad.push_back(corrupt);
    for (std::size_t i = 0; i < bad.size(); ++i) {
        std::string why;
        EXPECT_EQ(host::adm::DecodeIconPng(bad[i].data(), bad[i].size(), &why), nullptr) << i;
        EXPECT_FALSE(why.empty()) << i;
    }
}

class IconSuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Add(kPlugin, host::adm::ResourceType::Named("PNGI"), 1001, WritePng({}));
        env.Add(kPlugin, host::adm::ResourceType::Named("PNGI"), 1003,
                WritePng({32, 32, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE}));
        env.Add(kPlugin, host::adm::ResourceType::Number(5), 16000, adm_test::SmallPanelTemplate());
    }
    adm_test::ResourceEnvironment env;
    host::adm::DialogManager manager{env};
    const ADMIconSuite2& icons = host::adm::IconSuite();
    const ADMDialogSuite10& dialogs = host::adm::DialogSuite();
};

TEST_F(IconSuiteTest, LoadsFromTheModulesPngiResources) {
    ADMIconRef icon = icons.GetFromResource(kPlugin, nullptr, 1001, 0);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icons.GetWidth(icon), 24);
    EXPECT_EQ(icons.GetHeight(icon), 24);
    EXPECT_EQ(icons.GetFromResource(kPlugin, nullptr, 1003, 0), nullptr);  // wrong size
    EXPECT_EQ(icons.GetFromResource(kPlugin, nullptr, 1002, 0), nullptr);  // absent
    EXPECT_EQ(icons.GetFromResource(kPlugin, nullptr, 1001, 1), nullptr);  // one image only
    EXPECT_EQ(icons.GetFromResource(reinterpret_cast<SPPluginRef>(0x2000), nullptr, 1001, 0),
              nullptr);
}

TEST_F(IconSuiteTest, DialogIconsZeroAndOne) {
    ADMDialogRef d = dialogs.Create(kPlugin, "P", 16000, 3, nullptr, nullptr, 0);
    ASSERT_NE(d, nullptr);
    ADMIconRef icon = icons.GetFromResource(kPlugin, nullptr, 1001, 0);
    EXPECT_EQ(dialogs.SetIcon(d, 0, icon), kNoErr);
    EXPECT_EQ(dialogs.SetIcon(d, 1, nullptr), kNoErr);  // a failed load is still handed over
    EXPECT_EQ(dialogs.SetIcon(d, 2, icon), kBadParameterErr);
    EXPECT_EQ(dialogs.GetIcon(d, 0), icon);
    EXPECT_EQ(dialogs.GetIcon(d, 1), nullptr);
    icons.Destroy(icon);
    EXPECT_EQ(dialogs.GetIcon(d, 0), nullptr);  // no dangling icon in the title bar
    EXPECT_EQ(icons.GetWidth(icon), 0);
}

}  // namespace
