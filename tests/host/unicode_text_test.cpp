// The host's one set of UTF conversions.
#include "host/text/unicode_text.h"

#include <gtest/gtest.h>

#include "host/text_encoding.h"
#include "platform/emu/control.h"

namespace {

TEST(UnicodeText, CodePointsOutsideUnicodeBecomeTheReplacementCharacter) {
    const struct {
        char32_t in;
        const char* out;
    } cases[] = {
        {U'A', "A"},
        {0xE9, "\xC3\xA9"},
        {0x20AC, "\xE2\x82\xAC"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0, "\xEF\xBF\xBD"},
        {0xD800, "\xEF\xBF\xBD"},
        {0xDFFF, "\xEF\xBF\xBD"},
        {0x110000, "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) EXPECT_EQ(host::EncodeCodePoint(c.in), c.out) << c.in;
}

TEST(UnicodeText, UnpairedSurrogatesAndInvalidUtf8AreReplaced) {
    EXPECT_EQ(host::EncodeUtf8(std::u16string(u"a") + char16_t(0xD800) + u"b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(host::DecodeUtf8("a\xFF"
                               "b",
                               3),
              u"a\uFFFDb");
    EXPECT_EQ(host::DecodeUtf8("\xF0\x9F\x98\x80", 4), u"\U0001F600");
}

TEST(UnicodeText, BigEndianUtf16FromFontFiles) {
    const unsigned char bytes[] = {0x00, 'A', 0xD8, 0x3D, 0xDE, 0x00, 0x30};
    EXPECT_EQ(host::DecodeUtf16Be(bytes, sizeof bytes), u"A\U0001F600") << "odd byte dropped";
}

TEST(UnicodeText, NarrowTextFollowsTheThreadCodePage) {
    EmuSetThreadCodePage(932);
    EXPECT_EQ(host::EncodeUtf8(host::DecodeThreadAnsi("\x96\xBE\x92\xA9", 4)),
              "\xE6\x98\x8E\xE6\x9C\x9D");
    EmuSetThreadCodePage(1252);
    EXPECT_EQ(host::EncodeUtf8(host::DecodeThreadAnsi("\x80", 1)), "\xE2\x82\xAC");
}

}  // namespace
