#include "host/adm/icon_decoder.h"

#include <cstring>

#include "icon_pixels.h"

namespace host::adm {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kColorTypeRgba = 6;
constexpr int kInterlaceNone = 0;

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace

std::unique_ptr<ADMIcon> DecodeIconPng(const std::uint8_t* data, std::size_t size,
                                       std::string* why) {
    std::string ignored;
    std::string& reason = why ? *why : ignored;
    // The signature and the IHDR chunk come first in every PNG; the
    // decoders (icon_pixels.h) do not report bit depth or interlacing, so
    // the header is checked here, the same on every platform.
    constexpr std::size_t kHeader = 8 + 8 + 13;
    if (data == nullptr || size < kHeader || std::memcmp(data, kPngSignature, 8) != 0) {
        reason = "not a PNG image";
        return nullptr;
    }
    const std::uint8_t* ihdr = data + 8;
    if (std::memcmp(ihdr + 4, "IHDR", 4) != 0 || BigEndian32(ihdr) != 13) {
        reason = "PNG without an IHDR header";
        return nullptr;
    }
    std::uint32_t width = BigEndian32(ihdr + 8);
    std::uint32_t height = BigEndian32(ihdr + 12);
    int bitDepth = ihdr[16];
    int colorType = ihdr[17];
    int interlace = ihdr[20];
    if (width != kIconSize || height != kIconSize) {
        reason =
            "icon is " + std::to_string(width) + " x " + std::to_string(height) + ", not 24 x 24";
        return nullptr;
    }
    if (bitDepth != 8 || colorType != kColorTypeRgba) {
        reason = "icon is not 8-bit RGBA";
        return nullptr;
    }
    if (interlace != kInterlaceNone) {
        reason = "icon is interlaced";
        return nullptr;
    }

    auto icon = std::make_unique<ADMIcon>();
    if (!detail::DecodePngPixels(data, size, icon.get(), &reason)) return nullptr;
    return icon;
}

}  // namespace host::adm
