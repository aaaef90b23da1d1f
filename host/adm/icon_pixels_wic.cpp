// The Windows Imaging Component's PNG decoder, asked for straight (not
// premultiplied) RGBA. COM is initialised on the host's thread before any icon
// is read.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <cstdio>

#include "icon_pixels.h"

namespace host::adm::detail {

namespace {

template <typename T>
struct ComRef {
    T* p = nullptr;
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p != nullptr) p->Release();
    }
    T* operator->() const { return p; }
    T** Out() { return &p; }
};

bool Failed(HRESULT hr, const char* step, std::string* why) {
    if (SUCCEEDED(hr)) return false;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    *why = std::string("damaged PNG: ") + step + " failed (" + code + ")";
    return true;
}

}  // namespace

bool DecodePngPixels(const std::uint8_t* data, std::size_t size, ADMIcon* icon, std::string* why) {
    ComRef<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()));
    if (FAILED(hr)) {
        *why = "the Windows Imaging Component is not available";
        return false;
    }
    ComRef<IWICStream> stream;
    if (Failed(factory->CreateStream(stream.Out()), "the stream", why) ||
        Failed(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size)),
               "the stream", why))
        return false;
    ComRef<IWICBitmapDecoder> decoder;
    if (Failed(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.Out()),
               "the decoder", why) ||
        Failed(decoder->Initialize(stream.p, WICDecodeMetadataCacheOnDemand), "reading the header",
               why))
        return false;
    ComRef<IWICBitmapFrameDecode> frame;
    if (Failed(decoder->GetFrame(0, frame.Out()), "reading the image", why)) return false;
    ComRef<IWICFormatConverter> converter;
    if (Failed(factory->CreateFormatConverter(converter.Out()), "the converter", why) ||
        Failed(converter->Initialize(frame.p, GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom),
               "converting to RGBA", why))
        return false;
    UINT width = 0, height = 0;
    if (Failed(converter->GetSize(&width, &height), "reading the size", why)) return false;
    icon->width = static_cast<std::int32_t>(width);
    icon->height = static_cast<std::int32_t>(height);
    icon->rgba.resize(static_cast<std::size_t>(width) * height * 4);
    return !Failed(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(icon->rgba.size()),
                                         icon->rgba.data()),
                   "reading the pixels", why);
}

}  // namespace host::adm::detail
