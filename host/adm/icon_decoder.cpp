#include "host/adm/icon_decoder.h"

#include <png.h>

#include <cstring>

namespace host::adm {
namespace {

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
    // simplified reader below does not report bit depth or interlacing, so
    // the header is checked here.
    constexpr std::size_t kHeader = 8 + 8 + 13;
    if (data == nullptr || size < kHeader || png_sig_cmp(data, 0, 8) != 0) {
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
    if (bitDepth != 8 || colorType != PNG_COLOR_TYPE_RGBA) {
        reason = "icon is not 8-bit RGBA";
        return nullptr;
    }
    if (interlace != PNG_INTERLACE_NONE) {
        reason = "icon is interlaced";
        return nullptr;
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        reason = std::string("damaged PNG: ") + image.message;
        png_image_free(&image);
        return nullptr;
    }
    image.format = PNG_FORMAT_RGBA;
    auto icon = std::make_unique<ADMIcon>();
    icon->width = static_cast<std::int32_t>(image.width);
    icon->height = static_cast<std::int32_t>(image.height);
    icon->rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, icon->rgba.data(), 0, nullptr)) {
        reason = std::string("damaged PNG: ") + image.message;
        png_image_free(&image);
        return nullptr;
    }
    return icon;
}

}  // namespace host::adm
