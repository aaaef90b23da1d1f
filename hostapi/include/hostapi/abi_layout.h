// The layout of every record and suite table the host and a plug-in share,
// checked at compile time against figures written down from the layout rules
// of the host's compiler, not read off this compiler's output: a layout slip,
// a missing slot or a wrong packing fails the build instead of a user's host.
//
// The host is a 32-bit Windows program built with Microsoft's compiler: 4-byte
// pointers, 4-byte int and long, members aligned to their own size, records
// padded to their largest member, no packing pragma. The 64-bit figures hold
// for the Linux edition and the x86-64 Windows edition, which share the code.
// None of these records carries a double or a 64-bit integer, whose alignment
// differs between Microsoft's 32-bit rules and the System V i386 ones: a record
// that gains one needs its figures checked against both.
#pragma once

#include <cstddef>

#include "hostapi/suites.h"

namespace hostapi_layout {

#if defined(_WIN32) && !defined(_WIN64)
constexpr std::size_t kPointer = 4;
#define HOSTAPI_LAYOUT(bytes32, bytes64) (bytes32)
#elif defined(_WIN64) || defined(__x86_64__) || defined(__aarch64__)
constexpr std::size_t kPointer = 8;
#define HOSTAPI_LAYOUT(bytes32, bytes64) (bytes64)
#else
#error "no layout figures for this architecture"
#endif

static_assert(sizeof(void*) == kPointer);
static_assert(sizeof(ASInt32) == 4 && sizeof(ASUInt16) == 2 && sizeof(ASBoolean) == 1);
static_assert(sizeof(ASUnicode) == 2);
static_assert(sizeof(std::size_t) == kPointer, "block sizes travel as the host's size_t");

// Message records.
static_assert(sizeof(SPMessageData) == HOSTAPI_LAYOUT(16, 32));
static_assert(offsetof(SPMessageData, self) == HOSTAPI_LAYOUT(4, 8));
static_assert(offsetof(SPMessageData, globals) == HOSTAPI_LAYOUT(8, 16));
static_assert(offsetof(SPMessageData, basic) == HOSTAPI_LAYOUT(12, 24));
static_assert(sizeof(AINotifierMessage) == HOSTAPI_LAYOUT(28, 56));
static_assert(offsetof(AINotifierMessage, notifier) == HOSTAPI_LAYOUT(16, 32));
static_assert(offsetof(AINotifierMessage, type) == HOSTAPI_LAYOUT(20, 40));
static_assert(offsetof(AINotifierMessage, notifyData) == HOSTAPI_LAYOUT(24, 48));
static_assert(sizeof(AIMenuMessage) == HOSTAPI_LAYOUT(20, 40));
static_assert(offsetof(AIMenuMessage, menuItem) == HOSTAPI_LAYOUT(16, 32));

// Plain records.
static_assert(sizeof(ADMRect) == 16 && offsetof(ADMRect, bottom) == 12);
static_assert(sizeof(ADMPoint) == 8 && offsetof(ADMPoint, v) == 4);
static_assert(sizeof(AIPoint) == 8 && offsetof(AIPoint, v) == 4);
static_assert(sizeof(AIFontInfo) == 56);
static_assert(sizeof(AIUnicodeString) == HOSTAPI_LAYOUT(4, 8));
static_assert(sizeof(AIPlatformAddMenuItemDataUS) == HOSTAPI_LAYOUT(8, 16));
static_assert(offsetof(AIPlatformAddMenuItemDataUS, itemText) == HOSTAPI_LAYOUT(4, 8));

// Suite tables: one pointer per slot, reserved slots included, nothing between.
#define HOSTAPI_SUITE_SLOTS(Suite, slots) \
    static_assert(sizeof(Suite) == HOSTAPI_LAYOUT(4 * (slots), 8 * (slots)), #Suite)
HOSTAPI_SUITE_SLOTS(SPBasicSuite, 7);
HOSTAPI_SUITE_SLOTS(SPAccessSuite, 3);
HOSTAPI_SUITE_SLOTS(SPPluginsSuite, 2);
HOSTAPI_SUITE_SLOTS(ADMBasicSuite10, 7);
HOSTAPI_SUITE_SLOTS(ADMBasicSuite11, 8);
HOSTAPI_SUITE_SLOTS(ADMDialogSuite10, 31);
HOSTAPI_SUITE_SLOTS(ADMDialogGroupSuite1, 2);
HOSTAPI_SUITE_SLOTS(ADMDrawerSuite6, 5);
HOSTAPI_SUITE_SLOTS(ADMEntrySuite2, 13);
HOSTAPI_SUITE_SLOTS(ADMHierarchyListSuite5, 4);
HOSTAPI_SUITE_SLOTS(ADMIconSuite2, 4);
HOSTAPI_SUITE_SLOTS(ADMImageSuite2, 4);
HOSTAPI_SUITE_SLOTS(ADMItemSuite7, 36);
HOSTAPI_SUITE_SLOTS(ADMListSuite1, 9);
HOSTAPI_SUITE_SLOTS(ADMNotifierSuite2, 4);
HOSTAPI_SUITE_SLOTS(AIATETextUtilSuite2, 2);
HOSTAPI_SUITE_SLOTS(AIContextSuite, 2);
HOSTAPI_SUITE_SLOTS(AIDocumentSuite8, 3);
HOSTAPI_SUITE_SLOTS(AIFontSuite4, 61);
HOSTAPI_SUITE_SLOTS(AIMenuSuite9, 15);
HOSTAPI_SUITE_SLOTS(AINotifierSuite, 7);
HOSTAPI_SUITE_SLOTS(AIPreferenceSuite4, 11);
HOSTAPI_SUITE_SLOTS(AIUnicodeStringSuite6, 33);
#undef HOSTAPI_SUITE_SLOTS
#undef HOSTAPI_LAYOUT

}  // namespace hostapi_layout
