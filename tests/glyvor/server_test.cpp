// The automation server, reached as the plug-in reaches it: through the
// emulated COM of the platform, by ProgID, creation or the running-object table.
#include "glyvor/server.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "glyvor/encoding.h"
#include "glyvor/font_service.h"
#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "glyvor_test_support.h"
#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;
using glyvor_test::CopyFile;
using glyvor_test::ReadFile;
using glyvor_test::TempFolder;

// A BSTR owned by the test.
struct Bstr {
    explicit Bstr(const char16_t* text = nullptr) : value(text ? SysAllocString(text) : nullptr) {}
    ~Bstr() { SysFreeString(value); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    std::u16string str() const { return std::u16string(value, SysStringLen(value)); }
    BSTR value;
};

VARIANT Variant(VARTYPE type, void* value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    v.byref = value;
    return v;
}
VARIANT In(BSTR text) { return Variant(VT_BSTR, text); }
VARIANT In(LONG value) {
    VARIANT v = Variant(VT_I4, nullptr);
    v.lVal = value;
    return v;
}
VARIANT InBool(VARIANT_BOOL value) {
    VARIANT v = Variant(VT_BOOL, nullptr);
    v.boolVal = value;
    return v;
}
VARIANT Out(BSTR* text) { return Variant(VT_BYREF | VT_BSTR, text); }
VARIANT Out(LONG* value) { return Variant(VT_BYREF | VT_I4, value); }
VARIANT Out(VARIANT_BOOL* value) { return Variant(VT_BYREF | VT_BOOL, value); }

// Calls with the arguments given first-to-last; they go to rgvarg last first.
HRESULT Call(IDispatch* d, DISPID id, std::vector<VARIANT> args, UINT* argError = nullptr,
             WORD flags = DISPATCH_METHOD, std::vector<DISPID> named = {}) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), named.empty() ? nullptr : named.data(),
                      static_cast<UINT>(reversed.size()), static_cast<UINT>(named.size())};
    UINT ignored = 0;
    return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, nullptr, nullptr,
                     argError ? argError : &ignored);
}

struct Match {
    HRESULT hr;
    bool matched;
    std::u16string id, detail;
};

Match MatchFont(IDispatch* d, const char16_t* name) {
    Bstr in(name), empty1(u""), empty2(u"");
    BSTR id = nullptr, detail = nullptr;
    VARIANT_BOOL matched = VARIANT_FALSE;
    Match m;
    m.hr = Call(d, glyvor::kDispidMatchFont,
                {In(in.value), In(empty1.value), In(empty2.value), In(0), In(0), In(BSTR(nullptr)),
                 In(30), Out(&id), Out(&detail), Out(&matched)});
    m.matched = matched != VARIANT_FALSE;
    m.id.assign(id ? id : u"", SysStringLen(id));
    m.detail.assign(detail ? detail : u"", SysStringLen(detail));
    SysFreeString(id);
    SysFreeString(detail);
    return m;
}

LONG FontState(IDispatch* d, const std::u16string& id) {
    BSTR in = SysAllocStringLen(id.data(), static_cast<UINT>(id.size()));
    LONG state = 0;
    EXPECT_EQ(Call(d, glyvor::kDispidGetFontState, {In(in), Out(&state)}), S_OK);
    SysFreeString(in);
    return state;
}

struct Load {
    bool ok;
    std::u16string error;
};

Load LoadFont(IDispatch* d, const std::u16string& id, bool activate) {
    BSTR in = SysAllocStringLen(id.data(), static_cast<UINT>(id.size()));
    BSTR error = nullptr;
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(Call(d, glyvor::kDispidLoadFont,
                   {In(in), In(0), InBool(activate ? VARIANT_TRUE : VARIANT_FALSE), Out(&error),
                    Out(&ok)}),
              S_OK);
    Load l{ok != VARIANT_FALSE, std::u16string(error ? error : u"", SysStringLen(error))};
    SysFreeString(in);
    SysFreeString(error);
    return l;
}

class GlyvorServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        EmuClearFaults();
        for (const char* f : {"LiberationSans-Bold.ttf", "LiberationSerif-Regular.ttf"}) {
            CopyFile(std::string(glyvor_test::kLiberation) + "/" + f,
                     m_fonts / (std::string("lib/") + f));
        }
        Index();
        std::string error;
        ASSERT_EQ(glyvor::RegisterGlyvor(m_machine.Path().string(),
                                         glyvor::DefaultServerModulePath(), "", &error),
                  S_OK)
            << error;
        m_bstrsBefore = EmuLiveBstrCount();
    }
    void TearDown() override {
        if (m_dispatch) m_dispatch->Release();
        m_running.Stop();
        EXPECT_EQ(EmuLiveBstrCount(), m_bstrsBefore) << "a BSTR was leaked or freed twice";
        glyvor::UnregisterGlyvor(m_machine.Path().string());
        EmuSetMachineFolder(nullptr);
        CoUninitialize();
    }

    void Index() {
        glyvor::IndexResult r;
        std::string error;
        ASSERT_TRUE(glyvor::IndexFolders({{"Lib", m_fonts / "lib"}}, &r, &error)) << error;
        fs::create_directories(glyvor::GlyvorFolder(m_machine.Path().string()));
        ASSERT_TRUE(r.catalog.Save(glyvor::DefaultCatalogPath(m_machine.Path().string()), &error))
            << error;
    }

    // As the plug-in connects when nothing is running.
    IDispatch* Create() {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(u"Glyvor.Document", &clsid), S_OK);
        IUnknown* unknown = nullptr;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                                   reinterpret_cast<void**>(&unknown)),
                  S_OK);
        if (!unknown) return nullptr;
        EXPECT_EQ(OleRun(unknown), S_OK);
        IDispatch* glyvor = nullptr;
        EXPECT_EQ(unknown->QueryInterface(glyvor::IID_IGlyvor, reinterpret_cast<void**>(&glyvor)),
                  S_OK);
        unknown->Release();
        return m_dispatch = glyvor;
    }

    TempFolder m_fonts, m_machine;
    glyvor::RunningGlyvor m_running;
    IDispatch* m_dispatch = nullptr;
    LONG m_bstrsBefore = 0;
};

TEST_F(GlyvorServerTest, CreatedThroughComItMatchesActivatesAndInstalls) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    const Match m = MatchFont(d, u"liberation sans bold");
    ASSERT_EQ(m.hr, S_OK);
    ASSERT_TRUE(m.matched);
    EXPECT_EQ(m.id, u"Lib:LiberationSans-Bold.ttf#0");
    EXPECT_EQ(m.detail, u"Lib: LiberationSans-Bold.ttf");

    EXPECT_EQ(FontState(d, m.id), 0);
    Load l = LoadFont(d, m.id, true);
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.error, u"");
    EXPECT_EQ(FontState(d, m.id), glyvor::kFontActive);
    EXPECT_EQ(ReadFile(glyvor::ActiveFontsFile(m_machine.Path().string())),
              fs::canonical(m_fonts / "lib/LiberationSans-Bold.ttf").string() + "\n");

    const Match serif = MatchFont(d, u"Liberation Serif");
    ASSERT_TRUE(serif.matched);
    l = LoadFont(d, serif.id, false);
    EXPECT_TRUE(l.ok);
    l = LoadFont(d, serif.id, false);  // a second install of the same file
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(FontState(d, serif.id), glyvor::kFontInstalled);
    EXPECT_EQ(
        ReadFile(glyvor::FontsFolder(m_machine.Path().string()) + "/LiberationSerif-Regular.ttf"),
        ReadFile(m_fonts / "lib/LiberationSerif-Regular.ttf"));
}

// The names a host sends, converted from its code page: every language's
// names, folded, with or without a subset tag; the OpenType file before the
// Type 1 file of the same font; never another font.
TEST_F(GlyvorServerTest, MatchFontAnswersTheNamesHostsSendAndNoOthers) {
    CopyFile(std::string(glyvor_test::kIpaGothic) + "/ipag.ttf", m_fonts / "lib/ipag.ttf");
    CopyFile(std::string(glyvor_test::kUrwType1) + "/NimbusSans-Regular.t1",
             m_fonts / "lib/NimbusSans-Regular.t1");
    CopyFile(std::string(glyvor_test::kUrwOpenType) + "/NimbusSans-Regular.otf",
             m_fonts / "lib/z/NimbusSans-Regular.otf");
    Index();
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    const struct {
        const char16_t* name;
        const char16_t* id;  // null: no match
    } cases[] = {
        {u"IPAゴシック", u"Lib:ipag.ttf#0"},
        {u"ＩＰＡゴシック", u"Lib:ipag.ttf#0"},
        {u"ABCDEF+IPAゴシック", u"Lib:ipag.ttf#0"},
        {u"ABCDEF+LiberationSans-Bold", u"Lib:LiberationSans-Bold.ttf#0"},
        {u"NimbusSans", u"Lib:z/NimbusSans-Regular.otf#0"},
        {u"Nimbus Sans", u"Lib:z/NimbusSans-Regular.otf#0"},
        {u"Arial", nullptr},
        {u"IPA明朝", nullptr},
        {u"ABCDEF+Arial", nullptr},
    };
    for (const auto& c : cases) {
        std::string name;
        glyvor::Utf16ToUtf8(c.name, &name);
        const Match m = MatchFont(d, c.name);
        ASSERT_EQ(m.hr, S_OK);
        EXPECT_EQ(m.matched, c.id != nullptr) << name;
        EXPECT_EQ(m.id, c.id ? c.id : u"") << name;
    }
    const Match japanese = MatchFont(d, u"IPAゴシック");
    EXPECT_TRUE(LoadFont(d, japanese.id, true).ok);
    EXPECT_EQ(FontState(d, japanese.id), glyvor::kFontActive);
}

TEST_F(GlyvorServerTest, NoMatchLeavesTheOutputsAlone) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    for (const char16_t* name : {u"Helvetica", u"", u"Liberation\xD800Sans"}) {
        const Match m = MatchFont(d, name);
        EXPECT_EQ(m.hr, S_OK);
        EXPECT_FALSE(m.matched);
        EXPECT_EQ(m.id, u"");
        EXPECT_EQ(m.detail, u"");
    }
}

TEST_F(GlyvorServerTest, FailuresComeBackAsTextNamingTheFontAndTheReason) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    const Match m = MatchFont(d, u"LiberationSans-Bold");
    ASSERT_TRUE(m.matched);
    glyvor_test::WriteFile(
        glyvor::FontsFolder(m_machine.Path().string()) + "/LiberationSans-Bold.ttf", "x");
    const struct {
        std::u16string id;
        bool activate;
        std::u16string error;
    } cases[] = {
        {u"Lib:Missing.ttf#0", true,
         u"Cannot activate 'Lib:Missing.ttf#0': no font has this identifier"},
        {u"", false, u"Cannot install '': no font has this identifier"},
        {u"Lib:\xDC00", true, u"Cannot load a font: its identifier is not valid UTF-16"},
        {m.id, false,
         u"Cannot install Liberation Sans Bold (Lib: LiberationSans-Bold.ttf): a different file "
         u"named LiberationSans-Bold.ttf is already installed"},
    };
    for (const auto& c : cases) {
        const Load l = LoadFont(d, c.id, c.activate);
        EXPECT_FALSE(l.ok);
        EXPECT_EQ(l.error, c.error);
    }
    fs::remove(m_fonts / "lib/LiberationSans-Bold.ttf");
    const Load gone = LoadFont(d, m.id, true);
    EXPECT_FALSE(gone.ok);
    EXPECT_NE(gone.error.find(u"LiberationSans-Bold.ttf cannot be opened"), std::u16string::npos);
    EXPECT_FALSE(fs::exists(glyvor::ActiveFontsFile(m_machine.Path().string())));
}

// As script languages call: inputs of other types coerced, variables passed by
// reference, outputs received in VARIANTs (what was there freed).
TEST_F(GlyvorServerTest, ScriptClientsArgumentsAreCoercedAndOutputsFillTheirVariants) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    Bstr nameText(u"Liberation Sans Bold"), empty(u""), zero(u" 0 ");
    VARIANT name = In(nameText.value), small = Variant(VT_I2, nullptr),
            real = Variant(VT_R8, nullptr);
    small.iVal = 30;
    real.dblVal = 0.5;  // rounds to even: 0
    VARIANT id, detail, matched, state, error, ok;
    for (VARIANT* v : {&id, &detail, &matched, &state, &error, &ok}) VariantInit(v);
    detail.vt = VT_BSTR;
    detail.bstrVal = SysAllocString(u"left over");
    auto ref = [](VARIANT* v) { return Variant(VT_BYREF | VT_VARIANT, v); };
    ASSERT_EQ(Call(d, glyvor::kDispidMatchFont,
                   {ref(&name), In(empty.value), Variant(VT_EMPTY, nullptr), In(zero.value), real,
                    In(empty.value), ref(&small), ref(&id), ref(&detail), ref(&matched)}),
              S_OK);
    EXPECT_EQ(matched.vt, VT_BOOL);
    EXPECT_EQ(matched.boolVal, VARIANT_TRUE);
    ASSERT_EQ(id.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(id.bstrVal), u"Lib:LiberationSans-Bold.ttf#0");
    EXPECT_EQ(std::u16string(detail.bstrVal), u"Lib: LiberationSans-Bold.ttf");

    ASSERT_EQ(Call(d, glyvor::kDispidGetFontState, {ref(&id), ref(&state)}), S_OK);
    EXPECT_EQ(state.vt, VT_I4);
    EXPECT_EQ(state.lVal, 0);
    VARIANT activate = Variant(VT_I2, nullptr);
    activate.iVal = 1;
    ASSERT_EQ(
        Call(d, glyvor::kDispidLoadFont, {id, In(zero.value), activate, ref(&error), ref(&ok)}),
        S_OK);
    EXPECT_EQ(ok.vt, VT_BOOL);
    EXPECT_EQ(ok.boolVal, VARIANT_TRUE);
    EXPECT_EQ(FontState(d, std::u16string(id.bstrVal)), glyvor::kFontActive);
    for (VARIANT* v : {&id, &detail, &matched, &state, &error, &ok}) VariantClear(v);
}

TEST_F(GlyvorServerTest, InvokeChecksCountTypesOrderAndNamesStrictly) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    Bstr name(u"LiberationSans-Bold"), empty(u"");
    BSTR id = nullptr, detail = nullptr;
    VARIANT_BOOL matched = 0;
    LONG state = 0, longOut = 0;
    const std::vector<VARIANT> good = {In(name.value), In(empty.value),   In(empty.value), In(0),
                                       In(0),          In(BSTR(nullptr)), In(30),          Out(&id),
                                       Out(&detail),   Out(&matched)};
    std::vector<VARIANT> forward(good.rbegin(), good.rend());  // the client's order mistake
    std::vector<VARIANT> boolAsLong = good;
    boolAsLong[9] = Out(&longOut);
    std::vector<VARIANT> bstrByValue = good;
    bstrByValue[7] = In(name.value);
    std::vector<VARIANT> leftOut = good;
    leftOut[3] = Variant(VT_ERROR, nullptr);
    leftOut[3].scode = DISP_E_PARAMNOTFOUND;
    Bstr tooLong(u"99999999999");
    std::vector<VARIANT> overflow = good;
    overflow[6] = In(tooLong.value);
    std::vector<VARIANT> nullVariant = good;
    nullVariant[9] = Variant(VT_BYREF | VT_VARIANT, nullptr);
    std::vector<VARIANT> shortOfOne(good.begin(), good.end() - 1);
    std::vector<VARIANT> nullOut = good;
    nullOut[8] = Out(static_cast<BSTR*>(nullptr));

    const struct {
        const char* label;
        DISPID member;
        std::vector<VARIANT> args;
        WORD flags;
        std::vector<DISPID> named;
        HRESULT hr;
        UINT argError;  // checked for type errors only
    } cases[] = {
        {"arguments first to last",  // the fifth, an empty text, is no long
         glyvor::kDispidMatchFont,
         forward,
         DISPATCH_METHOD,
         {},
         DISP_E_TYPEMISMATCH,
         5},
        {"flag given as a long",
         glyvor::kDispidMatchFont,
         boolAsLong,
         DISPATCH_METHOD,
         {},
         DISP_E_TYPEMISMATCH,
         0},
        {"output BSTR by value",
         glyvor::kDispidMatchFont,
         bstrByValue,
         DISPATCH_METHOD,
         {},
         DISP_E_TYPEMISMATCH,
         2},
        {"argument left out",
         glyvor::kDispidMatchFont,
         leftOut,
         DISPATCH_METHOD,
         {},
         DISP_E_PARAMNOTOPTIONAL,
         6},
        {"a long too large",
         glyvor::kDispidMatchFont,
         overflow,
         DISPATCH_METHOD,
         {},
         DISP_E_OVERFLOW,
         3},
        {"null VARIANT output",
         glyvor::kDispidMatchFont,
         nullVariant,
         DISPATCH_METHOD,
         {},
         E_POINTER,
         0},
        {"null output pointer",
         glyvor::kDispidMatchFont,
         nullOut,
         DISPATCH_METHOD,
         {},
         E_POINTER,
         1},
        {"nine arguments",
         glyvor::kDispidMatchFont,
         shortOfOne,
         DISPATCH_METHOD,
         {},
         DISP_E_BADPARAMCOUNT,
         0},
        {"no arguments", glyvor::kDispidLoadFont, {}, DISPATCH_METHOD, {}, DISP_E_BADPARAMCOUNT, 0},
        {"state without its output",
         glyvor::kDispidGetFontState,
         {In(name.value)},
         DISPATCH_METHOD,
         {},
         DISP_E_BADPARAMCOUNT,
         0},
        {"state as a long by value",
         glyvor::kDispidGetFontState,
         {In(name.value), In(0)},
         DISPATCH_METHOD,
         {},
         DISP_E_TYPEMISMATCH,
         0},
        {"state output as a bool",
         glyvor::kDispidGetFontState,
         {In(name.value), Out(&matched)},
         DISPATCH_METHOD,
         {},
         DISP_E_TYPEMISMATCH,
         0},
        {"activate flag as a name",
         glyvor::kDispidLoadFont,
         {In(name.value), In(0), In(name.value), Out(&id), Out(&matched)},
         DISPATCH_METHOD,
         {},
         DISP_E_TYPEMISMATCH,
         2},
        {"named arguments",
         glyvor::kDispidGetFontState,
         {In(name.value), Out(&state)},
         DISPATCH_METHOD,
         {0, 1},
         DISP_E_NONAMEDARGS,
         0},
        {"unknown member",
         7,
         {In(name.value), Out(&state)},
         DISPATCH_METHOD,
         {},
         DISP_E_MEMBERNOTFOUND,
         0},
        {"property get",
         glyvor::kDispidGetFontState,
         {In(name.value), Out(&state)},
         DISPATCH_PROPERTYGET,
         {},
         DISP_E_MEMBERNOTFOUND,
         0},
    };
    for (const auto& c : cases) {
        UINT argError = 12345;
        EXPECT_EQ(Call(d, c.member, c.args, &argError, c.flags, c.named), c.hr) << c.label;
        if (c.hr == DISP_E_TYPEMISMATCH || c.hr == E_POINTER || c.hr == DISP_E_OVERFLOW ||
            c.hr == DISP_E_PARAMNOTOPTIONAL) {
            EXPECT_EQ(argError, c.argError) << c.label;
        }
        // A refused call writes nothing.
        EXPECT_EQ(id, nullptr) << c.label;
        EXPECT_EQ(detail, nullptr) << c.label;
        EXPECT_EQ(matched, 0) << c.label;
        EXPECT_EQ(state, 0) << c.label;
    }
    // The right call still works.
    std::vector<VARIANT> right = good;
    EXPECT_EQ(Call(d, glyvor::kDispidMatchFont, right), S_OK);
    EXPECT_EQ(matched, VARIANT_TRUE);
    SysFreeString(id);
    SysFreeString(detail);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(d->Invoke(glyvor::kDispidMatchFont, glyvor::IID_IGlyvor, 0, DISPATCH_METHOD, &none,
                        nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST_F(GlyvorServerTest, OutputsAreInOutAndCallsAreCountedPerMember) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    glyvor::ResetGlyvorInvokeCounts();
    EmuResetCounters();
    // A value left in an output is freed by the server when it stores a new one.
    Bstr name(u"LiberationSerif-Regular"), empty(u"");
    BSTR id = SysAllocString(u"left over");
    BSTR detail = SysAllocString(u"left over too");
    VARIANT_BOOL matched = 0;
    ASSERT_EQ(Call(d, glyvor::kDispidMatchFont,
                   {In(name.value), In(empty.value), In(empty.value), In(0), In(0),
                    In(BSTR(nullptr)), In(30), Out(&id), Out(&detail), Out(&matched)}),
              S_OK);
    EXPECT_EQ(std::u16string(id), u"Lib:LiberationSerif-Regular.ttf#0");
    SysFreeString(id);
    SysFreeString(detail);

    FontState(d, u"x");
    FontState(d, u"y");
    LoadFont(d, u"z", true);
    Call(d, glyvor::kDispidLoadFont, {});  // refused calls count too
    Call(d, 99, {});
    const struct {
        DISPID member;
        ULONG calls;
    } expected[] = {{glyvor::kDispidMatchFont, 1},
                    {glyvor::kDispidGetFontState, 2},
                    {glyvor::kDispidLoadFont, 2},
                    {99, 1}};
    for (const auto& e : expected) {
        EXPECT_EQ(glyvor::GlyvorInvokeCount(e.member), e.calls) << e.member;
        EXPECT_EQ(EmuInvokeCount(e.member), e.calls) << e.member;  // the proxy agrees
    }
}

TEST_F(GlyvorServerTest, ARunningInstanceIsFoundInTheRunningObjectTable) {
    IUnknown* active = nullptr;
    EXPECT_EQ(GetActiveObject(glyvor::CLSID_GlyvorDocument, nullptr, &active), MK_E_UNAVAILABLE);
    std::string error;
    ASSERT_EQ(m_running.Start(&error), S_OK) << error;
    EXPECT_NE(m_running.Start(&error), S_OK);
    EXPECT_EQ(error, "Glyvor is already running");
    EmuResetCounters();
    ASSERT_EQ(GetActiveObject(glyvor::CLSID_GlyvorDocument, nullptr, &active), S_OK);
    IDispatch* d = nullptr;
    ASSERT_EQ(active->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
    active->Release();
    IRunnableObject* runnable = nullptr;
    ASSERT_EQ(d->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&runnable)), S_OK);
    EXPECT_TRUE(runnable->IsRunning());
    runnable->Release();
    EXPECT_TRUE(MatchFont(d, u"Liberation Sans Bold").matched);
    EXPECT_EQ(EmuCreateInstanceCount(), 0u);
    // Stopped, it is no longer found, but a client holding it keeps a working object.
    m_running.Stop();
    IUnknown* gone = nullptr;
    EXPECT_EQ(GetActiveObject(glyvor::CLSID_GlyvorDocument, nullptr, &gone), MK_E_UNAVAILABLE);
    EXPECT_TRUE(MatchFont(d, u"Liberation Sans Bold").matched);
    d->Release();
}

TEST_F(GlyvorServerTest, IdentifiersStayValidAcrossAReindexAndARestart) {
    IDispatch* first = Create();
    ASSERT_NE(first, nullptr);
    const Match before = MatchFont(first, u"LiberationSans-Bold");
    ASSERT_TRUE(before.matched);
    first->Release();
    m_dispatch = nullptr;

    CopyFile(std::string(glyvor_test::kLiberation) + "/LiberationMono-Bold.ttf",
             m_fonts / "lib/LiberationMono-Bold.ttf");
    Index();
    IDispatch* second = Create();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(MatchFont(second, u"LiberationSans-Bold").id, before.id);
    EXPECT_TRUE(MatchFont(second, u"LiberationMono-Bold").matched);  // the new catalogue is read
    EXPECT_TRUE(LoadFont(second, before.id, true).ok);
}

TEST_F(GlyvorServerTest, NamesOutsideTheBasicPlaneSurviveTheTrip) {
    // A font whose file, group and full name hold characters beyond U+FFFF.
    const std::string file = "Schrift \xC3\xBC \xF0\x9F\x98\x80.ttf";
    CopyFile(m_fonts / "lib/LiberationSans-Bold.ttf", m_fonts / ("emoji/" + file));
    glyvor::IndexResult r;
    std::string error;
    ASSERT_TRUE(glyvor::IndexFolders({{"G\xF0\x9F\x98\x80", m_fonts / "emoji"}}, &r, &error));
    ASSERT_TRUE(r.catalog.Save(glyvor::DefaultCatalogPath(m_machine.Path().string()), &error))
        << error;
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    const Match m = MatchFont(d, u"Liberation Sans Bold");
    ASSERT_TRUE(m.matched);
    EXPECT_EQ(m.id, u"G\U0001F600:Schrift \u00FC \U0001F600.ttf#0");
    EXPECT_EQ(m.detail, u"G\U0001F600: Schrift \u00FC \U0001F600.ttf");
    EXPECT_TRUE(LoadFont(d, m.id, true).ok);
    EXPECT_EQ(glyvor::ReadActiveFonts(m_machine.Path().string()),
              std::vector<std::string>{fs::canonical(m_fonts / ("emoji/" + file)).string()});
}

TEST_F(GlyvorServerTest, WithoutItsCatalogueTheServerMakesNoObject) {
    fs::remove(glyvor::DefaultCatalogPath(m_machine.Path().string()));
    IUnknown* unknown = nullptr;
    EXPECT_EQ(CoCreateInstance(glyvor::CLSID_GlyvorDocument, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&unknown)),
              E_FAIL);
    EXPECT_EQ(unknown, nullptr);
    std::string error;
    EXPECT_EQ(m_running.Start(&error), E_FAIL);
    EXPECT_NE(error.find("is the catalogue there"), std::string::npos) << error;
    EXPECT_FALSE(m_running.running());
}

TEST_F(GlyvorServerTest, ARegisteredCatalogueElsewhereIsUsed) {
    const std::string elsewhere = m_fonts / "elsewhere.txt";
    fs::rename(glyvor::DefaultCatalogPath(m_machine.Path().string()), elsewhere);
    std::string error;
    ASSERT_EQ(glyvor::RegisterGlyvor(m_machine.Path().string(), glyvor::DefaultServerModulePath(),
                                     elsewhere, &error),
              S_OK)
        << error;
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(MatchFont(d, u"LiberationSans-Bold").matched);
}

TEST_F(GlyvorServerTest, UnregisteredTheClassIsNotFound) {
    ASSERT_EQ(glyvor::UnregisterGlyvor(m_machine.Path().string()), S_OK);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Glyvor.Document", &clsid), CO_E_CLASSSTRING);
    std::string error;
    EXPECT_EQ(m_running.Start(&error), REGDB_E_CLASSNOTREG);
}

TEST(GlyvorSetUp, IndexesAndRegistersInOneCall) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    TempFolder machine;
    std::string error;
    std::vector<glyvor::GroupReport> report;
    ASSERT_EQ(glyvor::SetUpGlyvor(machine.Path().string(), {{"Sans", glyvor_test::kDejaVu}}, &error,
                                  &report),
              S_OK)
        << error;
    ASSERT_EQ(report.size(), 1u);
    EXPECT_GT(report[0].fonts, 0u);
    EXPECT_TRUE(fs::exists(glyvor::DefaultCatalogPath(machine.Path().string())));
    glyvor::RunningGlyvor running;
    ASSERT_EQ(running.Start(&error), S_OK) << error;
    IUnknown* active = nullptr;
    ASSERT_EQ(GetActiveObject(glyvor::CLSID_GlyvorDocument, nullptr, &active), S_OK);
    IDispatch* d = nullptr;
    ASSERT_EQ(active->QueryInterface(glyvor::IID_IGlyvor, reinterpret_cast<void**>(&d)), S_OK);
    active->Release();
    EXPECT_EQ(MatchFont(d, u"DejaVu Sans Bold").id, u"Sans:DejaVuSans-Bold.ttf#0");
    d->Release();
    running.Stop();

    EXPECT_EQ(glyvor::SetUpGlyvor(machine.Path().string(), {{"Sans", machine / "nowhere"}}, &error),
              E_INVALIDARG);
    EXPECT_NE(error.find("is not a readable folder"), std::string::npos) << error;
    glyvor::UnregisterGlyvor(machine.Path().string());
    EmuSetMachineFolder(nullptr);
    CoUninitialize();
}

TEST(GlyvorServerModule, AnswersOnlyItsClassAndItsInterfaces) {
    void* module = dlopen(glyvor::DefaultServerModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto getClassObject =
        reinterpret_cast<HRESULT (*)(REFCLSID, REFIID, void**)>(dlsym(module, "DllGetClassObject"));
    ASSERT_NE(getClassObject, nullptr);
    EXPECT_EQ(dlsym(module, "_ZN6glyvor11NormaliseNameESt17basic_string_viewIcSt11char_traitsIcEE"),
              nullptr)
        << "the module exports only its entry points";
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(glyvor::CLSID_GlyvorDocument, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
              S_OK);
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    IUnknown* made = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&made)),
              CLASS_E_NOAGGREGATION);
    factory->Release();
    dlclose(module);
}

}  // namespace

namespace {

TEST_F(GlyvorServerTest, NamesOfTheMethodsAreKnownThoughThePlugInNeverAsks) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    const struct {
        const char16_t* name;
        HRESULT hr;
        DISPID id;
    } cases[] = {
        {u"MatchFont", S_OK, glyvor::kDispidMatchFont},
        {u"getfontstate", S_OK, glyvor::kDispidGetFontState},
        {u"LOADFONT", S_OK, glyvor::kDispidLoadFont},
        {u"LoadFonts", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
        {u"", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
    };
    for (const auto& c : cases) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        DISPID id = 42;
        EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id), c.hr);
        EXPECT_EQ(id, c.id);
    }
}

}  // namespace
