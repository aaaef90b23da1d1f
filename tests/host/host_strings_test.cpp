#include <gtest/gtest.h>

#include <cstring>

#include "host/current_plugin.h"
#include "host/host.h"
#include "test_paths.h"

namespace {

constexpr ASErr kInjected = HostFourCC('F', 'A', 'I', 'L');

class HostStringsTest : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = host.LoadModule(host_test::ModulePath("good", "TestPluginA.aip"));
        ASSERT_NE(plugin, nullptr);
        scope = std::make_unique<host::CurrentPluginScope>(plugin);
        const void* table = nullptr;
        ASSERT_EQ(host.AcquireSuite(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion, &table),
                  kNoErr);
        s = static_cast<const AIUnicodeStringSuite6*>(table);
    }
    void TearDown() override {
        host.ReleaseSuite(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion);
        scope.reset();
    }
    std::u16string Read(const AIUnicodeString& string) {
        const ASUnicode* units = nullptr;
        const ASUInt32 n = s->GetUtf16(&string, &units);
        EXPECT_NE(units, nullptr);
        EXPECT_EQ(units[n], 0) << "not terminated";
        return std::u16string(reinterpret_cast<const char16_t*>(units), n);
    }
    AIUnicodeString Make(const char* text, ASInt32 encoding = kAIPlatformCharacterEncoding) {
        AIUnicodeString string{nullptr};
        EXPECT_EQ(s->Initialize(&string, text, static_cast<ASUInt32>(std::strlen(text)), encoding),
                  kNoErr);
        return string;
    }

    host::Host host;
    host::LoadedPlugin* plugin = nullptr;
    std::unique_ptr<host::CurrentPluginScope> scope;
    const AIUnicodeStringSuite6* s = nullptr;
};

TEST_F(HostStringsTest, NarrowTextIsDecodedInTheThreadCodePageOrUtf8) {
    struct Case {
        const char* name;
        std::string bytes;
        ASInt32 encoding;
        std::u16string expected;
    };
    const Case cases[] = {
        {"ASCII", "Show Lumaro Panel", 0, u"Show Lumaro Panel"},
        {"1252 letter", "Caf\xE9", 0, u"Caf\u00E9"},
        {"1252 euro and quotes", "\x80\x93x\x94", 0, u"\u20AC\u201Cx\u201D"},
        {"1252 undefined byte keeps its value", "\x81\x8D", 0, u"\u0081\u008D"},
        {"embedded zero with explicit length", std::string("a\0b", 3), 0,
         std::u16string(u"a\0b", 3)},
        {"empty", "", 0, u""},
        {"UTF-8", "Caf\xC3\xA9", 1, u"Caf\u00E9"},
        {"UTF-8 outside the BMP", "\xF0\x9F\x98\x80", 1, u"\U0001F600"},
        {"UTF-8 invalid byte", "a\xFFz", 1, u"a\uFFFDz"},
        {"UTF-8 truncated sequence", "a\xE2\x82", 1, u"a\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AIUnicodeString string{nullptr};
        ASSERT_EQ(s->Initialize(&string, c.bytes.data(), static_cast<ASUInt32>(c.bytes.size()),
                                c.encoding),
                  kNoErr);
        EXPECT_EQ(Read(string), c.expected);
        ASUInt32 length = 0;
        EXPECT_EQ(s->Length(&string, &length), kNoErr);
        EXPECT_EQ(length, c.expected.size());
        EXPECT_EQ(s->Destroy(&string), kNoErr);
        EXPECT_EQ(string.impl, nullptr);
    }
    EXPECT_EQ(host.Strings().LiveCount(), 0u);
}

TEST_F(HostStringsTest, BadArgumentsAreRefusedAndChangeNothing) {
    AIUnicodeString string{nullptr};
    EXPECT_EQ(s->Initialize(&string, "x", 1, 7), kBadParameterErr);
    EXPECT_EQ(string.impl, nullptr);
    EXPECT_EQ(s->Initialize(&string, nullptr, 3, 0), kBadParameterErr);
    EXPECT_EQ(s->Initialize(nullptr, "x", 1, 0), kBadParameterErr);
    // A null text of length 0 is an empty string.
    EXPECT_EQ(s->Initialize(&string, nullptr, 0, 0), kNoErr);
    EXPECT_EQ(Read(string), u"");
    s->Destroy(&string);

    AIUnicodeString forged{reinterpret_cast<AIUnicodeStringImpl>(&string)};
    EXPECT_EQ(s->Destroy(&forged), kBadParameterErr);
    EXPECT_TRUE(host_test::HasProblem(host.Events(), "destroy of a string the host never made"));
    AIUnicodeString target = Make("keep");
    EXPECT_EQ(s->Assign(&target, &forged), kBadParameterErr);
    EXPECT_EQ(Read(target), u"keep");
    const ASUnicode* units = nullptr;
    EXPECT_EQ(s->GetUtf16(&forged, &units), 0u);
    EXPECT_EQ(units[0], 0);
    s->Destroy(&target);
}

TEST_F(HostStringsTest, EraseAssignAppendAndCompare) {
    AIUnicodeString x = Make("abcdef");
    EXPECT_EQ(s->Erase(&x, 1, 2), kNoErr);
    EXPECT_EQ(Read(x), u"adef");
    EXPECT_EQ(s->Erase(&x, 5, 1), kBadParameterErr);
    EXPECT_EQ(s->Erase(&x, 4, 1), kNoErr);  // at the end: nothing to erase
    EXPECT_EQ(s->Erase(&x, 0, 0xFFFFFFFF), kNoErr);
    EXPECT_EQ(Read(x), u"");
    // A string never initialised is empty: erasing from 0 leaves it so and makes no
    // host string; any later position is out of range.
    AIUnicodeString never{nullptr};
    EXPECT_EQ(s->Erase(&never, 0, 0xFFFFFFFF), kNoErr);
    EXPECT_EQ(never.impl, nullptr);
    EXPECT_EQ(s->Erase(&never, 1, 1), kBadParameterErr);

    AIUnicodeString y = Make("Lumaro");
    AIUnicodeString fresh{nullptr};
    EXPECT_EQ(s->Assign(&fresh, &y), kNoErr);  // a null string can be assigned to
    EXPECT_EQ(Read(fresh), u"Lumaro");
    EXPECT_EQ(s->Assign(&x, &y), kNoErr);
    EXPECT_EQ(s->Append(&x, &y), kNoErr);
    EXPECT_EQ(Read(x), u"LumaroLumaro");
    EXPECT_EQ(Read(y), u"Lumaro");
    ASInt32 order = 0;
    EXPECT_EQ(s->Compare(&y, &x, &order), kNoErr);
    EXPECT_EQ(order, -1);
    EXPECT_EQ(s->Compare(&y, &fresh, &order), kNoErr);
    EXPECT_EQ(order, 0);
    EXPECT_EQ(host.Strings().LiveCount(plugin), 3u);
    for (AIUnicodeString* string : {&x, &y, &fresh}) s->Destroy(string);
    EXPECT_EQ(host.Strings().LiveCount(plugin), 0u);
    EXPECT_EQ(s->Destroy(&x), kNoErr);  // destroying a null string does nothing
}

TEST_F(HostStringsTest, TheNthCallOfAFunctionCanBeMadeToFail) {
    AIUnicodeString from = Make("new");
    AIUnicodeString to = Make("old");
    host.Strings().FailNthCall(host::StringFunction::Assign, 2, kInjected);
    EXPECT_EQ(s->Assign(&to, &from), kNoErr);
    s->Erase(&to, 0, 0xFFFFFFFF);
    EXPECT_EQ(s->Assign(&to, &from), kInjected);
    EXPECT_EQ(Read(to), u"");  // unchanged by the failed call
    EXPECT_EQ(s->Assign(&to, &from), kNoErr);
    EXPECT_EQ(Read(to), u"new");

    host.Strings().FailNthCall(host::StringFunction::Initialize, 1, kInjected);
    AIUnicodeString failed{nullptr};
    EXPECT_EQ(s->Initialize(&failed, "x", 1, 0), kInjected);
    EXPECT_EQ(failed.impl, nullptr);
    host.Strings().FailNthCall(host::StringFunction::Erase, 1, kInjected);
    EXPECT_EQ(s->Erase(&to, 0, 0xFFFFFFFF), kInjected);
    EXPECT_EQ(Read(to), u"new");
    s->Destroy(&from);
    s->Destroy(&to);
}

}  // namespace
