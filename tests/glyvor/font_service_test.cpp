#include "glyvor/font_service.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "glyvor_test_support.h"

namespace {

namespace fs = std::filesystem;
using glyvor::FontService;
using glyvor_test::CopyFile;
using glyvor_test::ReadFile;
using glyvor_test::TempFolder;

// A machine folder and a catalogue of copied fonts that tests may alter.
class FontServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"LiberationSans-Bold.ttf", "LiberationMono-Regular.ttf"}) {
            CopyFile(std::string(glyvor_test::kLiberation) + "/" + f,
                     m_fonts / (std::string("lib/") + f));
        }
        CopyFile(std::string(glyvor_test::kUrwType1) + "/C059-Roman.t1",
                 m_fonts / "urw/C059-Roman.t1");
        glyvor::IndexResult r;
        std::string error;
        ASSERT_TRUE(
            glyvor::IndexFolders({{"Lib", m_fonts / "lib"}, {"URW", m_fonts / "urw"}}, &r, &error))
            << error;
        m_catalog = std::make_shared<glyvor::Catalog>(std::move(r.catalog));
        m_service = std::make_unique<FontService>(m_catalog, m_machine.Path().string());
    }

    std::string Id(const char* name) {
        glyvor::MatchAnswer a;
        EXPECT_TRUE(m_service->Match(name, &a)) << name;
        return a.identifier;
    }
    std::string Source(const char* relative) { return fs::canonical(m_fonts / relative).string(); }

    TempFolder m_fonts, m_machine;
    std::shared_ptr<glyvor::Catalog> m_catalog;
    std::unique_ptr<FontService> m_service;
};

TEST_F(FontServiceTest, MatchGivesIdentifierAndGroupFileText) {
    glyvor::MatchAnswer a;
    ASSERT_TRUE(m_service->Match("liberation sans bold", &a));
    EXPECT_EQ(a.identifier, "Lib:LiberationSans-Bold.ttf#0");
    EXPECT_EQ(a.detail, "Lib: LiberationSans-Bold.ttf");
    EXPECT_FALSE(m_service->Match("Arial", &a));
}

TEST_F(FontServiceTest, ActivationIsListedInTheMachineFolderOnce) {
    const std::string id = Id("LiberationSans-Bold");
    EXPECT_EQ(m_service->State(id), 0);
    std::string error;
    ASSERT_TRUE(m_service->Load(id, true, &error)) << error;
    ASSERT_TRUE(m_service->Load(id, true, &error)) << error;
    ASSERT_TRUE(m_service->Load(Id("C059-Roman"), true, &error)) << error;
    EXPECT_EQ(ReadFile(glyvor::ActiveFontsFile(m_machine.Path().string())),
              Source("lib/LiberationSans-Bold.ttf") + "\n" + Source("urw/C059-Roman.t1") + "\n");
    EXPECT_EQ(m_service->State(id), glyvor::kFontActive);
    EXPECT_FALSE(fs::exists(glyvor::FontsFolder(m_machine.Path().string())));
}

TEST_F(FontServiceTest, InstallationCopiesTheFileAndAgainIsASuccess) {
    const std::string id = Id("LiberationMono-Regular");
    std::string error;
    ASSERT_TRUE(m_service->Load(id, false, &error)) << error;
    const std::string installed =
        glyvor::FontsFolder(m_machine.Path().string()) + "/LiberationMono-Regular.ttf";
    EXPECT_EQ(ReadFile(installed), ReadFile(Source("lib/LiberationMono-Regular.ttf")));
    EXPECT_EQ(m_service->State(id), glyvor::kFontInstalled);
    ASSERT_TRUE(m_service->Load(id, false, &error)) << error;
    ASSERT_TRUE(m_service->Load(id, true, &error)) << error;
    EXPECT_EQ(m_service->State(id), glyvor::kFontInstalled | glyvor::kFontActive);
    // Nothing but the font itself is left in Fonts/.
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(glyvor::FontsFolder(m_machine.Path().string()))) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(FontServiceTest, ADifferentFileOfTheSameNameIsNeverReplaced) {
    const std::string installed =
        glyvor::FontsFolder(m_machine.Path().string()) + "/LiberationSans-Bold.ttf";
    glyvor_test::WriteFile(installed, "someone else's font");
    const std::string id = Id("LiberationSans-Bold");
    EXPECT_EQ(m_service->State(id), 0);
    std::string error;
    EXPECT_FALSE(m_service->Load(id, false, &error));
    EXPECT_EQ(
        error,
        "Cannot install Liberation Sans Bold (Lib: LiberationSans-Bold.ttf): a different file "
        "named LiberationSans-Bold.ttf is already installed");
    EXPECT_EQ(ReadFile(installed), "someone else's font");
}

TEST_F(FontServiceTest, AFileGoneOrDamagedAfterIndexingFailsWithTheReason) {
    const std::string bold = Id("LiberationSans-Bold");
    const std::string c059 = Id("C059-Roman");
    fs::remove(Source("lib/LiberationSans-Bold.ttf"));
    glyvor_test::WriteFile(m_fonts / "urw/C059-Roman.t1", "garbage");
    const struct {
        std::string id;
        bool activate;
        const char* prefix;
        const char* reason;
    } cases[] = {
        {bold, true, "Cannot activate Liberation Sans Bold (Lib: LiberationSans-Bold.ttf): ",
         "cannot be opened"},
        {bold, false, "Cannot install Liberation Sans Bold (Lib: LiberationSans-Bold.ttf): ",
         "cannot be opened"},
        {c059, true,
         "Cannot activate C059 Roman (URW: C059-Roman.t1): ", "is no longer a readable font"},
        {c059, false,
         "Cannot install C059 Roman (URW: C059-Roman.t1): ", "is no longer a readable font"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(m_service->Load(c.id, c.activate, &error));
        EXPECT_EQ(error.rfind(c.prefix, 0), 0u) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_TRUE(glyvor::ReadActiveFonts(m_machine.Path().string()).empty());
    EXPECT_FALSE(fs::exists(glyvor::FontsFolder(m_machine.Path().string()) + "/C059-Roman.t1"));
}

TEST_F(FontServiceTest, UnknownIdentifiersHaveNoStateAndCannotLoad) {
    for (const char* id :
         {"", "Lib:Nope.ttf#0", "Lib:LiberationSans-Bold.ttf#1", "lib:LiberationSans-Bold.ttf#0"}) {
        EXPECT_EQ(m_service->State(id), 0) << id;
        for (bool activate : {true, false}) {
            std::string error;
            EXPECT_FALSE(m_service->Load(id, activate, &error)) << id;
            EXPECT_EQ(error, std::string(activate ? "Cannot activate '" : "Cannot install '") + id +
                                 "': no font has this identifier");
        }
    }
}

TEST_F(FontServiceTest, ARefusedCopyIsReported) {
    // A file where the Fonts folder should be: no copy can go in (even for root).
    glyvor_test::WriteFile(glyvor::FontsFolder(m_machine.Path().string()), "in the way");
    std::string error;
    EXPECT_FALSE(m_service->Load(Id("LiberationMono-Regular"), false, &error));
    EXPECT_EQ(error.rfind("Cannot install Liberation Mono (Lib: LiberationMono-Regular.ttf): "
                          "cannot create ",
                          0),
              0u)
        << error;
    EXPECT_EQ(ReadFile(glyvor::FontsFolder(m_machine.Path().string())), "in the way");
}

TEST(MachineFolder, ActiveFontsFileToleratesCrlfAndBlankLines) {
    TempFolder machine;
    glyvor_test::WriteFile(glyvor::ActiveFontsFile(machine.Path().string()),
                           "/a/x.ttf\r\n\n/b/y.otf\n");
    EXPECT_EQ(glyvor::ReadActiveFonts(machine.Path().string()),
              (std::vector<std::string>{"/a/x.ttf", "/b/y.otf"}));
    std::string error;
    ASSERT_TRUE(glyvor::AddActiveFont(machine.Path().string(), "/c/\xC3\xBC.ttf", &error)) << error;
    EXPECT_EQ(ReadFile(glyvor::ActiveFontsFile(machine.Path().string())),
              "/a/x.ttf\n/b/y.otf\n/c/\xC3\xBC.ttf\n");
    EXPECT_FALSE(glyvor::AddActiveFont(machine.Path().string(), "/d/two\nlines.ttf", &error));
    EXPECT_EQ(glyvor::DefaultCatalogPath("/m"), "/m/Glyvor/catalog.txt");
    EXPECT_EQ(glyvor::FontsFolder("/m/"), "/m/Fonts");
}

}  // namespace

namespace {

TEST(FontServiceCollections, AFaceOfACollectionLoadsUntilTheFileLosesIt) {
    TempFolder fonts, machine;
    const std::string lib = glyvor_test::kLiberation;
    const std::string pair = fonts / "g/Pair.ttc";
    glyvor_test::WriteFile(
        pair, glyvor_test::MakeCollection({ReadFile(lib + "/LiberationSans-Bold.ttf"),
                                           ReadFile(lib + "/LiberationSerif-Italic.ttf")}));
    glyvor::IndexResult r;
    std::string error;
    ASSERT_TRUE(glyvor::IndexFolders({{"G", fonts / "g"}}, &r, &error)) << error;
    const FontService service(std::make_shared<glyvor::Catalog>(std::move(r.catalog)),
                              machine.Path().string());
    ASSERT_TRUE(service.Load("G:Pair.ttc#1", true, &error)) << error;
    // Replaced by another single font: face 1 is gone, face 0 is not the font it was.
    CopyFile(lib + "/LiberationMono-Bold.ttf", pair);
    EXPECT_FALSE(service.Load("G:Pair.ttc#1", false, &error));
    EXPECT_NE(error.find("Pair.ttc is no longer a readable font"), std::string::npos) << error;
    EXPECT_FALSE(service.Load("G:Pair.ttc#0", false, &error));
    EXPECT_NE(error.find("Pair.ttc now holds LiberationMono-Bold; index the group again"),
              std::string::npos)
        << error;
    EXPECT_FALSE(std::filesystem::exists(glyvor::FontsFolder(machine.Path().string())));
}

}  // namespace
