// Basic types of the host's plug-in interface, shared by every suite header.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define HOSTAPI __cdecl
#else
#define HOSTAPI
#endif

using ASErr = std::int32_t;
using ASInt16 = std::int16_t;
using ASInt32 = std::int32_t;
using ASUInt16 = std::uint16_t;
using ASUInt32 = std::uint32_t;
using ASBoolean = std::uint8_t;
// One UTF-16 code unit, on every platform.
using ASUnicode = std::uint16_t;

// Opaque references the host hands out; the plug-in never looks inside.
using SPPluginRef = struct SPPlugin*;
using SPAccessRef = struct SPAccess*;

// Four-character codes are packed most significant character first:
// '!MSG' is 0x214D5347.
constexpr ASErr HostFourCC(char a, char b, char c, char d) {
    return static_cast<ASErr>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}
