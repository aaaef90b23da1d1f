#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

// Converts the whole of `bytes` (explicit length) with flags 0, through a size query.
std::u16string ToWide(UINT codePage, const std::string& bytes, DWORD flags = 0) {
    const int size = MultiByteToWideChar(codePage, flags, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    if (size == 0) return u"<fail>";
    std::u16string out(static_cast<size_t>(size), 0);
    EXPECT_EQ(size, MultiByteToWideChar(codePage, flags, bytes.data(),
                                        static_cast<int>(bytes.size()), &out[0], size));
    return out;
}

std::string ToNarrow(UINT codePage, const std::u16string& text, LPCCH defaultChar = nullptr,
                     BOOL* used = nullptr, DWORD flags = 0) {
    const int size = WideCharToMultiByte(
        codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, defaultChar, used);
    if (size == 0) return "<fail>";
    std::string out(static_cast<size_t>(size), 0);
    EXPECT_EQ(size, WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()),
                                        &out[0], size, defaultChar, used));
    return out;
}

struct DecodeCase {
    UINT codePage;
    std::string bytes;
    std::u16string expected;
};

TEST(MultiByteToWideChar, DecodesEachCodePageAndReplacesInvalidInput) {
    const DecodeCase cases[] = {
        {1252, "Caf\xE9 \x80", u"Caf\u00E9 \u20AC"},
        // The five bytes 1252 leaves undefined keep their value.
        {1252, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
        {1250, "\x8A\xE8", u"\u0160\u010D"},
        {1250, "\x81\x83", u"\u0081\u0083"},
        {1251, "\xC0\xFF", u"\u0410\u044F"},
        {1251, "\x98", u"\u0098"},
        // iconv holds these letters back to combine them with a mark that may follow;
        // each still maps to its own character.
        {1255, "\xE0\xFA\xF7", u"\u05D0\u05EA\u05E7"},
        {1258,
         "\xC3\xD0\xE3"
         "a",
         u"\u0102\u0110\u0103a"},
        {932, "\x82\xA0\x83\x41\xB1", u"\u3042\u30A2\uFF71"},
        {932, "a\x5C", u"a\\"},
        // A lead byte without its trail byte, at the end or before a byte that cannot
        // follow it; the following byte is converted on its own.
        {932, "\x82", u"\u30FB"},
        {932, "\x82 x", u"\u30FB x"},
        {CP_UTF8, "\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u20AC\U0001F600"},
        {CP_UTF8,
         "a\xFF"
         "b",
         u"a\uFFFDb"},
        {CP_UTF8, "\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
        {CP_UTF8, "\xE2\x82", u"\uFFFD"},                            // truncated: one replacement
        {CP_UTF8, "\xE2\x82z", u"\uFFFDz"},                          // interrupted
        {CP_UTF8, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
        {CP_UTF8, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {CP_UTF8, "\x80", u"\uFFFD"},                                // stray continuation
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToWide(c.codePage, c.bytes), c.expected)
            << "code page " << c.codePage << ", bytes of length " << c.bytes.size();
}

struct EncodeCase {
    UINT codePage;
    std::u16string text;
    std::string expected;
    bool usesDefault;
};

TEST(WideCharToMultiByte, EncodesEachCodePageAndMarksTheDefaultCharacter) {
    const EncodeCase cases[] = {
        {1252, u"Caf\u00E9 \u20AC", "Caf\xE9 \x80", false},
        {1252, u"\u0081\u009D", "\x81\x9D", false},
        {1252, u"\u0100x", "?x", true},     // a character 1252 lacks
        {1252, u"\U0001F600", "??", true},  // each half of the pair
        {1250, u"\u0160", "\x8A", false},
        {1251, u"\u0416\u0100", "\xC6?", true},
        {1255, u"\u05D0\u05EA", "\xE0\xFA", false},
        {1258, u"\u0102\u0110", "\xC3\xD0", false},
        {932, u"\u3042\uFF71a",
         "\x82\xA0\xB1"
         "a",
         false},
        {932, u"\u20AC", "?", true},
    };
    for (const auto& c : cases) {
        BOOL used = -5;
        EXPECT_EQ(ToNarrow(c.codePage, c.text, nullptr, &used), c.expected) << c.codePage;
        EXPECT_EQ(used, c.usesDefault ? TRUE : FALSE) << c.codePage;
    }
}

TEST(WideCharToMultiByte, HonoursTheGivenDefaultCharacter) {
    BOOL used = FALSE;
    EXPECT_EQ(ToNarrow(1252, u"a\u0100b", "*", &used), "a*b");
    EXPECT_TRUE(used);
    EXPECT_EQ(ToNarrow(1252, u"\u0100", nullptr, nullptr), "?") << "the flag may be omitted";
    // A double-byte default character in a double-byte code page.
    EXPECT_EQ(ToNarrow(932, u"\u20AC", "\x81\x45", &used), "\x81\x45");
}

TEST(WideCharToMultiByte, Utf8ReplacesUnpairedSurrogatesAndRefusesDefaultCharacters) {
    EXPECT_EQ(ToNarrow(CP_UTF8, u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ToNarrow(CP_UTF8, std::u16string{0xD800, u'a'}),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(ToNarrow(CP_UTF8, std::u16string{0xDC00}), "\xEF\xBF\xBD");
    EXPECT_EQ(ToNarrow(CP_UTF8, std::u16string{u'a', 0xD83D}), "a\xEF\xBF\xBD");

    SetLastError(0);
    EXPECT_EQ(ToNarrow(CP_UTF8, std::u16string{0xD800}, nullptr, nullptr, WC_ERR_INVALID_CHARS),
              "<fail>");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    BOOL used;
    EXPECT_EQ(ToNarrow(CP_UTF8, u"x", nullptr, &used), "<fail>");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ToNarrow(CP_UTF8, u"x", "?", nullptr), "<fail>");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Conversion, StrictFlagTurnsInvalidInputIntoFailure) {
    SetLastError(0);
    EXPECT_EQ(ToWide(CP_UTF8, "a\xFF", MB_ERR_INVALID_CHARS), u"<fail>");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(ToWide(932, "\x82", MB_ERR_INVALID_CHARS), u"<fail>");
    EXPECT_EQ(ToWide(CP_UTF8, "\xE2\x82\xAC", MB_ERR_INVALID_CHARS), u"\u20AC");
}

TEST(Conversion, SurrogatePairsSurviveARoundTripThroughUtf8) {
    const std::u16string text = u"a\U0001F600b\U00010000\U0010FFFF\u00E9";
    EXPECT_EQ(ToWide(CP_UTF8, ToNarrow(CP_UTF8, text)), text);
}

TEST(Conversion, EverySingleByteRoundTripsInSingleByteCodePages) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    for (UINT codePage : {1250u, 1251u, 1252u}) {
        const std::u16string wide = ToWide(codePage, all);
        ASSERT_EQ(wide.size(), all.size()) << codePage;
        EXPECT_EQ(ToNarrow(codePage, wide), all) << codePage;
    }
}

TEST(Conversion, MinusOneIncludesTheTerminatorAndExplicitLengthsDoNot) {
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "", -1, nullptr, 0), 1);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"", -1, nullptr, 0, nullptr, nullptr), 1);
    // Zeros inside an explicit length are converted like any character.
    EXPECT_EQ(ToWide(1252, std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    EXPECT_EQ(ToNarrow(CP_UTF8, std::u16string(u"a\0b", 3)), std::string("a\0b", 3));

    WCHAR wide[8];
    ASSERT_EQ(MultiByteToWideChar(1252, 0, "", -1, wide, 8), 1);
    EXPECT_EQ(wide[0], 0);
    char narrow[8];
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, narrow, 8, nullptr, nullptr), 4);
    EXPECT_STREQ(narrow, "\xE2\x82\xAC");
}

TEST(Conversion, TooSmallBufferFailsAndWritesNothing) {
    constexpr WCHAR kGuard = 0xA5A5;
    for (int capacity : {1, 3}) {
        std::vector<WCHAR> buffer(8, kGuard);
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(1252, 0, "abcd", -1, buffer.data(), capacity), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        for (WCHAR unit : buffer) EXPECT_EQ(unit, kGuard);
    }
    std::vector<WCHAR> exact(6, kGuard);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abcd", -1, exact.data(), 5), 5);
    EXPECT_EQ(exact[5], kGuard);

    // A double-byte character does not fit into the last single byte left.
    std::vector<char> narrow(6, '#');
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(932, 0, u"ab\u3042", 3, narrow.data(), 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    for (char c : narrow) EXPECT_EQ(c, '#');
    std::vector<char> utf8(5, '#');
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\U0001F600", -1, utf8.data(), 4, nullptr, nullptr),
              0);
    for (char c : utf8) EXPECT_EQ(c, '#');
}

struct BadCall {
    const char* what;
    UINT codePage;
    DWORD flags;
    const char* source;
    int sourceBytes;
    bool withTarget;
    int targetUnits;
    DWORD error;
};

TEST(Conversion, BadArgumentsFailWithTheDocumentedError) {
    const BadCall calls[] = {
        {"null source", 1252, 0, nullptr, -1, false, 0, ERROR_INVALID_PARAMETER},
        {"zero source length", 1252, 0, "a", 0, false, 0, ERROR_INVALID_PARAMETER},
        {"source length below -1", 1252, 0, "a", -2, false, 0, ERROR_INVALID_PARAMETER},
        {"negative capacity", 1252, 0, "a", -1, true, -1, ERROR_INVALID_PARAMETER},
        {"null target with capacity", 1252, 0, "a", -1, false, 4, ERROR_INVALID_PARAMETER},
        {"unknown code page", 12345, 0, "a", -1, false, 0, ERROR_INVALID_PARAMETER},
        {"unsupported UTF-7", CP_UTF7, 0, "a", -1, false, 0, ERROR_INVALID_PARAMETER},
        {"UTF-8 with precomposed flag", CP_UTF8, MB_PRECOMPOSED, "a", -1, false, 0,
         ERROR_INVALID_FLAGS},
        {"unknown flag", 1252, 0x100, "a", -1, false, 0, ERROR_INVALID_FLAGS},
    };
    for (const auto& c : calls) {
        WCHAR target[4];
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(c.codePage, c.flags, c.source, c.sourceBytes,
                                      c.withTarget ? target : nullptr, c.targetUnits),
                  0)
            << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    SetLastError(0);
    EXPECT_EQ(
        WideCharToMultiByte(1252, WC_ERR_INVALID_CHARS, u"a", -1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    EXPECT_EQ(WideCharToMultiByte(1252, 0, nullptr, -1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(ThreadCodePage, EveryListedCodePageIsAvailable) {
    for (UINT codePage : {437u, 850u, 852u, 866u, 874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u,
                          1253u, 1254u, 1255u, 1256u, 1257u, 1258u, 65001u}) {
        EXPECT_TRUE(EmuSetThreadCodePage(codePage)) << codePage;
        EXPECT_EQ(ToWide(CP_THREAD_ACP, "A"), u"A") << codePage;
    }
    EXPECT_FALSE(EmuSetThreadCodePage(CP_UTF7));
    EXPECT_TRUE(EmuSetThreadCodePage(1252));
}

TEST(ThreadCodePage, IsPerThreadAndDefaultsTo1252) {
    EXPECT_EQ(EmuGetThreadCodePage(), 1252u);
    EXPECT_EQ(ToWide(CP_THREAD_ACP, "\xC0"), u"\u00C0");
    ASSERT_TRUE(EmuSetThreadCodePage(1251));
    EXPECT_EQ(ToWide(CP_THREAD_ACP, "\xC0"), u"\u0410");
    EXPECT_EQ(ToWide(CP_ACP, "\xC0"), u"\u00C0") << "the system code page stays";

    UINT other = 0;
    std::u16string otherText;
    std::thread([&] {
        other = EmuGetThreadCodePage();
        otherText = ToWide(CP_THREAD_ACP, "\xC0");
    }).join();
    EXPECT_EQ(other, 1252u);
    EXPECT_EQ(otherText, u"\u00C0");

    EXPECT_FALSE(EmuSetThreadCodePage(12345));
    EXPECT_EQ(EmuGetThreadCodePage(), 1251u);
    ASSERT_TRUE(EmuSetThreadCodePage(932));
    EXPECT_EQ(ToNarrow(CP_THREAD_ACP, u"\u3042"), "\x82\xA0");
    ASSERT_TRUE(EmuSetThreadCodePage(CP_UTF8));
    EXPECT_EQ(ToNarrow(CP_THREAD_ACP, u"\u3042"), "\xE3\x81\x82");
    ASSERT_TRUE(EmuSetThreadCodePage(1252));
}

}  // namespace
