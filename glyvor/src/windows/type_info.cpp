#include "type_info.h"

#include "glyvor/automation.h"

namespace glyvor {

HRESULT LoadGlyvorTypeInfo(ITypeInfo** info) {
    *info = nullptr;
    ITypeLib* library = nullptr;
    HRESULT hr = LoadRegTypeLib(LIBID_Glyvor, kTypeLibraryMajor, kTypeLibraryMinor, LOCALE_NEUTRAL,
                                &library);
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(IID_IGlyvor, info);
    library->Release();
    return hr;
}

UINT GlyvorTypeInfoCount() {
    ITypeInfo* info = nullptr;
    if (FAILED(LoadGlyvorTypeInfo(&info))) return 0;
    info->Release();
    return 1;
}

}  // namespace glyvor
