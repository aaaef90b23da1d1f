// Decoding of the PNG images of "PNGI" icon resources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "host/adm/adm_objects.h"

namespace host::adm {

constexpr int kIconSize = 24;

// The icon, or null with the reason in *why: the host takes only 24 x 24,
// 8-bit RGBA, non-interlaced PNGs.
std::unique_ptr<ADMIcon> DecodeIconPng(const std::uint8_t* data, std::size_t size,
                                       std::string* why);

}  // namespace host::adm
