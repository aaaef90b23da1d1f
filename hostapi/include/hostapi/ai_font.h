// The host's application-wide font list, missing fonts included. The
// function positions are fixed by the host; the reserved slots keep them.
#pragma once

#include "hostapi/ai_unicode_string.h"
#include "hostapi/types.h"

inline constexpr char kAIFontSuite[] = "AI Font Suite";
constexpr ASInt32 kAIFontSuiteVersion = 4;

using AIFontKey = struct AIFontKeyData*;

// Technology codes.
constexpr ASInt32 kAIType1FontTechnology = 0;
constexpr ASInt32 kAITrueTypeFontTechnology = 1;
constexpr ASInt32 kAIOtherFontTechnology = 2;

// What the host knows of one font: 56 bytes, 32-bit members.
struct AIFontInfo {
    ASInt32 type;            // 0: the host's font type
    ASInt32 technology;      // 4: Type 1 or TrueType outlines, or other
    ASInt32 script;          // 8
    ASInt32 faceIndex;       // 12
    ASInt32 weight;          // 16
    ASInt32 italic;          // 20
    ASInt32 fixedPitch;      // 24
    ASInt32 missing;         // 28: non-zero when a document uses it and the machine lacks it
    ASInt32 cidKeyed;        // 32
    ASInt32 multipleMaster;  // 36
    ASInt32 openType;        // 40
    ASInt32 bitmap;          // 44
    ASInt32 ocf;             // 48: original composite format
    ASInt32 atc;             // 52: composer font
};
static_assert(sizeof(AIFontInfo) == 56);
static_assert(offsetof(AIFontInfo, technology) == 4);
static_assert(offsetof(AIFontInfo, missing) == 28);
static_assert(offsetof(AIFontInfo, cidKeyed) == 32);
static_assert(offsetof(AIFontInfo, openType) == 40);
static_assert(offsetof(AIFontInfo, bitmap) == 44);
static_assert(offsetof(AIFontInfo, ocf) == 48);
static_assert(offsetof(AIFontInfo, atc) == 52);

struct AIFontSuite4 {
    // 0
    ASErr(HOSTAPI* CountFonts)(ASInt32* count);
    // 1: the font at index, 0 to count - 1.
    ASErr(HOSTAPI* IndexFontList)(ASInt32 index, AIFontKey* font);
    // 2 to 14
    void* reserved2to14[13];
    // 15
    ASErr(HOSTAPI* GetFontInfo)(AIFontKey font, AIFontInfo* info);
    // 16 to 19
    void* reserved16to19[4];
    // 20: the narrow name in the thread's ANSI code page, terminated inside maxName.
    ASErr(HOSTAPI* GetFontName)(AIFontKey font, char* name, ASInt16 maxName);
    // 21 to 52
    void* reserved21to52[32];
    // 53: the style name ("Bold Italic").
    ASErr(HOSTAPI* GetFontStyleNameUnicode)(AIFontKey font, AIUnicodeString* name);
    // 54 to 57
    void* reserved54to57[4];
    // 58 to 60: native selects the font's own-language name where it has one.
    ASErr(HOSTAPI* GetFontFullNameUnicode)(AIFontKey font, AIUnicodeString* name, ASBoolean native);
    ASErr(HOSTAPI* GetPostScriptFontNameUnicode)(AIFontKey font, AIUnicodeString* name,
                                                 ASBoolean native);
    ASErr(HOSTAPI* GetFontFamilyNameUnicode)(AIFontKey font, AIUnicodeString* name,
                                             ASBoolean native);
};

static_assert(offsetof(AIFontSuite4, CountFonts) == 0 * sizeof(void*));
static_assert(offsetof(AIFontSuite4, IndexFontList) == 1 * sizeof(void*));
static_assert(offsetof(AIFontSuite4, GetFontInfo) == 15 * sizeof(void*));
static_assert(offsetof(AIFontSuite4, GetFontName) == 20 * sizeof(void*));
static_assert(offsetof(AIFontSuite4, GetFontStyleNameUnicode) == 53 * sizeof(void*));
static_assert(offsetof(AIFontSuite4, GetFontFullNameUnicode) == 58 * sizeof(void*));
static_assert(offsetof(AIFontSuite4, GetPostScriptFontNameUnicode) == 59 * sizeof(void*));
static_assert(offsetof(AIFontSuite4, GetFontFamilyNameUnicode) == 60 * sizeof(void*));
