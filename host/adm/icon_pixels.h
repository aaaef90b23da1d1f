// The pixels of a PNG whose header the icon decoder has checked: with libpng on
// POSIX (icon_pixels_libpng.cpp), with the Windows Imaging Component on Windows
// (icon_pixels_wic.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/adm/adm_objects.h"

namespace host::adm::detail {

// Fills icon->width, height and rgba (straight RGBA, rows top to bottom); false
// with the reason in *why for a damaged image.
bool DecodePngPixels(const std::uint8_t* data, std::size_t size, ADMIcon* icon, std::string* why);

}  // namespace host::adm::detail
