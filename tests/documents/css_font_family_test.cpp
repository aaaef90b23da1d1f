#include "documents/css_font_family.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using host::FamiliesInDeclarations;
using host::FamiliesInStyleSheet;
using host::FamilyListOfFontShorthand;
using host::FirstSpecificFamily;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CssFontFamily, FirstFamilyThatIsNotGenericIsTaken) {
    const struct {
        const char* value;
        const char* family;
    } cases[] = {
        {"A, 'B C', serif", "A"},
        {"serif, 'B C', A", "B C"},
        {"  Gill   Sans  MT , sans-serif", "Gill Sans MT"},
        {"\"Noto Sans\"", "Noto Sans"},
        {"'serif'", "serif"},  // quoted: a family that happens to be named so
        {"SERIF, Monospace, system-ui", ""},
        {"inherit", ""},
        {"Foo !important", "Foo"},
        {"'', Bar", "Bar"},
        {"'It\\'s', x", "It's"},
        {"\\46 oo", "Foo"},  // CSS hex escape
        {"'Comma, Inside', Other", "Comma, Inside"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FirstSpecificFamily(c.value), c.family) << c.value;
}

TEST(CssFontFamily, ShorthandFamiliesFollowTheSize) {
    const struct {
        const char* value;
        const char* families;
    } cases[] = {
        {"12px Foo", "Foo"},
        {"italic bold 12px/30px Georgia, serif", "Georgia, serif"},
        {"bold 700 1.2em / 1.5 'My Font', serif", "'My Font', serif"},
        {"small-caps large Bar", "Bar"},
        {"caption", ""},
        {"bold Foo", ""},  // no size: not a valid shorthand
        {"100% Baz", "Baz"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FamilyListOfFontShorthand(c.value), c.families) << c.value;
}

TEST(CssFontFamily, DeclarationsNameFamilyAndShorthand) {
    EXPECT_THAT(FamiliesInDeclarations(
                    "fill:red; FONT-FAMILY: 'A B', serif;font:bold 10pt C;/* font-family: D */"),
                ElementsAre("A B", "C"));
    EXPECT_THAT(FamiliesInDeclarations("font-family"), IsEmpty());
    EXPECT_THAT(FamiliesInDeclarations("content: 'a;b'; font-family: E"), ElementsAre("E"));
}

TEST(CssFontFamily, StyleSheetRulesCountButFontFaceDoesNot) {
    const char* sheet =
        "/* font-family: Commented */\n"
        "@import url('x.css');\n"
        "@font-face { font-family: 'Supplied'; src: url(s.woff); }\n"
        "text.a { font-family: 'Rule One', serif }\n"
        "@media print { .b { font: 9pt 'In Media' } }\n"
        ".c::before { content: '}'; font-family: AfterBrace }\n"
        ".d { font-family: Unclosed";
    EXPECT_THAT(FamiliesInStyleSheet(sheet),
                ElementsAre("Rule One", "In Media", "AfterBrace", "Unclosed"));
}

}  // namespace
