#include "fontlist/font_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "fontlist/font_name_match.h"
#include "samples/cairo_documents.h"
#include "samples/text_documents.h"

namespace {

namespace fs = std::filesystem;
using host::FontEntry;
using host::FontList;
using host::FontNameKey;
using host::FontNameQuery;
using host::FontOrigin;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kLiberation = "/usr/share/fonts/truetype/liberation/";
const std::string kNotoSerif = "/usr/share/fonts/truetype/noto/NotoSerif-Regular.ttf";
const std::string kNimbus = "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1";
const std::string kGothic = "/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf";

std::vector<std::string> Names(const FontList& list) {
    std::vector<std::string> names;
    for (const FontEntry& e : list.Entries()) names.push_back(e.Name());
    return names;
}

std::vector<std::string> MissingNames(const FontList& list) {
    std::vector<std::string> names;
    for (const FontEntry& e : list.Entries()) {
        if (e.missing) names.push_back(e.Name());
    }
    return names;
}

// A machine with Liberation Sans and the Type 1 Nimbus Sans installed, and an
// unreadable file among them.
class FontListTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(m_machine.Path() / "Fonts");
        Install(kLiberation + "LiberationSans-Regular.ttf");
        Install(kNimbus);
        m_machine.Write("Fonts/damaged.ttf",
                        ReadFile(kLiberation + "LiberationSans-Bold.ttf").substr(0, 100));
    }

    void Install(const std::string& file) {
        fs::copy_file(file, m_machine.Path() / "Fonts" / fs::path(file).filename());
    }

    std::string Pdf(const std::string& name, const std::vector<std::string>& fontFiles) {
        const std::string path = m_docs.File(name);
        std::string error;
        EXPECT_TRUE(samples::WriteCairoPdf(path, fontFiles, error)) << error;
        return path;
    }

    TempFolder m_machine;
    TempFolder m_docs;
};

TEST_F(FontListTest, MachineFontsCarryTheirInformationAndNames) {
    FontList list(m_machine.Path().string());
    EXPECT_THAT(Names(list), ElementsAre("LiberationSans", "NimbusSans-Regular"));
    EXPECT_EQ(list.FilesRead(), 2u);
    ASSERT_EQ(list.SkippedFiles().size(), 1u);
    EXPECT_EQ(list.MissingCount(), 0u);

    const FontEntry& sans = list.Entries()[0];
    EXPECT_FALSE(sans.missing);
    EXPECT_EQ(sans.origin, FontOrigin::Installed);
    EXPECT_EQ(sans.TechnologyCode(), 1);
    EXPECT_TRUE(sans.face.openType);
    EXPECT_EQ(sans.UnicodeName(FontNameQuery::A, false), "LiberationSans");
    EXPECT_EQ(sans.UnicodeName(FontNameQuery::B, false), "Liberation Sans");
    EXPECT_EQ(sans.UnicodeName(FontNameQuery::B, true), "Liberation Sans");
    EXPECT_EQ(sans.UnicodeName(FontNameQuery::C, true), "Liberation Sans");
    EXPECT_EQ(sans.UnicodeName(FontNameQuery::D, false), "Regular");

    const FontEntry& nimbus = list.Entries()[1];
    EXPECT_EQ(nimbus.TechnologyCode(), 0);
    EXPECT_FALSE(nimbus.face.openType);
    EXPECT_EQ(nimbus.UnicodeName(FontNameQuery::C, false), "Nimbus Sans");
}

TEST_F(FontListTest, DocumentFontsTheMachineLacksAreMarkedMissingOnce) {
    FontList list(m_machine.Path().string());
    const std::string brochure =
        Pdf("brochure.pdf", {kLiberation + "LiberationSans-Regular.ttf", kNotoSerif, kGothic});
    const std::string poster = Pdf("poster.pdf", {kNotoSerif, kNimbus});
    const std::string logo = m_docs.Write(
        "logo.svg", samples::SvgWithFamilies({"'Liberation Sans', serif", "Orvinda Display"}));

    ASSERT_TRUE(list.OpenDocument(brochure).ok());
    ASSERT_TRUE(list.OpenDocument(poster).ok());
    ASSERT_TRUE(list.OpenDocument(logo).ok());

    // Machine fonts first, then the missing ones, each group in name order.
    EXPECT_THAT(Names(list), ElementsAre("LiberationSans", "NimbusSans-Regular",
                                         "NotoSerif-Regular", "Orvinda Display", "URWGothic-Book"));
    EXPECT_EQ(list.MachineFontCount(), 2u);
    EXPECT_EQ(list.MissingCount(), 3u);

    const FontEntry* noto = list.Find("NotoSerif-Regular");
    ASSERT_NE(noto, nullptr);
    EXPECT_TRUE(noto->missing);
    EXPECT_EQ(noto->origin, FontOrigin::Missing);
    EXPECT_EQ(noto->TechnologyCode(), 1);  // the PDF embeds it as TrueType
    EXPECT_FALSE(noto->face.openType || noto->face.cidKeyed || noto->face.bitmap || noto->ocf ||
                 noto->atc);
    EXPECT_THAT(noto->documents, ElementsAre(brochure, poster));
    EXPECT_EQ(noto->UnicodeName(FontNameQuery::B, false), "NotoSerif-Regular");
    EXPECT_EQ(noto->UnicodeName(FontNameQuery::D, false), "");
    // An SVG tells nothing of the font's kind.
    EXPECT_EQ(list.Find("Orvinda Display")->TechnologyCode(), 2);

    // The SVG family "Liberation Sans" is present through the family name.
    EXPECT_FALSE(list.Find("Liberation Sans")->missing);
}

TEST_F(FontListTest, ActivatingOrInstallingAFontClearsItsMissingMark) {
    FontList list(m_machine.Path().string());
    ASSERT_TRUE(list.OpenDocument(Pdf("doc.pdf", {kNotoSerif, kGothic})).ok());
    EXPECT_THAT(MissingNames(list), ElementsAre("NotoSerif-Regular", "URWGothic-Book"));

    m_machine.Write("ActiveFonts.txt", kNotoSerif + "\n");
    // Nothing changes until the host enumerates again.
    EXPECT_THAT(MissingNames(list), ElementsAre("NotoSerif-Regular", "URWGothic-Book"));
    list.Enumerate();
    EXPECT_THAT(MissingNames(list), ElementsAre("URWGothic-Book"));
    EXPECT_EQ(list.Find("NotoSerif-Regular")->origin, FontOrigin::Activated);

    Install(kGothic);
    list.Enumerate();
    EXPECT_THAT(MissingNames(list), IsEmpty());
    const FontEntry* gothic = list.Find("URWGothic-Book");
    ASSERT_NE(gothic, nullptr);
    EXPECT_EQ(gothic->TechnologyCode(), 0);
    EXPECT_TRUE(gothic->face.openType);
}

TEST_F(FontListTest, EnumeratingAgainReadsOnlyNewOrChangedFiles) {
    FontList list(m_machine.Path().string());
    EXPECT_EQ(list.FilesReused(), 0u);
    list.Enumerate();
    EXPECT_EQ(list.FilesReused(), 3u);  // the damaged file is not tried again either
    EXPECT_EQ(list.SkippedFiles().size(), 1u);

    // Another font under the same file name, and a file removed.
    const fs::path sans = m_machine.Path() / "Fonts" / "LiberationSans-Regular.ttf";
    fs::copy_file(kLiberation + "LiberationSerif-Bold.ttf", sans,
                  fs::copy_options::overwrite_existing);
    fs::remove(m_machine.Path() / "Fonts" / fs::path(kNimbus).filename());
    list.Enumerate();
    EXPECT_EQ(list.FilesReused(), 1u);
    EXPECT_THAT(Names(list), ElementsAre("LiberationSerif-Bold"));
}

TEST_F(FontListTest, ClosingADocumentDropsTheFontsOnlyItUsed) {
    FontList list(m_machine.Path().string());
    const std::string a =
        m_docs.Write("a.ps", samples::DscPostScript({"Shared", "OnlyA"}, {}, false, false));
    const std::string b =
        m_docs.Write("b.ps", samples::DscPostScript({"Shared"}, {}, false, false));
    ASSERT_TRUE(list.OpenDocument(a).ok());
    ASSERT_TRUE(list.OpenDocument(b).ok());
    EXPECT_THAT(MissingNames(list), ElementsAre("OnlyA", "Shared"));

    EXPECT_TRUE(list.CloseDocument(a));
    EXPECT_THAT(MissingNames(list), ElementsAre("Shared"));
    EXPECT_THAT(list.Find("Shared")->documents, ElementsAre(b));
    EXPECT_FALSE(list.CloseDocument(a));
    EXPECT_THAT(list.OpenDocuments(), ElementsAre(b));
}

TEST_F(FontListTest, ReopeningADocumentReadsItAnewAndAFailedOpenChangesNothing) {
    FontList list(m_machine.Path().string());
    const std::string path =
        m_docs.Write("doc.ps", samples::DscPostScript({"First-Version"}, {}, false, false));
    ASSERT_TRUE(list.OpenDocument(path).ok());
    m_docs.Write("doc.ps", samples::DscPostScript({"Second-Version"}, {}, false, false));
    // The same file reached by another spelling of its path.
    ASSERT_TRUE(list.OpenDocument((m_docs.Path() / "." / "doc.ps").string()).ok());
    EXPECT_THAT(MissingNames(list), ElementsAre("Second-Version"));
    EXPECT_EQ(list.OpenDocuments().size(), 1u);

    m_docs.Write("doc.ps", "");
    const auto failed = list.OpenDocument(path);
    EXPECT_FALSE(failed.ok());
    EXPECT_THAT(MissingNames(list), ElementsAre("Second-Version"));
    EXPECT_FALSE(list.OpenDocument(m_docs.File("absent.pdf")).ok());
    EXPECT_EQ(list.OpenDocuments().size(), 1u);
}

TEST_F(FontListTest, FontsGivenDirectlyReplaceTheMachinesAndDecideWhatIsMissing) {
    FontList list(m_machine.Path().string());
    list.SetDocumentFonts(m_docs.File("a.eps"), {"Zeta-Bold", "Liberation Sans", "alpha"});
    ASSERT_THAT(MissingNames(list), ElementsAre("alpha", "Zeta-Bold"));

    auto font = [](const std::string& postScript, const std::string& family) {
        host::MachineFont f;
        f.face.postScriptName = postScript;
        f.face.familyName = family;
        return f;
    };
    list.SetMachineFonts({font("zeta-bold", "Zeta"), font("Beta", "Beta")});
    // Sorted as an enumeration leaves them; the files read before are gone, and
    // a document font is present by any of the given names.
    EXPECT_THAT(Names(list), ElementsAre("Beta", "zeta-bold", "alpha", "Liberation Sans"));
    EXPECT_EQ(list.MachineFontCount(), 2u);
    EXPECT_EQ(list.FilesRead(), 0u);
    EXPECT_THAT(list.SkippedFiles(), IsEmpty());
    EXPECT_FALSE(list.Find("Zeta-Bold")->missing);
    EXPECT_TRUE(list.Find("alpha")->missing);

    // Enumerating reads the folder again.
    list.Enumerate();
    EXPECT_THAT(MissingNames(list), ElementsAre("alpha", "Zeta-Bold"));
}

TEST_F(FontListTest, NamesDifferingInCaseBlanksOrHyphensAreOneFont) {
    FontList list(m_machine.Path().string());
    list.SetDocumentFonts("one", {"Liberation-Sans", "liberationsans", "Nimbus Sans,Regular",
                                  "Foo-Bar", "FooBar", "foo bar", "LiberationSans-Bold"});
    // Another style of an installed family is still missing.
    EXPECT_THAT(MissingNames(list), ElementsAre("Foo-Bar", "LiberationSans-Bold"));
    EXPECT_EQ(list.Find("- -"), nullptr);
}

TEST(FontNameKey, FoldsCaseAndDropsSeparators) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Arial,Bold", "Arial-Bold", true},   {"Arial Bold", "arialbold", true},
        {"DejaVu Sans", "DejaVuSans", true},  {"Helvetica", "Helvetica-Bold", false},
        {"Caf\xC3\xA9", "CAF\xC3\xA9", true}, {"Caf\xC3\xA9", "Cafe", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FontNameKey(c.a) == FontNameKey(c.b), c.same) << c.a << " / " << c.b;
    }
}

}  // namespace
