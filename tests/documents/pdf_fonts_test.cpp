// PDF documents made at test time, with cairo (real embedded subsets) and
// with qpdf (structures cairo does not write), and their fonts read back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include "documents/document_fonts.h"
#include "documents/font_name_list.h"
#include "samples/cairo_documents.h"
#include "TempFolder.h"

namespace {

using host::DocumentKind;
using host::ReadDocumentFonts;
using ::testing::ElementsAre;

const std::string kLiberationSans =
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
const std::string kLiberationSerifBold =
    "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf";
const std::string kNimbusType1 = "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1";
const std::string kGothicOpenType = "/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf";

QPDFObjectHandle Parse(const std::string& text) { return QPDFObjectHandle::parse(text); }

// Builds a one-page PDF with qpdf; `setUp` fills the page (and the document).
std::string WriteQpdf(const TempFolder& dir, const std::string& name,
                      const std::function<void(QPDF&, QPDFObjectHandle&)>& setUp,
                      const std::function<void(QPDFWriter&)>& configure = {}) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle page =
        pdf.makeIndirectObject(Parse("<< /Type /Page /MediaBox [0 0 200 200] /Resources << >> >>"));
    page.replaceKey("/Contents", pdf.newStream(std::string("BT ET")));
    setUp(pdf, page);
    pdf.addPage(page, false);
    const std::string path = dir.File(name);
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    if (configure) configure(writer);
    writer.write();
    return path;
}

QPDFObjectHandle Form(QPDF& pdf, QPDFObjectHandle resources) {
    QPDFObjectHandle form = pdf.newStream(std::string("q Q"));
    form.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    form.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    form.getDict().replaceKey("/BBox", Parse("[0 0 10 10]"));
    form.getDict().replaceKey("/Resources", resources);
    return form;
}

QPDFObjectHandle FontResources(const std::vector<std::string>& baseFonts) {
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    int n = 0;
    for (const std::string& base : baseFonts) {
        fonts.replaceKey("/F" + std::to_string(++n),
                         Parse("<< /Type /Font /Subtype /Type1 /BaseFont /" + base + " >>"));
    }
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", fonts);
    return resources;
}

TEST(PdfFonts, CairoSubsetsAreNamedWithoutTheirPrefixInOrderOfUse) {
    TempFolder dir;
    const std::string path = dir.File("cairo.pdf");
    std::string error;
    ASSERT_TRUE(samples::WriteCairoPdf(
        path, {kLiberationSans, kNimbusType1, kGothicOpenType, kLiberationSans}, error))
        << error;
    // The file really carries subset tags.
    ASSERT_NE(ReadFile(path).find("+LiberationSans"), std::string::npos);

    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, DocumentKind::Pdf);
    EXPECT_THAT(result.fonts,
                ElementsAre("LiberationSans", "NimbusSans-Regular", "URWGothic-Book"));
    ASSERT_EQ(result.traits.size(), 3u);
    EXPECT_EQ(result.traits[0].outlines, host::FontOutlines::TrueType);
    EXPECT_EQ(result.traits[1].outlines, host::FontOutlines::Type1);
    EXPECT_EQ(result.traits[2].outlines, host::FontOutlines::Type1);  // CFF
}

TEST(PdfFonts, FontsOnLaterPagesAndInsideFormsAreFoundOnce) {
    TempFolder dir;
    const std::string path = dir.File("groups.ai");
    samples::CairoDocumentOptions options;
    options.textInGroup = true;
    options.pagePerFont = true;
    std::string error;
    ASSERT_TRUE(samples::WriteCairoPdf(
        path, {kLiberationSerifBold, kNimbusType1, kLiberationSerifBold}, error, options))
        << error;
    ASSERT_NE(ReadFile(path).find("/Form"), std::string::npos);

    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("LiberationSerif-Bold", "NimbusSans-Regular"));
}

TEST(PdfFonts, TypeZeroFontIsNamedByItsDescendant) {
    TempFolder dir;
    const std::string path = WriteQpdf(dir, "type0.pdf", [](QPDF&, QPDFObjectHandle& page) {
        page.replaceKey(
            "/Resources",
            Parse("<< /Font << /F1 << /Type /Font /Subtype /Type0 "
                  "/BaseFont /QRSTUV+KozMinPro-Regular-Identity-H /Encoding /Identity-H "
                  "/DescendantFonts [ << /Type /Font /Subtype /CIDFontType0 "
                  "/BaseFont /QRSTUV+KozMinPro-Regular >> ] >>"
                  " /F2 << /Type /Font /Subtype /Type0 /BaseFont /HeiseiMin-W3-UniJIS-UCS2-H "
                  "/Encoding /UniJIS-UCS2-H /DescendantFonts [ ] >> >> >>"));
    });
    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    // Without a descendant, the CMap's name is taken off the Type 0 name.
    EXPECT_THAT(result.fonts, ElementsAre("KozMinPro-Regular", "HeiseiMin-W3"));
    ASSERT_EQ(result.traits.size(), 2u);
    EXPECT_EQ(result.traits[0].outlines, host::FontOutlines::Type1);
    EXPECT_TRUE(result.traits[0].cidKeyed);
    EXPECT_EQ(result.traits[1].outlines, host::FontOutlines::Unknown);
    EXPECT_FALSE(result.traits[1].cidKeyed);
}

TEST(PdfFonts, NestedFormsWithACycleAreReadOnce) {
    TempFolder dir;
    const std::string path = WriteQpdf(dir, "cycle.pdf", [](QPDF& pdf, QPDFObjectHandle& page) {
        QPDFObjectHandle outerRes = FontResources({"Outer-Font"});
        QPDFObjectHandle innerRes = FontResources({"ABCDEF+Inner-Font"});
        QPDFObjectHandle outer = Form(pdf, outerRes);
        QPDFObjectHandle inner = Form(pdf, innerRes);
        outerRes.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        outerRes.getKey("/XObject").replaceKey("/In", inner);
        innerRes.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        innerRes.getKey("/XObject").replaceKey("/Out", outer);  // the cycle
        QPDFObjectHandle pageRes = FontResources({"Page-Font"});
        pageRes.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        pageRes.getKey("/XObject").replaceKey("/Fm", outer);
        page.replaceKey("/Resources", pageRes);
    });
    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("Page-Font", "Outer-Font", "Inner-Font"));
}

TEST(PdfFonts, FormsNestedBeyondAnyDrawingAreRefused) {
    TempFolder dir;
    auto chain = [](int depth) {
        return [depth](QPDF& pdf, QPDFObjectHandle& page) {
            QPDFObjectHandle resources = FontResources({"Deepest-Font"});
            for (int i = 0; i < depth; ++i) {
                QPDFObjectHandle outer = QPDFObjectHandle::newDictionary();
                outer.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
                outer.getKey("/XObject").replaceKey("/Fm", Form(pdf, resources));
                resources = outer;
            }
            page.replaceKey("/Resources", resources);
        };
    };
    const auto shallow = ReadDocumentFonts(WriteQpdf(dir, "shallow.pdf", chain(50)));
    ASSERT_TRUE(shallow.ok()) << shallow.error;
    EXPECT_THAT(shallow.fonts, ElementsAre("Deepest-Font"));

    const auto deep = ReadDocumentFonts(WriteQpdf(dir, "deep.pdf", chain(300)));
    EXPECT_FALSE(deep.ok());
    EXPECT_NE(deep.error.find("nested too deeply"), std::string::npos) << deep.error;
}

TEST(PdfFonts, AnnotationAppearancesPatternsAndTypeThreeResourcesCount) {
    TempFolder dir;
    const std::string path = WriteQpdf(dir, "annots.pdf", [](QPDF& pdf, QPDFObjectHandle& page) {
        QPDFObjectHandle normal = Form(pdf, FontResources({"Appearance-Normal"}));
        QPDFObjectHandle down = Form(pdf, FontResources({"Appearance-Down"}));
        QPDFObjectHandle annot = Parse("<< /Type /Annot /Subtype /Widget /Rect [0 0 10 10] >>");
        QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
        ap.replaceKey("/N", normal);
        ap.replaceKey("/D", QPDFObjectHandle::newDictionary());
        ap.getKey("/D").replaceKey("/On", down);
        annot.replaceKey("/AP", ap);
        page.replaceKey("/Annots", QPDFObjectHandle::newArray());
        page.getKey("/Annots").appendItem(pdf.makeIndirectObject(annot));

        QPDFObjectHandle pattern = Form(pdf, FontResources({"Pattern-Font"}));
        pattern.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Pattern"));
        pattern.getDict().replaceKey("/PatternType", QPDFObjectHandle::newInteger(1));
        QPDFObjectHandle res = Parse(
            "<< /Font << /T3 << /Type /Font /Subtype /Type3 /Resources << /Font << /G << "
            "/Type /Font /Subtype /Type1 /BaseFont /Inside-Type3 >> >> >> >> >> >>");
        res.replaceKey("/Pattern", QPDFObjectHandle::newDictionary());
        res.getKey("/Pattern").replaceKey("/P1", pattern);
        page.replaceKey("/Resources", res);
    });
    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("Inside-Type3", "Pattern-Font", "Appearance-Normal",
                                          "Appearance-Down"));
}

TEST(PdfFonts, ResourcesInheritedFromThePageTreeCount) {
    TempFolder dir;
    QPDF pdf;
    pdf.emptyPDF();
    pdf.addPage(pdf.makeIndirectObject(Parse("<< /Type /Page /MediaBox [0 0 200 200] >>")), false);
    // Set after the page is added: adding pushes inherited attributes down.
    pdf.getRoot().getKey("/Pages").replaceKey("/Resources", FontResources({"Inherited-Font"}));
    const std::string path = dir.File("inherit.pdf");
    QPDFWriter writer(pdf, path.c_str());
    writer.write();
    ASSERT_EQ(ReadFile(path).find("/Resources"), ReadFile(path).rfind("/Resources"));

    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("Inherited-Font"));
}

TEST(PdfFonts, NamesThatAreNotUtf8AreReadAsLatin1) {
    TempFolder dir;
    const std::string path = WriteQpdf(dir, "latin1.pdf", [](QPDF&, QPDFObjectHandle& page) {
        page.replaceKey("/Resources", FontResources({"Caf#E9-Bold"}));
    });
    const auto result = ReadDocumentFonts(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("Caf\xC3\xA9-Bold"));
}

TEST(PdfFonts, EncryptedWithAPasswordIsRefused) {
    TempFolder dir;
    auto page = [](QPDF&, QPDFObjectHandle& p) {
        p.replaceKey("/Resources", FontResources({"Secret-Font"}));
    };
    const std::string locked = WriteQpdf(dir, "locked.pdf", page, [](QPDFWriter& w) {
        w.setR6EncryptionParameters("user", "owner", true, true, true, true, true, true,
                                    qpdf_r3p_full, true);
    });
    const auto refused = ReadDocumentFonts(locked);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.error.find("encrypted"), std::string::npos) << refused.error;
    EXPECT_TRUE(refused.fonts.empty());

    // Encrypted with an owner password only: anyone may open it.
    const std::string open = WriteQpdf(dir, "owner-only.pdf", page, [](QPDFWriter& w) {
        w.setR6EncryptionParameters("", "owner", true, true, true, true, true, true, qpdf_r3p_full,
                                    true);
    });
    const auto opened = ReadDocumentFonts(open);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_THAT(opened.fonts, ElementsAre("Secret-Font"));
}

TEST(PdfFonts, DamagedAndTruncatedFilesAreRefusedWithTheirReason) {
    TempFolder dir;
    const std::string good = dir.File("good.pdf");
    std::string error;
    ASSERT_TRUE(samples::WriteCairoPdf(good, {kLiberationSans}, error)) << error;
    const std::string bytes = ReadFile(good);

    std::string badXref = bytes;
    const auto startxref = badXref.rfind("startxref");
    ASSERT_NE(startxref, std::string::npos);
    badXref.replace(startxref + 10, 3, "999");

    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"truncated.pdf", bytes.substr(0, bytes.size() / 2)},
        {"header-only.pdf", "%PDF-1.5\n"},
        {"bad-xref.pdf", badXref},
        {"garbage.pdf", "%PDF-1.4\n1 0 obj << /Type /Catalog >> garbage\n%%EOF\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Write(c.name, c.content);
        const auto result = ReadDocumentFonts(path);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.kind, DocumentKind::Pdf);
        EXPECT_EQ(result.error.rfind(path + ": the PDF", 0), 0u) << result.error;
        EXPECT_TRUE(result.fonts.empty());
    }
}

TEST(SubsetPrefix, OnlySixUpperCaseLettersAndAPlusAreRemoved) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"ABCDEF+Name", "Name"},
        {"ABCDEF+ABCDEF+Name", "ABCDEF+Name"},
        {"ABCDEf+Name", "ABCDEf+Name"},
        {"ABCDE+Name", "ABCDE+Name"},
        {"ABCDEFG+Name", "ABCDEFG+Name"},
        {"ABC1EF+Name", "ABC1EF+Name"},
        {"ABCDEF+", "ABCDEF+"},
        {"ABCDEF-Name", "ABCDEF-Name"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(host::StripSubsetPrefix(c.in), c.out) << c.in;
}

}  // namespace
