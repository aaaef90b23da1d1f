// The host's basic suite: arrives with every message; every other suite
// and every block of plug-in memory is obtained through it.
#pragma once

#include "hostapi/types.h"

inline constexpr char kSPBasicSuite[] = "SP Basic Suite";
constexpr ASInt32 kSPBasicSuiteVersion = 4;

struct SPBasicSuite {
    // Fills *suite and returns 0, or an error code (kSuiteNotFoundErr for an
    // unknown name, kSuiteVersionErr for a version the host does not offer).
    ASErr(HOSTAPI* AcquireSuite)(const char* name, ASInt32 version, const void** suite);
    ASErr(HOSTAPI* ReleaseSuite)(const char* name, ASInt32 version);
    ASBoolean(HOSTAPI* IsEqual)(const char* token1, const char* token2);
    // Anything but 0 with a non-null block counts as refusal.
    ASErr(HOSTAPI* AllocateBlock)(std::size_t size, void** block);
    // A null block does nothing.
    ASErr(HOSTAPI* FreeBlock)(void* block);
    ASErr(HOSTAPI* ReallocateBlock)(void* block, std::size_t newSize, void** newBlock);
    ASErr(HOSTAPI* Undefined)();
};
