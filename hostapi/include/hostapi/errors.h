// Error codes that cross the host boundary. 0 is success.
#pragma once

#include "hostapi/types.h"

constexpr ASErr kNoErr = 0;

// Codes of the plug-in frame.
constexpr ASErr kUnhandledMsgErr = HostFourCC('!', 'M', 'S', 'G');  // never returned to the host
constexpr ASErr kOutOfMemoryErr = HostFourCC('!', 'M', 'E', 'M');
constexpr ASErr kCantHappenErr = HostFourCC('C', 'A', 'N', 'T');
constexpr ASErr kNotifierExceptionErr = HostFourCC('E', 'P', 'N', ' ');
constexpr ASErr kPurgedAnswer = HostFourCC('p', 'F', 'l', 's');

// Codes of the host.
constexpr ASErr kBadParameterErr = HostFourCC('P', 'A', 'R', 'M');
constexpr ASErr kSuiteNotFoundErr = HostFourCC('S', '!', 'F', 'd');
constexpr ASErr kSuiteVersionErr = HostFourCC('S', '!', 'V', 'r');
constexpr ASErr kHostOutOfMemoryErr = HostFourCC('H', 'M', 'e', 'm');
constexpr ASErr kNotFoundErr = HostFourCC('!', 'F', 'n', 'd');
constexpr ASErr kNotImplementedErr = HostFourCC('!', 'I', 'm', 'p');
