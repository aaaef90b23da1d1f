#include "host/fontsuite/font_suite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/host.h"
#include "host/host_strings.h"
#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;
using host::fontsuite::FontQuery;
using host::fontsuite::FontSuiteService;

const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf",
};

class FontSuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine =
            fs::temp_directory_path() /
            ("adm-fonts-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(machine);
        fs::create_directories(machine / "Fonts");
        for (const char* file : kFontFiles) {
            fs::copy_file(file, machine / "Fonts" / fs::path(file).filename());
        }
        list = std::make_unique<host::FontList>(machine.string());
        list->SetDocumentFonts("doc.pdf", {"Caf\xC3\xA9-Regular", "DejaVuSans", "Zzz-Missing"});
        service = std::make_unique<FontSuiteService>(*list);
        FontSuiteService::Register(app.Suites());
        fonts = static_cast<const AIFontSuite4*>(app.Suites().Find(kAIFontSuite, 4));
        strings = static_cast<const AIUnicodeStringSuite6*>(
            app.Suites().Find(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion));
        ASSERT_NE(fonts, nullptr);
        ASSERT_NE(strings, nullptr);
        EmuSetThreadCodePage(1252);
    }
    void TearDown() override {
        EmuSetThreadCodePage(1252);
        service.reset();
        list.reset();
        fs::remove_all(machine);
    }
    // The index of the font with this PostScript name.
    ASInt32 IndexOf(const std::string& name) {
        for (std::size_t i = 0; i < list->Count(); ++i) {
            if (list->Entries()[i].Name() == name) return static_cast<ASInt32>(i);
        }
        ADD_FAILURE() << "no font " << name;
        return -1;
    }
    AIFontKey Key(const std::string& name) {
        AIFontKey key = nullptr;
        EXPECT_EQ(fonts->IndexFontList(IndexOf(name), &key), kNoErr);
        return key;
    }
    std::u16string Text(const AIUnicodeString& s) {
        const ASUnicode* units = nullptr;
        ASUInt32 n = strings->GetUtf16(&s, &units);
        return std::u16string(reinterpret_cast<const char16_t*>(units), n);
    }

    host::Host app;
    fs::path machine;
    std::unique_ptr<host::FontList> list;
    std::unique_ptr<FontSuiteService> service;
    const AIFontSuite4* fonts = nullptr;
    const AIUnicodeStringSuite6* strings = nullptr;
};

TEST_F(FontSuiteTest, CountsAndIndexesTheHostsFontList) {
    ASInt32 count = 0;
    ASSERT_EQ(fonts->CountFonts(&count), kNoErr);
    EXPECT_EQ(count, 5);  // three machine fonts, two missing (DejaVuSans is present)
    AIFontKey key = nullptr;
    EXPECT_EQ(fonts->IndexFontList(count, &key), kBadParameterErr);
    EXPECT_EQ(fonts->IndexFontList(-1, &key), kBadParameterErr);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(fonts->GetFontInfo(nullptr, nullptr), kBadParameterErr);
}

TEST_F(FontSuiteTest, InformationRecordComesFromTheFontFiles) {
    struct Expect {
        const char* name;
        ASInt32 technology;
        ASInt32 openType;
        ASInt32 missing;
    };
    const Expect cases[] = {
        {"DejaVuSans", kAITrueTypeFontTechnology, 1, 0},
        {"LiberationSans-Bold", kAITrueTypeFontTechnology, 1, 0},
        {"NimbusSans-Regular", kAIType1FontTechnology, 1, 0},
        {"Zzz-Missing", kAIOtherFontTechnology, 0, 1},
    };
    for (const Expect& c : cases) {
        AIFontInfo info;
        std::memset(&info, 0x55, sizeof info);
        ASSERT_EQ(fonts->GetFontInfo(Key(c.name), &info), kNoErr) << c.name;
        EXPECT_EQ(info.technology, c.technology) << c.name;
        EXPECT_EQ(info.openType != 0, c.openType != 0) << c.name;
        EXPECT_EQ(info.missing, c.missing) << c.name;
        EXPECT_EQ(info.bitmap, 0) << c.name;
        EXPECT_EQ(info.ocf, 0) << c.name;
        EXPECT_EQ(info.atc, 0) << c.name;
    }
    AIFontInfo bold{};
    fonts->GetFontInfo(Key("LiberationSans-Bold"), &bold);
    EXPECT_EQ(bold.weight, 700);
}

TEST_F(FontSuiteTest, NarrowNameInTheThreadCodePageTruncatedInsideTheBuffer) {
    char name[1024];
    ASSERT_EQ(fonts->GetFontName(Key("Caf\xC3\xA9-Regular"), name, sizeof name), kNoErr);
    EXPECT_STREQ(name, "Caf\xE9-Regular");  // code page 1252
    ASSERT_TRUE(EmuSetThreadCodePage(1251));
    ASSERT_EQ(fonts->GetFontName(Key("Caf\xC3\xA9-Regular"), name, sizeof name), kNoErr);
    EXPECT_STREQ(name, "Caf?-Regular");  // Cyrillic has no e acute: the default character
    EmuSetThreadCodePage(1252);

    struct Case {
        ASInt16 size;
        const char* expected;
    };
    for (Case c : {Case{1, ""}, Case{2, "D"}, Case{5, "DejaV"}, Case{11, "DejaVuSans"},
                   Case{12, "DejaVuSans"}}) {
        char buf[16];
        std::memset(buf, 'x', sizeof buf);
        ASSERT_EQ(fonts->GetFontName(Key("DejaVuSans"), buf, c.size), kNoErr) << c.size;
        EXPECT_EQ(std::string(buf), std::string(c.expected).substr(0, c.size - 1)) << c.size;
        EXPECT_EQ(buf[c.size], 'x') << "wrote past the buffer, size " << c.size;
    }
    EXPECT_EQ(fonts->GetFontName(Key("DejaVuSans"), name, 0), kBadParameterErr);
    EXPECT_EQ(fonts->GetFontName(Key("DejaVuSans"), nullptr, 10), kBadParameterErr);
}

TEST_F(FontSuiteTest, DoubleByteNamesAreNeverCutInHalf) {
    list->SetDocumentFonts("jp.pdf", {"\xE6\x98\x8E\xE6\x9C\x9D"});  // two ideographs
    ASSERT_TRUE(EmuSetThreadCodePage(932));
    char buf[8];
    ASSERT_EQ(fonts->GetFontName(Key("\xE6\x98\x8E\xE6\x9C\x9D"), buf, 4), kNoErr);
    EXPECT_EQ(std::strlen(buf), 2u);  // one whole character, not one and a half
    ASSERT_EQ(fonts->GetFontName(Key("\xE6\x98\x8E\xE6\x9C\x9D"), buf, 5), kNoErr);
    EXPECT_EQ(std::strlen(buf), 4u);
}

TEST_F(FontSuiteTest, UnicodeNamesAtTheirPositions) {
    AIFontKey key = Key("LiberationSans-Bold");
    struct Case {
        const char* what;
        ASErr (*call)(const AIFontSuite4&, AIFontKey, AIUnicodeString*);
        std::u16string expected;
    };
    const Case cases[] = {
        {"A PostScript (59)",
         [](const AIFontSuite4& s, AIFontKey k, AIUnicodeString* o) {
             return s.GetPostScriptFontNameUnicode(k, o, false);
         },
         u"LiberationSans-Bold"},
        {"B full name (58)",
         [](const AIFontSuite4& s, AIFontKey k, AIUnicodeString* o) {
             return s.GetFontFullNameUnicode(k, o, true);
         },
         u"Liberation Sans Bold"},
        {"C family (60)",
         [](const AIFontSuite4& s, AIFontKey k, AIUnicodeString* o) {
             return s.GetFontFamilyNameUnicode(k, o, false);
         },
         u"Liberation Sans"},
        {"D style (53)",
         [](const AIFontSuite4& s, AIFontKey k, AIUnicodeString* o) {
             return s.GetFontStyleNameUnicode(k, o);
         },
         u"Bold"},
    };
    for (const Case& c : cases) {
        AIUnicodeString s{nullptr};
        // A string the plug-in made first is reused, not replaced.
        ASSERT_EQ(strings->Initialize(&s, "old", 3, kAIUTF8CharacterEncoding), kNoErr);
        AIUnicodeStringImpl before = s.impl;
        ASSERT_EQ(c.call(*fonts, key, &s), kNoErr) << c.what;
        EXPECT_EQ(s.impl, before) << c.what;
        EXPECT_EQ(Text(s), c.expected) << c.what;
        strings->Destroy(&s);
    }
    // A string never initialised becomes a host string the caller holds.
    AIUnicodeString fresh{nullptr};
    ASSERT_EQ(fonts->GetFontFamilyNameUnicode(Key("Caf\xC3\xA9-Regular"), &fresh, false), kNoErr);
    EXPECT_EQ(Text(fresh), u"Caf\u00E9-Regular");
    EXPECT_EQ(app.Strings().LiveCount(), 1u);
    strings->Destroy(&fresh);
    EXPECT_EQ(app.Strings().LiveCount(), 0u);
}

TEST_F(FontSuiteTest, InjectedFailuresAnswerTheErrorAndChangeNothing) {
    const ASErr kFail = HostFourCC('F', 'A', 'I', 'L');
    ASInt32 second = 1;
    service->Fail(FontQuery::Index, 2, kFail);
    service->Fail(FontQuery::Info, second, kFail);
    service->Fail(FontQuery::NarrowName, -1, kFail);
    service->Fail(FontQuery::FullName, 0, kFail);

    AIFontKey key = nullptr;
    EXPECT_EQ(fonts->IndexFontList(2, &key), kFail);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(fonts->IndexFontList(3, &key), kNoErr);
    AIFontInfo info{};
    AIFontKey k1 = nullptr;
    ASSERT_EQ(fonts->IndexFontList(second, &k1), kNoErr);
    EXPECT_EQ(fonts->GetFontInfo(k1, &info), kFail);
    EXPECT_EQ(fonts->GetFontInfo(key, &info), kNoErr);
    char name[8] = "keep";
    EXPECT_EQ(fonts->GetFontName(key, name, sizeof name), kFail);
    EXPECT_STREQ(name, "keep");
    AIFontKey k0 = nullptr;
    ASSERT_EQ(fonts->IndexFontList(0, &k0), kNoErr);
    AIUnicodeString s{nullptr};
    EXPECT_EQ(fonts->GetFontFullNameUnicode(k0, &s, false), kFail);
    EXPECT_EQ(s.impl, nullptr);
    EXPECT_EQ(fonts->GetFontFullNameUnicode(key, &s, false), kNoErr);
    strings->Destroy(&s);

    service->Fail(FontQuery::Count, 0, kFail);
    ASInt32 count = -7;
    EXPECT_EQ(fonts->CountFonts(&count), kFail);
    EXPECT_EQ(count, -7);
    service->ClearFaults();
    EXPECT_EQ(fonts->CountFonts(&count), kNoErr);
    EXPECT_EQ(fonts->GetFontInfo(k1, &info), kNoErr);
}

TEST_F(FontSuiteTest, AFailingStringOperationReachesThePluginsString) {
    AIUnicodeString s{nullptr};
    ASSERT_EQ(fonts->GetPostScriptFontNameUnicode(Key("DejaVuSans"), &s, false), kNoErr);
    // The plug-in's string wrapper erases before each query; the host makes
    // that fail once, which the wrapper turns into an exception.
    app.Strings().FailNthCall(host::StringFunction::Erase, 1, kBadParameterErr);
    EXPECT_EQ(strings->Erase(&s, 0, 0xFFFFFFFF), kBadParameterErr);
    EXPECT_EQ(Text(s), u"DejaVuSans");  // untouched by the failed call
    EXPECT_EQ(strings->Erase(&s, 0, 0xFFFFFFFF), kNoErr);
    strings->Destroy(&s);
}

TEST_F(FontSuiteTest, KeysFollowTheListAfterItChanges) {
    AIFontKey last = nullptr;
    ASSERT_EQ(fonts->IndexFontList(4, &last), kNoErr);
    list->CloseDocument("doc.pdf");  // the two missing fonts go away
    AIFontInfo info{};
    EXPECT_EQ(fonts->GetFontInfo(last, &info), kBadParameterErr);
    char name[64];
    EXPECT_EQ(fonts->GetFontName(last, name, sizeof name), kBadParameterErr);
}

}  // namespace
