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
        {"\xC3\x84gypten Bold", "\xC3\x84gyptenbold"},  // non-ASCII left alone
        {"Tab\tName", "tab\tname"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(glyvor::NormaliseName(c.name), c.key) << c.name;
    }
}

TEST(IsRegularStyle, KnowsTheStylesAHostLeavesOut) {
    for (const char* style : {"Regular", "ROMAN", "Normal", "Book", "plain", ""}) {
        EXPECT_TRUE(glyvor::IsRegularStyle(style)) << style;
    }
    for (const char* style : {"Bold", "Italic", "Regular Italic", "ExtraLight"}) {
        EXPECT_FALSE(glyvor::IsRegularStyle(style)) << style;
    }
}

}  // namespace
