#include "host/snapshot/snapshot.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "host/adm/adm_suites.h"
#include "png_writer.h"
#include "template_builder.h"

namespace {

namespace fs = std::filesystem;
SPPluginRef const kPlugin = reinterpret_cast<SPPluginRef>(0x1000);
int g_draws = 0;
void HOSTAPI CountDraws(ADMDialogRef, ADMDrawerRef) { ++g_draws; }

struct Decoded {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    unsigned At(int x, int y) const {
        const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
        return (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
    }
};

Decoded ReadPng(const fs::path& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    Decoded out;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGBA;
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

bool Near(unsigned a, unsigned b, int tolerance) {
    for (int shift : {16, 8, 0}) {
        int da = static_cast<int>((a >> shift) & 0xFF), db = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(da - db) > tolerance) return false;
    }
    return true;
}

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Add(kPlugin, host::adm::ResourceType::Number(5), 16000, adm_test::SmallPanelTemplate());
        env.Add(kPlugin, host::adm::ResourceType::Named("PNGI"), 1001, adm_test::WritePng({}));
        path =
            fs::temp_directory_path() /
            ("adm-snapshot-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png");
    }
    void TearDown() override { fs::remove(path); }
    adm_test::ResourceEnvironment env;
    host::adm::DialogManager manager{env};
    fs::path path;
};

TEST_F(SnapshotTest, DrawsTheDialogAtItsTemplateGeometry) {
    const auto& dlg = host::adm::DialogSuite();
    const auto& itm = host::adm::ItemSuite();
    const auto& lst = host::adm::ListSuite();
    const auto& ent = host::adm::EntrySuite();
    ADMDialogRef d = dlg.Create(kPlugin, "Small", 16000, 3, nullptr, nullptr, 0);
    ASSERT_NE(d, nullptr);
    dlg.SetIcon(d, 0, host::adm::IconSuite().GetFromResource(kPlugin, nullptr, 1001, 0));
    dlg.SetDrawProc(d, CountDraws);
    ADMListRef list = itm.GetList(dlg.GetItem(d, 18));
    ent.SetText(lst.InsertEntry(list, 0), "* Alpha");
    ent.SetText(lst.InsertEntry(list, 1), "* Beta");
    manager.SelectRows(d, 18, {1});
    itm.Enable(dlg.GetItem(d, 19), false);
    itm.SetText(dlg.GetItem(d, 21), "2 missing font(s) in opened documents");
    g_draws = 0;

    host::snapshot::WriteSnapshot(manager, d, path.string());
    EXPECT_EQ(g_draws, 1);

    Decoded png = ReadPng(path);
    ASSERT_EQ(png.width, 120 * 6 / 4);
    ASSERT_EQ(png.height, 100 * 13 / 8 + host::snapshot::kTitleBarHeight);
    const int top = host::snapshot::kTitleBarHeight;
    struct Probe {
        const char* what;
        int x, y;
        unsigned color;
        int tolerance;
    };
    const Probe probes[] = {
        {"title bar", png.width - 2, 2, host::snapshot::kTitleColor, 0},
        {"icon in the title bar", 1 + 3, (top - 24) / 2 + 5, 0x1E32C8, 3},
        {"dialog face", 2, top + 2, host::snapshot::kFaceColor, 0},
        {"unselected row", 8, top + 22 + 1 + 8, host::snapshot::kListColor, 0},
        {"selected row", 8, top + 22 + 1 + 16 + 8, host::snapshot::kSelectionColor, 0},
        {"empty list area", 8, top + 80, host::snapshot::kListColor, 0},
        {"button face", 8, top + 99, host::snapshot::kButtonColor, 0},
    };
    for (const Probe& p : probes) {
        EXPECT_TRUE(Near(png.At(p.x, p.y), p.color, p.tolerance))
            << p.what << ": " << std::hex << png.At(p.x, p.y) << " instead of " << p.color;
    }
    // The status line has text in it: some pixel of its box is dark.
    bool dark = false;
    for (int x = 6; x < 156 && !dark; ++x) {
        for (int y = top + 130; y < top + 144 && !dark; ++y) dark = png.At(x, y) < 0x404040;
    }
    EXPECT_TRUE(dark);
}

TEST_F(SnapshotTest, UnknownDialogsAndUnwritablePathsAreErrors) {
    const auto& dlg = host::adm::DialogSuite();
    ADMDialogRef d = dlg.Create(kPlugin, "Small", 16000, 3, nullptr, nullptr, 0);
    EXPECT_THROW(host::snapshot::WriteSnapshot(manager, d, "/nonexistent-dir/x.png"),
                 host::snapshot::SnapshotError);
    dlg.Destroy(d);
    EXPECT_THROW(host::snapshot::WriteSnapshot(manager, d, path.string()),
                 host::snapshot::SnapshotError);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(SnapshotTest, TheCommandWritesTheFileOrSaysWhyNot) {
    host::adm::DialogSuite().Create(kPlugin, "Small", 16000, 3, nullptr, nullptr, 0);
    const auto& command = host::snapshot::SnapshotCommand();
    std::ostringstream out;
    EXPECT_TRUE(command.run(manager, out, {"Small", path.string()}));
    EXPECT_EQ(ReadPng(path).width, 180);
    out.str("");
    EXPECT_FALSE(command.run(manager, out, {"Large", path.string()}));
    EXPECT_EQ(out.str(), "no dialog named \"Large\"\n");
    out.str("");
    EXPECT_FALSE(command.run(manager, out, {"Small", "/nonexistent-dir/x.png"}));
    EXPECT_NE(out.str().find("cannot write"), std::string::npos) << out.str();
}

}  // namespace
