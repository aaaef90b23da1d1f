#include <png.h>

#include <cstring>

#include "icon_pixels.h"

namespace host::adm::detail {

bool DecodePngPixels(const std::uint8_t* data, std::size_t size, ADMIcon* icon, std::string* why) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        *why = std::string("damaged PNG: ") + image.message;
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    icon->width = static_cast<std::int32_t>(image.width);
    icon->height = static_cast<std::int32_t>(image.height);
    icon->rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, icon->rgba.data(), 0, nullptr)) {
        *why = std::string("damaged PNG: ") + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace host::adm::detail
