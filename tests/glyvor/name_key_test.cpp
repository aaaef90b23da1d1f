#include "glyvor/name_key.h"

#include <gtest/gtest.h>

namespace {

TEST(NormaliseName, FoldsAsciiCaseAndDropsSpacesHyphensUnderscores) {
    const struct {
        const char* name;
        const char* key;
    } cases[] = {
        {"LiberationSans-Bold", "liberationsansbold"},
        {"Liberation Sans_Bold", "liberationsansbold"},
        {" --__ ", ""},
        {"", ""},
        {"Arial,Bold", "arial,bold"},  // commas are not separators
        {"Noto.Sans", "noto.sans"},
        {"Tab\tName", "tab\tname"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(glyvor::NormaliseName(c.name), c.key) << c.name;
    }
}

// Keys the Windows edition must give too (see name_folding.h).
TEST(NormaliseName, FoldsUnicodeCaseWidthAndCompatibilityForms) {
    const struct {
        const char* name;
        const char* key;
    } cases[] = {
        {"\xC3\x84gypten Bold", "\xC3\xA4gyptenbold"},  // Ä
        {u8"IPAゴシック", u8"ipaゴシック"},
        {u8"ＩＰＡゴシック", u8"ipaゴシック"},    // full-width Latin
        {u8"ＩＰＡ　ゴシック", u8"ipaゴシック"},  // ideographic space
        {u8"IPAｺﾞｼｯｸ", u8"ipaゴシック"},          // half-width kana compose
        {u8"Ｌｉｂｅｒａｔｉｏｎ－Ｓａｎｓ＿Ｂｏｌｄ", "liberationsansbold"},
        {u8"ΣΊΣΥΦΟΣ", u8"σίσυφοσ"},
        {u8"ﬁne Sans", "finesans"},  // the ligature is a compatibility form
        {u8"Noto Sans ＣＪＫ ＪＰ", "notosanscjkjp"},
        {u8"游明朝 Demibold", u8"游明朝demibold"},
        {"\xFF"
         "Bold",
         "\xEF\xBF\xBD"
         "bold"},  // not UTF-8: U+FFFD
    };
    for (const auto& c : cases) {
        EXPECT_EQ(glyvor::NormaliseName(c.name), c.key) << c.name;
    }
}

TEST(IsRegularStyle, KnowsTheStylesAHostLeavesOut) {
    for (const char* style :
         {"Regular", "ROMAN", "Normal", "Book", "plain", "", u8"ＲＥＧＵＬＡＲ"}) {
        EXPECT_TRUE(glyvor::IsRegularStyle(style)) << style;
    }
    for (const char* style : {"Bold", "Italic", "Regular Italic", "ExtraLight"}) {
        EXPECT_FALSE(glyvor::IsRegularStyle(style)) << style;
    }
}

}  // namespace
