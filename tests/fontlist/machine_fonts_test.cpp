#include "fontlist/machine_fonts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using host::FontOrigin;
using host::ParseActiveFontsList;
using host::ScanMachineFonts;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kLiberation = "/usr/share/fonts/truetype/liberation/";

TEST(ActiveFontsList, OnePathPerLineWithLineEndsTolerated) {
    EXPECT_THAT(ParseActiveFontsList("\xEF\xBB\xBF/a/b.ttf\r\n\r\n/c d/e.otf \n/f.t1"),
                ElementsAre("/a/b.ttf", "/c d/e.otf ", "/f.t1"));
    EXPECT_TRUE(ParseActiveFontsList("").empty());
}

TEST(MachineFonts, InstalledAndActivatedFontsAreReadAndBadEntriesCounted) {
    TempFolder machine;
    fs::create_directory(machine.Path() / "Fonts");
    fs::copy_file(kLiberation + "LiberationSans-Regular.ttf",
                  machine.Path() / "Fonts" / "LiberationSans-Regular.ttf");
    fs::copy_file(kLiberation + "LiberationMono-Bold.ttf",
                  machine.Path() / "Fonts" / "LiberationMono-Bold.ttf");
    machine.Write("Fonts/broken.ttf", "no font here");
    fs::create_directory(machine.Path() / "Fonts" / "subfolder");
    // The same font installed and activated, activated twice, not absolute,
    // and absent.
    machine.Write("ActiveFonts.txt",
                  (machine.Path() / "Fonts" / "LiberationMono-Bold.ttf").string() + "\n" +
                      kLiberation + "LiberationSerif-Italic.ttf\n" + kLiberation +
                      "LiberationSerif-Italic.ttf\n" + "relative/font.ttf\n" +
                      machine.File("gone.ttf") + "\n");

    const auto scan = ScanMachineFonts(machine.Path().string());
    ASSERT_EQ(scan.fonts.size(), 3u);
    EXPECT_EQ(scan.fonts[0].face.postScriptName, "LiberationMono-Bold");
    EXPECT_EQ(scan.fonts[0].origin, FontOrigin::Installed);
    EXPECT_EQ(scan.fonts[1].face.postScriptName, "LiberationSans");
    EXPECT_EQ(scan.fonts[2].face.postScriptName, "LiberationSerif-Italic");
    EXPECT_EQ(scan.fonts[2].origin, FontOrigin::Activated);
    EXPECT_EQ(scan.filesRead, 3u);
    ASSERT_EQ(scan.skipped.size(), 3u);
    EXPECT_THAT(scan.skipped[0], HasSubstr("broken.ttf: not a font file"));
    EXPECT_THAT(scan.skipped[1], HasSubstr("not an absolute path"));
    EXPECT_THAT(scan.skipped[2], HasSubstr("gone.ttf: no such font file"));
}

TEST(MachineFonts, ASecondFileOfTheSameNameIsADuplicate) {
    TempFolder machine;
    fs::create_directory(machine.Path() / "Fonts");
    fs::copy_file(kLiberation + "LiberationSans-Regular.ttf", machine.Path() / "Fonts" / "a.ttf");
    fs::copy_file(kLiberation + "LiberationSans-Regular.ttf", machine.Path() / "Fonts" / "b.ttf");
    machine.Write("ActiveFonts.txt", kLiberation + "LiberationSans-Regular.ttf\n");
    const auto scan = ScanMachineFonts(machine.Path().string());
    ASSERT_EQ(scan.fonts.size(), 1u);
    EXPECT_EQ(scan.fonts[0].face.path, (machine.Path() / "Fonts" / "a.ttf").string());
    EXPECT_EQ(scan.fonts[0].origin, FontOrigin::Installed);
    EXPECT_EQ(scan.duplicates, 2u);
}

TEST(MachineFonts, AnEmptyMachineHasNoFonts) {
    TempFolder machine;
    const auto scan = ScanMachineFonts(machine.Path().string());
    EXPECT_TRUE(scan.fonts.empty());
    EXPECT_TRUE(scan.skipped.empty());
    EXPECT_TRUE(ScanMachineFonts(machine.File("no-such-machine")).fonts.empty());
}

}  // namespace
