#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "documents/document_fonts.h"
#include "samples/cairo_documents.h"
#include "samples/text_documents.h"
#include "TempFolder.h"

namespace {

using host::DocumentKind;
using host::ReadDocumentFonts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> FontsOf(const TempFolder& dir, const std::string& name,
                                 const std::string& content) {
    const auto result = ReadDocumentFonts(dir.Write(name, content));
    EXPECT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, DocumentKind::PostScript);
    return result.fonts;
}

TEST(PostScriptFonts, CairoEpsFontsAreFoundThroughItsResourceComments) {
    TempFolder dir;
    const std::string path = dir.File("cairo.eps");
    std::string error;
    ASSERT_TRUE(
        samples::WriteCairoEps(path,
                               {"/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
                                "/usr/share/fonts/type1/urw-base35/P052-Roman.t1"},
                               error))
        << error;
    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("LiberationMono", "P052-Roman"));
}

TEST(PostScriptFonts, HeaderListsWithContinuationsAreRead) {
    TempFolder dir;
    const std::string ps =
        "%!PS-Adobe-3.0\r\n"
        "%%DocumentFonts: Times-Roman Helvetica\r\n"
        "%%+ Courier\r\n"
        "%%DocumentNeededResources: procset Vector_Procs 1.0 0\r\n"
        "%%+ font Symbol (Gill Sans Light) font Helvetica\r\n"
        "%%+ encoding MacRoman\r\n"
        "%%DocumentSuppliedResources: font Embedded-Font\r\n"
        "%%Title: (not a font)\r\n"
        "%%+ Continues-The-Title\r\n"
        "%%EndComments\r\n"
        "/Times-Roman findfont\r\n";
    EXPECT_THAT(FontsOf(dir, "header.ps", ps),
                ElementsAre("Times-Roman", "Helvetica", "Courier", "Symbol", "Gill Sans Light",
                            "Embedded-Font"));
}

TEST(PostScriptFonts, AtEndListsAreTakenFromTheOutermostTrailer) {
    TempFolder dir;
    const std::string ps =
        samples::DscPostScript({"Needed-One", "Needed-Two"}, {"Supplied-One"}, true, true);
    EXPECT_THAT(FontsOf(dir, "atend.eps", ps),
                ElementsAre("Needed-One", "Needed-Two", "Supplied-One"));

    // An embedded document's trailer comes before the outer one.
    const std::string nested =
        "%!PS-Adobe-3.0\n%%DocumentNeededResources: (atend)\n%%EndComments\n"
        "%%BeginDocument: inner.eps\n%!PS-Adobe-3.0 EPSF-3.0\n%%Trailer\n"
        "%%DocumentNeededResources: font Inner-Only\n%%EndDocument\n"
        "%%Trailer\n%%DocumentNeededResources: font Outer-Font\n%%EOF\n";
    EXPECT_THAT(FontsOf(dir, "nested.ps", nested), ElementsAre("Outer-Font"));
}

TEST(PostScriptFonts, AtEndWithoutATrailerIsATruncatedFile) {
    TempFolder dir;
    std::string ps = samples::DscPostScript({"Lost-Font"}, {}, true, false);
    ps.resize(ps.find("%%Trailer"));
    const auto result = ReadDocumentFonts(dir.Write("cut.ps", ps));
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("(atend)"), std::string::npos) << result.error;
}

TEST(PostScriptFonts, DosEpsBinaryIsReadThroughItsPostScriptSection) {
    TempFolder dir;
    const std::string binary =
        samples::DosEpsBinary(samples::DscPostScript({"Boxed-Font"}, {}, false, true));
    EXPECT_THAT(FontsOf(dir, "dos.eps", binary), ElementsAre("Boxed-Font"));
}

TEST(PostScriptFonts, DamagedDosEpsHeadersAreRefused) {
    TempFolder dir;
    const std::string good = samples::DosEpsBinary(samples::DscPostScript({"X"}, {}, false, true));
    std::string pastEnd = good;
    pastEnd[11] = '\x7F';  // length far beyond the file
    std::string intoHeader = good;
    intoHeader[4] = '\x04';  // offset inside the header
    std::string notPostScript = good;
    notPostScript[30] = 'X';
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"short.eps", good.substr(0, 12)}, {"past-end.eps", pastEnd},
        {"into-header.eps", intoHeader},   {"truncated.eps", good.substr(0, good.size() - 10)},
        {"not-ps.eps", notPostScript},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = ReadDocumentFonts(dir.Write(c.name, c.content));
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.kind, DocumentKind::PostScript);
        EXPECT_THAT(result.fonts, IsEmpty());
    }
}

TEST(PostScriptFonts, ADocumentWithoutFontCommentsUsesNoFonts) {
    TempFolder dir;
    EXPECT_THAT(
        FontsOf(dir, "plain.ps", "%!PS\nnewpath 0 0 moveto 10 10 lineto stroke\nshowpage\n"),
        IsEmpty());
}

}  // namespace
