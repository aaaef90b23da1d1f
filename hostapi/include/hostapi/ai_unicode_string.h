// Host-owned Unicode strings. The plug-in holds one word per string and
// works on it only through this suite. The function positions are fixed by
// the host; the reserved slots keep them in place.
#pragma once

#include "hostapi/types.h"

inline constexpr char kAIUnicodeStringSuite[] = "AI Unicode String Suite";
constexpr ASInt32 kAIUnicodeStringSuiteVersion = 6;

using AIUnicodeStringImpl = struct AIUnicodeStringData*;

// The plug-in's side of a host string: one opaque word, null while the
// string was never initialised (and empty).
struct AIUnicodeString {
    AIUnicodeStringImpl impl;
};

// Encoding of the narrow text given to Initialize.
constexpr ASInt32 kAIPlatformCharacterEncoding = 0;
constexpr ASInt32 kAIUTF8CharacterEncoding = 1;

struct AIUnicodeStringSuite6 {
    // 0: makes a host string from byteLength bytes of text in the encoding.
    ASErr(HOSTAPI* Initialize)(AIUnicodeString* self, const char* text, ASUInt32 byteLength,
                               ASInt32 encoding);
    // 1, 2
    ASErr(HOSTAPI* InitializeUTF16)(AIUnicodeString* self, const ASUnicode* text, ASUInt32 length);
    ASErr(HOSTAPI* InitializeCopy)(AIUnicodeString* self, const AIUnicodeString* source);
    // 3: frees the host's string and nulls self->impl.
    ASErr(HOSTAPI* Destroy)(AIUnicodeString* self);
    // 4, 5
    ASErr(HOSTAPI* Length)(const AIUnicodeString* self, ASUInt32* length);
    ASErr(HOSTAPI* Compare)(const AIUnicodeString* self, const AIUnicodeString* other,
                            ASInt32* result);
    // 6: self takes a copy of other's text.
    ASErr(HOSTAPI* Assign)(AIUnicodeString* self, const AIUnicodeString* other);
    // 7 to 15
    ASErr(HOSTAPI* Append)(AIUnicodeString* self, const AIUnicodeString* other);
    void* reserved8to15[8];
    // 16: erases count units from pos; 0xFFFFFFFF means to the end.
    ASErr(HOSTAPI* Erase)(AIUnicodeString* self, ASUInt32 pos, ASUInt32 count);
    // 17 to 31
    void* reserved17to31[15];
    // 32: points *buffer at the host's own terminated UTF-16 units (valid until
    // the string changes) and returns their number, terminator not counted.
    ASUInt32(HOSTAPI* GetUtf16)(const AIUnicodeString* self, const ASUnicode** buffer);
};

static_assert(offsetof(AIUnicodeStringSuite6, Initialize) == 0 * sizeof(void*));
static_assert(offsetof(AIUnicodeStringSuite6, Destroy) == 3 * sizeof(void*));
static_assert(offsetof(AIUnicodeStringSuite6, Assign) == 6 * sizeof(void*));
static_assert(offsetof(AIUnicodeStringSuite6, Erase) == 16 * sizeof(void*));
static_assert(offsetof(AIUnicodeStringSuite6, GetUtf16) == 32 * sizeof(void*));
