#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "documents/document_fonts.h"
#include "samples/text_documents.h"
#include "TempFolder.h"

namespace {

using host::DocumentKind;
using host::ReadDocumentFonts;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(SvgFonts, AttributesStylesAndStyleSheetsAreRead) {
    TempFolder dir;
    const std::string svg = samples::SvgWithFamilies(
        {"'Liberation Serif', serif", "Orvinda Display, 'Liberation Sans', sans-serif",
         "'Liberation Serif'"},
        ".t { font: italic 14px/1.2 'Kestrel Grotesk', sans-serif }");
    const auto result = ReadDocumentFonts(dir.Write("sample.svg", svg));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, DocumentKind::Svg);
    EXPECT_THAT(result.fonts,
                ElementsAre("Kestrel Grotesk", "Liberation Serif", "Orvinda Display"));
}

TEST(SvgFonts, NestedElementsStyleAttributesAndSvgFontsAreHandled) {
    TempFolder dir;
    const std::string svg =
        "<svg xmlns='http://www.w3.org/2000/svg'><defs><font><font-face font-family='SvgFont'/>"
        "</font></defs><g font-family='Outer'><g><g><text style='fill:#000;font-family:\"Deep "
        "One\"'>x<tspan font-family='Span &amp; Co'>y</tspan></text></g></g></g>"
        "<style>text { font-family: Outer }</style></svg>";
    const auto result = ReadDocumentFonts(dir.Write("nested.svg", svg));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("Outer", "Deep One", "Span & Co"));
}

TEST(SvgFonts, ExternalEntitiesAreNeverLoaded) {
    TempFolder dir;
    // Were the entity loaded, the style sheet would name this family.
    dir.Write("secret.txt", "text { font-family: SecretFamily }");
    const std::string svg = "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY x SYSTEM 'file://" +
                            dir.File("secret.txt") +
                            "'>]><svg xmlns='http://www.w3.org/2000/svg'><text "
                            "font-family='A'>&x;</text><style>&x;</style></svg>";
    const auto result = ReadDocumentFonts(dir.Write("xxe.svg", svg));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_THAT(result.fonts, ElementsAre("A"));
}

TEST(SvgFonts, BrokenOrForeignXmlIsRefused) {
    TempFolder dir;
    const struct {
        const char* name;
        const char* content;
        const char* expected;
    } cases[] = {
        {"unclosed.svg", "<svg xmlns='http://www.w3.org/2000/svg'><text font-family='A'>",
         "not well-formed"},
        {"truncated.svg", "<?xml version='1.0'?>\n<svg><text font-fam", "not well-formed"},
        {"html.svg", "<?xml version='1.0'?><html><body/></html>", "root element is <html>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = ReadDocumentFonts(dir.Write(c.name, c.content));
        EXPECT_FALSE(result.ok());
        EXPECT_THAT(result.error, HasSubstr(c.expected));
        EXPECT_THAT(result.fonts, IsEmpty());
    }
}

}  // namespace
