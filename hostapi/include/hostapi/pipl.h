// The plug-in property list ("PIPL" resource) that tells the host what a
// module is. Little-endian; four-character codes stored as 32-bit integers.
#pragma once

#include "hostapi/types.h"

inline constexpr char kPiPLResourceType[] = "PIPL";

constexpr ASInt32 kPiPLVendorHost = HostFourCC('A', 'D', 'B', 'E');
constexpr ASInt32 kPiPLKindProperty = HostFourCC('k', 'i', 'n', 'd');
constexpr ASInt32 kPiPLInterfaceVersionProperty = HostFourCC('i', 'v', 'r', 's');
constexpr ASInt32 kPiPLWin32EntryProperty = HostFourCC('w', 'x', '8', '6');
constexpr ASInt32 kPiPLNameProperty = HostFourCC('p', 'i', 'n', 'm');

constexpr ASInt32 kPiPLPluginKind = HostFourCC('S', 'P', 'E', 'A');
constexpr ASInt32 kPiPLInterfaceVersion = 2;

constexpr ASUInt16 kPiPLResourceVersion = 1;
constexpr ASInt32 kPiPLListVersion = 0;

// Windows resource language of every resource the module carries.
constexpr ASUInt16 kResourceLanguageUSEnglish = 1033;

// On platforms without a resource loader the module carries the compiled
// resource file in a section of this name, as a Windows module carries .rsrc.
inline constexpr char kModuleResourceSection[] = ".rsrc";
