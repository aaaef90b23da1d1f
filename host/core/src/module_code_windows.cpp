// Modules on Windows: the loader. The resources are read from the module loaded
// as an image resource (no code of it runs) with FindResourceExW and LoadResource;
// the code is loaded with LoadLibraryW and its entry found with GetProcAddress.
#include <windows.h>

#include <filesystem>

#include "host/text/unicode_text.h"
#include "module_code.h"

namespace host::detail {

namespace {

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = DecodeUtf8(utf8.data(), utf8.size());
    return std::wstring(units.begin(), units.end());
}

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::u16string message(text, text + length);
    LocalFree(text);
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' ||
                                message.back() == u' ' || message.back() == u'.'))
        message.pop_back();
    std::string out = "error " + std::to_string(code);
    if (!message.empty()) out += ": " + EncodeUtf8(message);
    return out;
}

ResourceId IdOf(LPCWSTR id) {
    if (IS_INTRESOURCE(id))
        return ResourceId::Ordinal(
            static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(id)));
    ResourceId named;
    named.isOrdinal = false;
    for (LPCWSTR c = id; *c != 0; ++c) named.name.push_back(static_cast<char16_t>(*c));
    return named;
}

struct Enumeration {
    HMODULE module;
    ResourceTable table;
    std::string error;
};

BOOL CALLBACK OnLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                         LONG_PTR context) {
    auto* e = reinterpret_cast<Enumeration*>(context);
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
    if (bytes == nullptr && size != 0) {
        e->error = "cannot load resource " + IdOf(type).ToString() + " " + IdOf(name).ToString() +
                   ": " + SystemMessage(GetLastError());
        return FALSE;
    }
    Resource resource;
    resource.type = IdOf(type);
    resource.name = IdOf(name);
    resource.language = language;
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    if (first != nullptr) resource.data.assign(first, first + size);
    e->table.Add(std::move(resource));
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context) {
    return EnumResourceLanguagesW(module, type, name, OnLanguage, context) ||
           reinterpret_cast<Enumeration*>(context)->error.empty();
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR context) {
    return EnumResourceNamesW(module, type, OnName, context) ||
           reinterpret_cast<Enumeration*>(context)->error.empty();
}

}  // namespace

std::string CanonicalModulePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical =
        std::filesystem::canonical(std::filesystem::u8path(path), error);
    if (error) throw ResourceError("cannot find module " + path);
    return canonical.u8string();
}

ResourceTable ReadModuleResourceTable(const std::string& path) {
    HMODULE image = LoadLibraryExW(Wide(path).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr)
        throw ResourceError("not a module this system can load: " + SystemMessage(GetLastError()));
    Enumeration e{image, {}, {}};
    // A module without resources answers ERROR_RESOURCE_DATA_NOT_FOUND: an empty table.
    EnumResourceTypesW(image, OnType, reinterpret_cast<LONG_PTR>(&e));
    FreeLibrary(image);
    if (!e.error.empty()) throw ResourceError(e.error);
    return std::move(e.table);
}

ModuleCode LoadModuleCode(const std::string& path, const std::string& entryName,
                          std::uintptr_t avoidBase, std::size_t avoidSpan) {
    void* reserved = nullptr;
    if (avoidSpan != 0) {
        void* wanted = reinterpret_cast<void*>(avoidBase);
        reserved = VirtualAlloc(wanted, avoidSpan, MEM_RESERVE, PAGE_NOACCESS);
        if (reserved != nullptr && reserved != wanted) {
            VirtualFree(reserved, 0, MEM_RELEASE);
            reserved = nullptr;
        }
    }
    HMODULE module = LoadLibraryW(Wide(path).c_str());
    const DWORD loadError = GetLastError();
    if (reserved != nullptr) VirtualFree(reserved, 0, MEM_RELEASE);
    if (module == nullptr)
        throw ResourceError("cannot load the module's code: " + SystemMessage(loadError));
    FARPROC entry = GetProcAddress(module, entryName.c_str());
    if (entry == nullptr) {
        FreeLibrary(module);
        throw ResourceError("the module does not export its entry point \"" + entryName + "\"");
    }
    ModuleCode code;
    code.handle = module;
    code.entry = reinterpret_cast<PluginMainProc>(reinterpret_cast<void*>(entry));
    // The loaded image starts with its headers, which give its size in memory.
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        reinterpret_cast<const std::uint8_t*>(module) + dos->e_lfanew);
    code.base = reinterpret_cast<std::uintptr_t>(module);
    code.span = nt->OptionalHeader.SizeOfImage;
    return code;
}

bool IsModuleMapped(const std::string& path) {
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, Wide(path).c_str(),
                              &module) != FALSE;
}

bool UnloadModuleCode(ModuleCode& code, const std::string& path, std::string* problem) {
    if (code.handle == nullptr) return true;
    FreeLibrary(static_cast<HMODULE>(code.handle));
    code.handle = nullptr;
    code.entry = nullptr;
    if (!IsModuleMapped(path)) return true;
    // Another load of the same file (LoadLibraryW inside the module, say) holds it.
    if (problem != nullptr) *problem = "the module is still loaded after FreeLibrary";
    return false;
}

}  // namespace host::detail
