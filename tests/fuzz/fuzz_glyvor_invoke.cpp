// The stand-in font manager's automation object on arbitrary calls: any
// member, flags and interface, argument arrays of any length and types (valid
// values, as COM hands them over: BSTRs that may hold anything, pointers that
// may be null), named arguments, with or without the optional out-pointers.
// Afterwards the caller frees what COM says the caller owns; then no BSTR may
// be left over, a failed call must have left the caller's in/out values alone,
// and a successful one must have answered in range.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "glyvor/automation.h"
#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "platform/emu/control.h"
#include "platform/win32.h"

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object);

namespace fs = std::filesystem;

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "font manager's Invoke broke its contract: %s\n", what);
        std::abort();
    }
}

std::string g_machine;
IDispatch* g_document = nullptr;
std::vector<std::u16string> g_names;  // texts worth asking for: names and identifiers

// A machine with a small catalogue of two groups over small URW fonts, and one
// font manager object for the whole run.
void SetUp() {
    char pattern[] = "/tmp/lumaro-fuzz-glyvor-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    g_machine = pattern;
    const fs::path fonts = fs::path(g_machine) / "GroupFonts";
    fs::create_directories(fonts / "otf");
    fs::create_directories(fonts / "t1");
    const std::string urw = "/usr/share/fonts/opentype/urw-base35/";
    fs::create_symlink(urw + "StandardSymbolsPS.otf", fonts / "otf" / "StandardSymbolsPS.otf");
    fs::create_symlink(urw + "D050000L.otf", fonts / "otf" / "D050000L.otf");
    fs::create_symlink("/usr/share/fonts/type1/urw-base35/StandardSymbolsPS.t1",
                       fonts / "t1" / "StandardSymbolsPS.t1");
    glyvor::IndexResult index;
    std::string error;
    if (!glyvor::IndexFolders(
            {{"Symbols", (fonts / "otf").string()}, {"Type1", (fonts / "t1").string()}}, &index,
            &error) ||
        index.catalog.entries().size() != 3 ||
        !index.catalog.Save(glyvor::DefaultCatalogPath(g_machine), &error)) {
        std::fprintf(stderr, "cannot set up the font manager's machine: %s\n", error.c_str());
        std::abort();
    }
    for (const glyvor::FontEntry& e : index.catalog.entries()) {
        for (const std::string& text :
             {e.postScriptName, e.fullName, index.catalog.IdentifierOf(e)})
            g_names.emplace_back(text.begin(), text.end());  // ASCII
    }
    fs::create_directories(glyvor::FontsFolder(g_machine));
    EmuSetMachineFolder(g_machine.c_str());

    IClassFactory* factory = nullptr;
    if (FAILED(DllGetClassObject(glyvor::CLSID_GlyvorDocument, IID_IClassFactory,
                                 reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateInstance(nullptr, IID_IDispatch,
                                       reinterpret_cast<void**>(&g_document)))) {
        std::fprintf(stderr, "cannot create the font manager's object\n");
        std::abort();
    }
    factory->Release();
}

// Each input starts from the same machine: no font activated or installed.
void ResetMachine() {
    std::error_code ignored;
    fs::remove(glyvor::ActiveFontsFile(g_machine), ignored);
    for (const auto& entry : fs::directory_iterator(glyvor::FontsFolder(g_machine), ignored))
        fs::remove(entry.path(), ignored);
}

BSTR MakeText(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return nullptr;  // a null BSTR is the empty string
        case 1: {
            const std::u16string& name =
                g_names[in.ConsumeIntegralInRange<std::size_t>(0, g_names.size() - 1)];
            return SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
        }
        default: {
            // Any units: unpaired surrogates, embedded zeros.
            const std::string raw =
                in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, 64) * 2);
            std::u16string units(raw.size() / 2, u'\0');
            std::memcpy(units.data(), raw.data(), units.size() * 2);
            return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
        }
    }
}

// One argument and the storage its pointer (if any) refers to.
struct Argument {
    VARIANTARG value{};
    BSTR inBstr = nullptr;   // owned by the caller (VT_BSTR)
    BSTR outBstr = nullptr;  // the in/out slot (VT_BYREF | VT_BSTR)
    BSTR outBstrBefore = nullptr;
    LONG outLong = 0x5A5A5A5A;
    VARIANT_BOOL outBool = 0x5A5A;
};

const VARTYPE kTypes[] = {
    VT_BSTR,  VT_I4, VT_BOOL, VT_BYREF | VT_BSTR,    VT_BYREF | VT_I4, VT_BYREF | VT_BOOL,
    VT_EMPTY, VT_I2, VT_R8,   VT_BYREF | VT_VARIANT, VT_DISPATCH,      VT_ERROR};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetUp();
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(g_machine, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    ResetMachine();
    const LONG bstrsBefore = EmuLiveBstrCount();

    const DISPID members[] = {glyvor::kDispidMatchFont, glyvor::kDispidGetFontState,
                              glyvor::kDispidLoadFont, DISPID_VALUE, DISPID_UNKNOWN};
    const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
    DISPID member = members[how % 5];
    if ((how & 0x08) != 0) member = in.ConsumeIntegral<DISPID>();
    const IID riid = (how & 0x10) != 0 ? IID_IDispatch : IID_NULL;
    if (how % 5 == 4) {
        // The names a client looks the members up by, before it invokes them.
        std::vector<std::u16string> texts(in.ConsumeIntegralInRange<std::size_t>(0, 3));
        std::vector<LPOLESTR> names;
        for (std::u16string& text : texts) {
            BSTR made = MakeText(in);
            text.assign(made == nullptr ? u"" : made);  // up to the first zero
            SysFreeString(made);
            names.push_back(text.data());
        }
        std::vector<DISPID> ids(names.size(), 77);
        const HRESULT hr = g_document->GetIDsOfNames(riid, names.empty() ? nullptr : names.data(),
                                                     static_cast<UINT>(names.size()), 0,
                                                     ids.empty() ? nullptr : ids.data());
        for (std::size_t i = 0; i < ids.size() && riid == IID_NULL; ++i)
            Require(ids[i] != 77, "every name gets an identifier, DISPID_UNKNOWN at least");
        if (SUCCEEDED(hr) && !ids.empty())
            Require(ids[0] == glyvor::kDispidMatchFont || ids[0] == glyvor::kDispidGetFontState ||
                        ids[0] == glyvor::kDispidLoadFont,
                    "a name found is one of the three methods");
        Require(EmuLiveBstrCount() == bstrsBefore, "no string is left over");
        return 0;
    }
    WORD flags = DISPATCH_METHOD;
    if ((how & 0x20) != 0) flags = in.ConsumeIntegral<WORD>();

    // Mostly the right shape for the member, so that the methods are reached.
    const std::size_t count = (how & 0x40) != 0 ? in.ConsumeIntegralInRange<std::size_t>(0, 12)
                              : member == glyvor::kDispidMatchFont    ? 10
                              : member == glyvor::kDispidGetFontState ? 2
                                                                      : 5;
    static const VARTYPE kShapes[3][10] = {
        {VT_BSTR, VT_BSTR, VT_BSTR, VT_I4, VT_I4, VT_BSTR, VT_I4, VT_BYREF | VT_BSTR,
         VT_BYREF | VT_BSTR, VT_BYREF | VT_BOOL},
        {VT_BSTR, VT_BYREF | VT_I4},
        {VT_BSTR, VT_I4, VT_BOOL, VT_BYREF | VT_BSTR, VT_BYREF | VT_BOOL}};
    const int shape = member == glyvor::kDispidMatchFont      ? 0
                      : member == glyvor::kDispidGetFontState ? 1
                                                              : 2;

    std::vector<Argument> args(count);
    for (std::size_t position = 0; position < count; ++position) {
        Argument& a = args[position];
        VARTYPE vt = position < 10 ? kShapes[shape][position] : VT_EMPTY;
        if (in.ConsumeProbability<float>() < 0.1f)
            vt = kTypes[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTypes) - 1)];
        a.value.vt = vt;
        switch (vt) {
            case VT_BSTR:
                a.value.bstrVal = a.inBstr = MakeText(in);
                break;
            case VT_I4:
                a.value.lVal = in.ConsumeIntegral<LONG>();
                break;
            case VT_BOOL:
                a.value.boolVal =
                    in.ConsumeBool() ? VARIANT_TRUE : in.ConsumeIntegral<VARIANT_BOOL>();
                break;
            case VT_BYREF | VT_BSTR:
                // A value left in the in/out slot is the server's to free.
                a.outBstr = in.ConsumeBool() ? MakeText(in) : nullptr;
                a.outBstrBefore = a.outBstr;
                a.value.pbstrVal = in.ConsumeProbability<float>() < 0.05f ? nullptr : &a.outBstr;
                break;
            case VT_BYREF | VT_I4:
                a.value.plVal = in.ConsumeProbability<float>() < 0.05f ? nullptr : &a.outLong;
                break;
            case VT_BYREF | VT_BOOL:
                a.value.pboolVal = in.ConsumeProbability<float>() < 0.05f ? nullptr : &a.outBool;
                break;
            default:
                a.value.llVal = 0;  // no pointer COM could follow
                break;
        }
    }
    // rgvarg holds the arguments last first.
    std::vector<VARIANTARG> rgvarg(count);
    for (std::size_t i = 0; i < count; ++i) rgvarg[i] = args[count - 1 - i].value;
    std::vector<DISPID> named((how & 0x80) != 0 ? 1 : 0, DISPID_PROPERTYPUT);
    DISPPARAMS params{count ? rgvarg.data() : nullptr, named.empty() ? nullptr : named.data(),
                      static_cast<UINT>(count), static_cast<UINT>(named.size())};
    const std::uint8_t optional = in.ConsumeIntegral<std::uint8_t>();
    VARIANT result;
    result.vt = VT_ILLEGAL;
    EXCEPINFO exception{};
    UINT argumentError = 0xFFFFFFFFu;

    const HRESULT hr = g_document->Invoke(
        member, riid, 0, flags, (optional & 1) ? nullptr : &params,
        (optional & 2) ? nullptr : &result, (optional & 4) ? nullptr : &exception,
        (optional & 8) ? nullptr : &argumentError);

    if (FAILED(hr)) {
        for (const Argument& a : args) {
            Require(a.outBstr == a.outBstrBefore, "a failed call leaves the in/out strings alone");
            Require(a.outLong == 0x5A5A5A5A && a.outBool == 0x5A5A,
                    "a failed call writes no answer");
        }
        if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) && !(optional & 8))
            Require(argumentError < count, "the argument at fault is one of the arguments");
    } else {
        Require(member == glyvor::kDispidMatchFont || member == glyvor::kDispidGetFontState ||
                    member == glyvor::kDispidLoadFont,
                "only the three methods answer");
        if (!(optional & 2)) Require(result.vt == VT_EMPTY, "the methods return no value");
        if (member == glyvor::kDispidGetFontState) {
            Require(args[1].outLong >= 0 && args[1].outLong <= 3,
                    "a font state is a set of two bits");
        } else {
            const Argument& matched = args[count - 1];
            Require(matched.outBool == VARIANT_TRUE || matched.outBool == VARIANT_FALSE,
                    "the success flag is VARIANT_TRUE or VARIANT_FALSE");
            if (member == glyvor::kDispidMatchFont && matched.outBool == VARIANT_TRUE)
                Require(SysStringLen(args[7].outBstr) != 0, "a match has an identifier");
            if (member == glyvor::kDispidLoadFont && matched.outBool == VARIANT_FALSE)
                Require(SysStringLen(args[3].outBstr) != 0, "a failed load says why");
        }
    }

    // What the caller owns afterwards.
    for (Argument& a : args) {
        SysFreeString(a.inBstr);
        SysFreeString(a.outBstr);
    }
    if (!(optional & 2)) {
        if (result.vt != VT_ILLEGAL) VariantClear(&result);
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    Require(EmuLiveBstrCount() == bstrsBefore, "no string is left over or freed twice");
    return 0;
}
