#include "type_library.h"

#include <cstdio>
#include <vector>

#include "com_ref.h"
#include "glyvor/automation.h"
#include "methods.h"
#include "wide_text.h"

namespace glyvor {

namespace {

// The OLE Automation type library (stdole2.tlb).
constexpr GUID kStdOle = {
    0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

std::wstring Wide(const char16_t* text) {
    const std::u16string units(text);
    return std::wstring(units.begin(), units.end());
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// A parameter's description; by-reference types point at their base type.
struct ParameterType {
    TYPEDESC base{};
    ELEMDESC element{};
};

HRESULT AddMethod(ICreateTypeInfo* info, UINT index, const Method& method) {
    std::vector<ParameterType> types(method.count);
    std::vector<ELEMDESC> elements(method.count);
    for (UINT i = 0; i < method.count; ++i) {
        const VARTYPE vt = method.parameters[i].type;
        ELEMDESC& e = elements[i];
        e = ELEMDESC{};
        if ((vt & VT_BYREF) != 0) {
            // Outputs are in/out: what the caller left there is freed and replaced.
            types[i].base.vt = static_cast<VARTYPE>(vt & ~VT_BYREF);
            e.tdesc.vt = VT_PTR;
            e.tdesc.lptdesc = &types[i].base;
            e.paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOUT;
        } else {
            e.tdesc.vt = vt;
            e.paramdesc.wParamFlags = PARAMFLAG_FIN;
        }
    }
    FUNCDESC function{};
    function.memid = method.id;
    function.funckind = FUNC_DISPATCH;
    function.invkind = INVOKE_FUNC;
    function.callconv = CC_STDCALL;
    function.cParams = static_cast<SHORT>(method.count);
    function.lprgelemdescParam = elements.data();
    function.elemdescFunc.tdesc.vt = VT_VOID;
    HRESULT hr = info->AddFuncDesc(index, &function);
    if (FAILED(hr)) return hr;
    std::vector<std::wstring> names{Wide(method.name)};
    for (UINT i = 0; i < method.count; ++i) names.push_back(Wide(method.parameters[i].name));
    std::vector<LPOLESTR> pointers;
    for (std::wstring& n : names) pointers.push_back(&n[0]);
    return info->SetFuncAndParamNames(index, pointers.data(), static_cast<UINT>(pointers.size()));
}

HRESULT DescribeInterface(ICreateTypeLib2* library, ComRef<ICreateTypeInfo>* created) {
    ComRef<ICreateTypeInfo>& info = *created;
    std::wstring name = L"IGlyvor";
    HRESULT hr = library->CreateTypeInfo(&name[0], TKIND_DISPATCH, info.Put());
    if (SUCCEEDED(hr)) hr = info->SetGuid(IID_IGlyvor);
    std::wstring doc = L"The font manager's automation interface";
    if (SUCCEEDED(hr)) hr = info->SetDocString(&doc[0]);
    // Every dispatch interface derives from IDispatch, described by the
    // registered OLE Automation library. Loaded by its registration: LoadTypeLib
    // with a bare file name would register that library again, machine-wide.
    ComRef<ITypeLib> stdole;
    ComRef<ITypeInfo> dispatch;
    if (SUCCEEDED(hr)) hr = LoadRegTypeLib(kStdOle, 2, 0, LOCALE_NEUTRAL, stdole.Put());
    if (SUCCEEDED(hr)) hr = stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatch.Put());
    HREFTYPE reference = 0;
    if (SUCCEEDED(hr)) hr = info->AddRefTypeInfo(dispatch.get(), &reference);
    if (SUCCEEDED(hr)) hr = info->AddImplType(0, reference);
    UINT index = 0;
    for (const Method& method : kMethods) {
        if (SUCCEEDED(hr)) hr = AddMethod(info.get(), index++, method);
    }
    if (SUCCEEDED(hr)) hr = info->LayOut();
    return hr;
}

HRESULT DescribeClass(ICreateTypeLib2* library, ICreateTypeInfo* glyvorInterface) {
    ComRef<ICreateTypeInfo> info;
    std::wstring name = L"GlyvorDocument";
    HRESULT hr = library->CreateTypeInfo(&name[0], TKIND_COCLASS, info.Put());
    if (SUCCEEDED(hr)) hr = info->SetGuid(CLSID_GlyvorDocument);
    if (SUCCEEDED(hr)) hr = info->SetTypeFlags(TYPEFLAG_FCANCREATE);
    ComRef<ITypeInfo> described;
    if (SUCCEEDED(hr)) hr = glyvorInterface->QueryInterface(IID_ITypeInfo, described.PutVoid());
    HREFTYPE reference = 0;
    if (SUCCEEDED(hr)) hr = info->AddRefTypeInfo(described.get(), &reference);
    if (SUCCEEDED(hr)) hr = info->AddImplType(0, reference);
    if (SUCCEEDED(hr)) hr = info->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT);
    if (SUCCEEDED(hr)) hr = info->LayOut();
    return hr;
}

}  // namespace

const wchar_t* TypeLibraryPlatformKey() { return kSysKind == SYS_WIN64 ? L"win64" : L"win32"; }

HRESULT WriteTypeLibrary(const std::string& path, std::string* error) {
    const std::wstring file = WideFromUtf8(path);
    DeleteFileW(file.c_str());
    ComRef<ICreateTypeLib2> library;
    HRESULT hr = CreateTypeLib2(kSysKind, file.c_str(), library.Put());
    if (SUCCEEDED(hr)) hr = library->SetGuid(LIBID_Glyvor);
    std::wstring name = L"Glyvor";
    if (SUCCEEDED(hr)) hr = library->SetName(&name[0]);
    if (SUCCEEDED(hr)) hr = library->SetVersion(kTypeLibraryMajor, kTypeLibraryMinor);
    if (SUCCEEDED(hr)) hr = library->SetLcid(LOCALE_NEUTRAL);
    ComRef<ICreateTypeInfo> glyvorInterface;
    if (SUCCEEDED(hr)) hr = DescribeInterface(library.get(), &glyvorInterface);
    if (SUCCEEDED(hr)) hr = DescribeClass(library.get(), glyvorInterface.get());
    if (SUCCEEDED(hr)) hr = library->SaveAllChanges();
    if (FAILED(hr)) {
        *error = "cannot write the type library " + path + " (" + Hex(hr) + ")";
        library.Reset();
        DeleteFileW(file.c_str());
    }
    return hr;
}

}  // namespace glyvor
