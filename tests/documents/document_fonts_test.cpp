#include "documents/document_fonts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "documents/document_sniffer.h"
#include "samples/cairo_documents.h"
#include "samples/text_documents.h"
#include "TempFolder.h"

namespace {

using host::DocumentKind;
using host::ReadDocumentFonts;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kLiberationSans =
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

TEST(DocumentKind, ContentDecidesTheKind) {
    const struct {
        std::string content;
        DocumentKind kind;
    } cases[] = {
        {"%PDF-1.7\n", DocumentKind::Pdf},
        {"junk before the header %PDF-1.4\n", DocumentKind::Pdf},
        {"%!PS-Adobe-3.0\n", DocumentKind::PostScript},
        {"\x04%!PS\n", DocumentKind::PostScript},
        {std::string("\xC5\xD0\xD3\xC6", 4), DocumentKind::PostScript},
        {"<?xml version='1.0'?><svg/>", DocumentKind::Svg},
        {"\xEF\xBB\xBF\n  <svg/>", DocumentKind::Svg},
        {"PK\x03\x04", DocumentKind::Unknown},
        {"hello", DocumentKind::Unknown},
        {std::string(2000, ' ') + "%PDF-1.4", DocumentKind::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(host::SniffDocumentKind(c.content), c.kind) << c.content.substr(0, 40);
    }
}

TEST(DocumentKind, ExtensionsAllowTheirKinds) {
    EXPECT_TRUE(host::ExtensionAllows("a/b.PDF", DocumentKind::Pdf));
    EXPECT_TRUE(host::ExtensionAllows("old.ai", DocumentKind::PostScript));
    EXPECT_TRUE(host::ExtensionAllows("new.ai", DocumentKind::Pdf));
    EXPECT_FALSE(host::ExtensionAllows("x.ai", DocumentKind::Svg));
    EXPECT_FALSE(host::ExtensionAllows("x.eps", DocumentKind::Pdf));
    EXPECT_TRUE(host::ExtensionAllows("x.epsf", DocumentKind::PostScript));
    EXPECT_TRUE(host::ExtensionAllows("no-extension", DocumentKind::Svg));
    EXPECT_TRUE(host::ExtensionAllows("dir.pdf/file", DocumentKind::Svg));
    EXPECT_TRUE(host::ExtensionAllows("x.dat", DocumentKind::Pdf));
}

TEST(ReadDocumentFonts, AFileNamedAsAnotherKindIsRefused) {
    TempFolder dir;
    const std::string svg = samples::SvgWithFamilies({"Foo"});
    const std::string pdfPath = dir.File("real.pdf");
    std::string error;
    ASSERT_TRUE(samples::WriteCairoPdf(pdfPath, {kLiberationSans}, error)) << error;
    const std::string pdf = ReadFile(pdfPath);

    const struct {
        const char* name;
        std::string content;
        const char* expected;
    } cases[] = {
        {"drawing.pdf", svg, "named as PDF but holds SVG"},
        {"drawing.svg", pdf, "named as SVG but holds PDF"},
        {"drawing.eps", pdf, "named as PostScript but holds PDF"},
        {"notes.pdf", "just some text", "is not a PDF document"},
        {"notes.txt", "just some text", "not a PDF, PostScript or SVG document"},
        {"empty.svg", "", "the file is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Write(c.name, c.content);
        const auto result = ReadDocumentFonts(path);
        EXPECT_FALSE(result.ok());
        EXPECT_THAT(result.error, HasSubstr(path + ": "));
        EXPECT_THAT(result.error, HasSubstr(c.expected));
        EXPECT_THAT(result.fonts, IsEmpty());
    }
}

TEST(ReadDocumentFonts, AnUnknownExtensionIsReadByItsContent) {
    TempFolder dir;
    const auto result =
        ReadDocumentFonts(dir.Write("export.tmp", samples::SvgWithFamilies({"Foo"})));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, DocumentKind::Svg);
    EXPECT_THAT(result.fonts, ElementsAre("Foo"));

    const auto legacy = ReadDocumentFonts(
        dir.Write("legacy.ai", samples::DscPostScript({"Old-Font"}, {}, false, false)));
    ASSERT_TRUE(legacy.ok()) << legacy.error;
    EXPECT_EQ(legacy.kind, DocumentKind::PostScript);
    EXPECT_THAT(legacy.fonts, ElementsAre("Old-Font"));
}

TEST(ReadDocumentFonts, PathsThatCannotBeReadGiveAnError) {
    TempFolder dir;
    std::vector<std::string> paths = {"", dir.File("absent.pdf"), dir.Path().string(), "/dev/zero"};
    const std::string fifo = dir.File("pipe.pdf");
    if (mkfifo(fifo.c_str(), 0600) == 0) paths.push_back(fifo);
    const std::string locked = dir.Write("locked.pdf", "%PDF-1.4\n");
    if (geteuid() != 0) {  // root reads files whatever their mode
        chmod(locked.c_str(), 0);
        paths.push_back(locked);
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const auto result = ReadDocumentFonts(path);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.kind, DocumentKind::Unknown);
        EXPECT_FALSE(result.error.empty());
    }
}

}  // namespace
