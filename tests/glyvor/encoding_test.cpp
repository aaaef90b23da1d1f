#include "glyvor/encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(Encoding, Utf16ToUtf8RefusesLoneSurrogates) {
    const struct {
        std::u16string in;
        bool ok;
        std::string out;
    } cases[] = {
        {u"", true, ""},
        {u"Abc", true, "Abc"},
        {u"\u00FC\u65E5", true, "\xC3\xBC\xE6\x97\xA5"},
        {u"\U0001F600", true, "\xF0\x9F\x98\x80"},
        {std::u16string(u"a\0b", 3), true, std::string("a\0b", 3)},
        {u"x\xD83D", false, ""},
        {u"\xDE00y", false, ""},
    };
    for (const auto& c : cases) {
        std::string out = "junk";
        EXPECT_EQ(glyvor::Utf16ToUtf8(c.in, &out), c.ok) << c.out;
        if (c.ok) {
            EXPECT_EQ(out, c.out);
            EXPECT_EQ(glyvor::Utf8ToUtf16(out), c.in);
        }
    }
}

TEST(Encoding, BadUtf8BytesBecomeReplacementCharacters) {
    EXPECT_EQ(glyvor::Utf8ToUtf16("a\xFF"
                                  "b"),
              u"a\uFFFDb");
    EXPECT_EQ(glyvor::Utf8ToUtf16("\xC3"), u"\uFFFD");  // cut short
    EXPECT_EQ(glyvor::Utf8ToUtf16("\xE9t\xE9"), u"\uFFFDt\uFFFD");
}

TEST(Encoding, NamesThatAreNotUtf8AreReadAsLatin1) {
    const struct {
        const char* in;
        bool utf8;
        const char* out;
    } cases[] = {
        {"", true, ""},
        {"Nimbus", true, "Nimbus"},
        {"Caf\xC3\xA9", true, "Caf\xC3\xA9"},
        {"Caf\xE9", false, "Caf\xC3\xA9"},
        {"\xA9 Foundry", false, "\xC2\xA9 Foundry"},
        {"\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xC2\x80"},  // an encoded surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(glyvor::IsUtf8(c.in), c.utf8) << c.in;
        EXPECT_EQ(glyvor::NameToUtf8(c.in), c.out) << c.in;
    }
}

}  // namespace
