// Writes PNG images of any shape with libpng, for the icon tests.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

namespace adm_test {

struct PngShape {
    int width = 24;
    int height = 24;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGBA;
    int interlace = PNG_INTERLACE_NONE;
};

// Pixel (x, y) gets red x * 10, green y * 10, blue 200, alpha 255 - x.
inline std::vector<std::uint8_t> WritePng(const PngShape& shape) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* v = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, shape.width, shape.height, shape.bitDepth, shape.colorType,
                 shape.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    int channels = shape.colorType == PNG_COLOR_TYPE_RGBA         ? 4
                   : shape.colorType == PNG_COLOR_TYPE_RGB        ? 3
                   : shape.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                  : 1;
    int bytesPerSample = shape.bitDepth == 16 ? 2 : 1;
    std::vector<std::vector<std::uint8_t>> rows(shape.height);
    std::vector<png_bytep> pointers(shape.height);
    for (int y = 0; y < shape.height; ++y) {
        rows[y].assign(static_cast<std::size_t>(shape.width) * channels * bytesPerSample, 0);
        for (int x = 0; x < shape.width; ++x) {
            std::uint8_t sample[4] = {static_cast<std::uint8_t>(x * 10),
                                      static_cast<std::uint8_t>(y * 10), 200,
                                      static_cast<std::uint8_t>(255 - x)};
            for (int c = 0; c < channels; ++c) {
                rows[y][(x * channels + c) * bytesPerSample] = sample[c];
            }
        }
        pointers[y] = rows[y].data();
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace adm_test
