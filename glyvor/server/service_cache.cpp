#include "service_cache.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>

#include "file_paths.h"
#include "glyvor/catalog.h"
#include "glyvor/machine.h"
#include "glyvor_document.h"

namespace glyvor {

namespace {

std::string CatalogPathFor(const std::string& machine) {
    std::ifstream in(PathFromUtf8(RegistrationFile(machine)));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("catalog=", 0) == 0 && line.size() > 8) return line.substr(8);
    }
    return DefaultCatalogPath(machine);
}

}  // namespace

HRESULT ServiceForNewObject(const std::string& machine,
                            std::shared_ptr<const FontService>* service) {
    namespace fs = std::filesystem;
    static std::mutex mutex;
    static std::shared_ptr<const FontService> cached;
    static std::string cachedKey;
    const std::string path = CatalogPathFor(machine);
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(PathFromUtf8(path), ec);
    if (ec) return E_FAIL;
    const std::uintmax_t size = fs::file_size(PathFromUtf8(path), ec);
    if (ec) return E_FAIL;
    const std::string key = machine + '\n' + path + '\n' +
                            std::to_string(written.time_since_epoch().count()) + '\n' +
                            std::to_string(size);
    std::lock_guard<std::mutex> lock(mutex);
    if (!cached || key != cachedKey) {
        auto catalog = std::make_shared<Catalog>();
        std::string error;
        if (!catalog->Load(path, &error)) return E_FAIL;
        cached = std::make_shared<const FontService>(std::move(catalog), machine);
        cachedKey = key;
    }
    *service = cached;
    return S_OK;
}

HRESULT CreateDocumentObject(const std::string& machine, IUnknown* outer, REFIID riid,
                             void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    try {
        std::shared_ptr<const FontService> service;
        const HRESULT hr = ServiceForNewObject(machine, &service);
        if (FAILED(hr)) return hr;
        GlyvorDocument* document = new GlyvorDocument(std::move(service));
        const HRESULT qi = document->QueryInterface(riid, object);
        document->Release();
        return qi;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace glyvor
